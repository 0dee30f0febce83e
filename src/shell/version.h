#pragma once
#include <QString>

// The program's version, as its package names it.
QString programVersion();

// "fbadmin --version": prints "fbadmin <version>" once the program has what it needs to start (the
// Firebird client library loads); otherwise says what is missing. The exit status for main().
int printVersion();
