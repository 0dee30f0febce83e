#pragma once
#include <QString>

// The texts that the administration windows show while work runs and when it ends.

// "00:01:05" (hours grow past 24 when they must).
QString elapsedText(qint64 milliseconds);
// "7.375.872 bytes (7,0 MB)"; "desconhecido" for a negative count.
QString sizeText(qint64 bytes);
// "Backup concluído: 7.375.872 bytes (7,0 MB) em 00:00:03".
QString backupDoneText(qint64 bytes, qint64 milliseconds);
// "Restauração concluída em 00:00:04".
QString restoreDoneText(qint64 milliseconds);
// "Tabela: CLIENTE   Registros: 20.000   Tempo: 00:00:02" (no table yet: "Tabela: -").
QString progressText(const QString& table, qint64 rows, qint64 milliseconds);
