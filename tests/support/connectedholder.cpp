#include "support/connectedholder.h"
#include "browse/browsestate.h"

void resetConnectionState() {
    for (QString* v :
         {&CurrentDatabase, &CurrentTable, &BrowseSelect, &InsertStatement, &ModifyStatement,
          &RefreshStatement, &DeleteStatement, &KeyWhereClause, &BaseSelect, &FilterClause, &OrderClause})
        v->clear();
}

ConnectedHolder::ConnectedHolder(const QString& databasePath) {
    resetConnectionState();
    prompts.defaultLogin = ScriptedPrompts::Login{};
    CurrentDatabase = databasePath;
    dm.ConnectDatabase(databasePath);
    prompts.clear();
}

ConnectedHolder::~ConnectedHolder() {
    try {
        dm.DisconnectDatabase();
    } catch (...) {
    }
    resetConnectionState();
}
