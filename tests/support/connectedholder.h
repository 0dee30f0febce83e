#pragma once
#include "connection/dm.h"
#include "support/scriptedprompts.h"

// The program's connection holder (TdM) connected to a test database through the login prompt,
// which scripted prompts answer as SYSDBA. The connection-state texts and the shared browse texts
// start and end empty.
struct ConnectedHolder {
    ScriptedPrompts prompts;
    TdM dm;
    explicit ConnectedHolder(const QString& databasePath);
    ~ConnectedHolder(); // disconnecting commits what is pending
};

// Empties CurrentDatabase, CurrentTable, BrowseSelect, the table statements, BaseSelect,
// FilterClause and OrderClause.
void resetConnectionState();
