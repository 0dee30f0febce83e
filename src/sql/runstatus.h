#pragma once
#include <QString>

struct RunOutcome;

// Texts of the SQL command window's status line.
QString runningText(qint64 elapsedMs); // "Executando... 1,2 s"
// How a run ended: its time, or where it failed (the position read in the text that was run).
QString outcomeText(const RunOutcome& outcome, const QString& runText);
// The count beside it: rows read so far for a SELECT, rows changed otherwise; empty for a plan
// or a failure.
// rowsReadText(256, RowsLeft::More): "Linhas lidas: 256 (há mais)"; after a failed fetch
// (RowsLeft::Failed) it says that the rows from the failed one on are missing.
enum class RowsLeft { None, More, Failed };
QString rowsReadText(int rows, RowsLeft left);
QString rowsAffectedText(qint64 rows); // "Linhas afetadas: 3"
// The refusal of a text that holds a NUL character at `index` (its line and column told).
QString nulRefusedText(const QString& text, qsizetype index);
