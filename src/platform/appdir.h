#pragma once
#include <QString>

// The directory of the executable, where the program keeps Conexoes.New, Banco.new and the
// Script folder. Tests point it at a temporary folder.
QString applicationDirectory();                 // with a trailing '/'
QString applicationFile(const QString& name);   // applicationDirectory() + name
void setApplicationDirectory(const QString& dir); // empty: back to the executable's directory
