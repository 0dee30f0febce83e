#pragma once
#include <QList>
#include <QString>

// One statement of a script: its text as it stands between its first token and its terminator
// (inner comments and line breaks kept), and where that first token is in the script.
struct ScriptStatement {
    QString text;
    int offset = 0; // index of the first character in the script text
    int line = 1;   // 1-based
    int column = 1; // 1-based, in characters of the script text

    bool operator==(const ScriptStatement&) const = default;
};

// Splits a script into statements. A statement ends at the terminator, ";" until "SET TERM <new>"
// (itself ended by the terminator in force) changes it; the SET TERM commands are consumed. A
// terminator inside a comment ("--" to the end of the line, "/* */") or a quoted text ('...' with
// '' inside, "..." identifiers with "" inside, q'<...>' literals) does not count. Statements made
// only of blanks and comments are left out; the last one needs no terminator. An unclosed quote
// or comment runs to the end of the text, which then goes to the server as it stands.
QList<ScriptStatement> splitScript(const QString& script);

// The first word of a statement, upper case ("SELECT", "WITH", "COMMIT"...), after any opening
// parentheses; empty when the statement starts with something else.
QString leadingKeyword(const QString& statement);

// 1-based line and column (in characters) of an index of a text; lines end at '\n'.
struct TextPosition {
    int line = 1;
    int column = 1;
    bool operator==(const TextPosition&) const = default;
};
TextPosition textPosition(const QString& text, qsizetype index);
// The index of a 1-based line and column, clamped to the text (a column past the end of its line
// gives the line's end).
qsizetype indexOfPosition(const QString& text, TextPosition position);

// Where the server's message places an error in the statement text that was sent: the first
// "line N, column M" of the message, whose column counts bytes of the statement's UTF-8 text.
// Returns the index in `statement`, or -1 when the message names no position.
qsizetype serverErrorIndex(const QString& message, const QString& statement);

// The server's message with its first "line N, column M" naming the place `index` of `text`
// instead, line and column counted as the editor counts them (characters, from 1), so that the
// message and the marked line agree; unchanged when the message names no place or index < 0.
QString messageAtPosition(const QString& message, const QString& text, qsizetype index);

// Where a text holds a NUL character (which would end the statement early on its way to the
// server), or -1.
qsizetype nulIndex(const QString& text);
