#pragma once
#include <QStringList>

// Firebird's SQL words (reserved words, other keywords and built-in functions), upper case, in
// alphabetical order: highlighted in the SQL editor and offered by its completion.
const QStringList& firebirdKeywords();
// The same words in lower case separated by single blanks, as an editor's lexer takes them.
const QByteArray& firebirdKeywordText();
