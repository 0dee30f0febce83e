#include "sql/commandhistory.h"

QStringList CommandHistory{QString()};
int HistoryPosition = 0;

void startCommandHistory() {
    CommandHistory = QStringList{QString()};
    HistoryPosition = 0;
}

void appendToCommandHistory(const QString& trimmedText) {
    CommandHistory.append(trimmedText);
    HistoryPosition = int(CommandHistory.size()) - 1;
}

namespace {
QString entryAt(int position) {
    if (position < 0 || position >= CommandHistory.size()) return QString();
    return CommandHistory.at(position);
}
} // namespace

QString previousCommand() {
    if (CommandHistory.isEmpty()) startCommandHistory();
    --HistoryPosition;
    // Also catches a position left beyond the list by a history started in between.
    if (HistoryPosition < 0 || HistoryPosition >= CommandHistory.size())
        HistoryPosition = int(CommandHistory.size()) - 1;
    return entryAt(HistoryPosition);
}

QString nextCommand() {
    if (CommandHistory.isEmpty()) startCommandHistory();
    ++HistoryPosition;
    if (HistoryPosition < 0 || HistoryPosition >= CommandHistory.size()) HistoryPosition = 0;
    return entryAt(HistoryPosition);
}

QString trimCommand(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ') ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ') --last;
    return text.mid(first, last - first);
}

ShownCommand showCommand(const QString& entry) {
    ShownCommand shown;
    const QString line = trimCommand(entry);
    shown.text = line + QChar('\n');
    // The memo's text length minus its final line break: the end of the entry.
    shown.caret = int(line.size());
    return shown;
}
