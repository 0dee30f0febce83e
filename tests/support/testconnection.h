#pragma once
#include "connection/database.h"
#include "connection/transaction.h"

// A connection and a transaction set up as the program's holder sets up Banco and Trans
// ("user_name=SYSDBA", read committed, record version, no wait, default action commit), without
// the login prompt unless asked for, so tests need no scripted login.
struct TestConnection {
    Database db;
    Transaction tr;
    explicit TestConnection(const QString& databaseName = QString(), bool loginPrompt = false);
    // Connects and starts the transaction.
    void open();
};
