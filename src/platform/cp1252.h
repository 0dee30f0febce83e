#pragma once
#include <QByteArray>
#include <QString>

// Windows code page 1252, the single-byte code page of the program's data files.
QString fromCp1252(const QByteArray& bytes);
// Characters that code page 1252 cannot hold become '?'; *lossless tells whether any did.
QByteArray toCp1252(const QString& text, bool* lossless = nullptr);
bool fitsCp1252(const QString& text);
