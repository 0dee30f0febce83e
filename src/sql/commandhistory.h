#pragma once
#include <QString>
#include <QStringList>

// The statement history shared by every SQL command window of the process. Entry 0 is always the
// empty text; every successful run appends its trimmed text (duplicates kept, no limit).
// HistoryPosition is the entry last shown or last appended. Only the UI thread touches them.
extern QStringList CommandHistory;
extern int HistoryPosition;

// A window opening starts a fresh history for every window: one empty entry, position 0.
void startCommandHistory();
// After a successful run: appends the text and points at it.
void appendToCommandHistory(const QString& trimmedText);
// Previous entry; from the first (empty) entry it wraps to the last one.
QString previousCommand();
// Next entry; from the last entry it wraps to the first (empty) one.
QString nextCommand();

// Blanks and control characters (every character up to the space) removed at both ends, as the
// statement text is judged before a run and as entries are shown.
QString trimCommand(const QString& text);

// What the memo holds when an entry is shown: the trimmed entry as one line followed by a line
// break, with the caret at the end of the entry (just before that line break).
struct ShownCommand {
    QString text;
    int caret = 0;
};
ShownCommand showCommand(const QString& entry);
