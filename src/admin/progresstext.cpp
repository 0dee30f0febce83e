#include "admin/progresstext.h"
#include <QLocale>


QString elapsedText(qint64 milliseconds) {
    const qint64 seconds = std::max<qint64>(0, milliseconds) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString sizeText(qint64 bytes) {
    if (bytes < 0) return QStringLiteral("desconhecido");
    const QLocale l = QLocale();
    return QStringLiteral("%1 bytes (%2 MB)")
        .arg(l.toString(bytes), l.toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1));
}

QString backupDoneText(qint64 bytes, qint64 milliseconds) {
    return QStringLiteral("Backup concluído: %1 em %2").arg(sizeText(bytes), elapsedText(milliseconds));
}

QString restoreDoneText(qint64 milliseconds) {
    return QStringLiteral("Restauração concluída em %1").arg(elapsedText(milliseconds));
}

QString progressText(const QString& table, qint64 rows, qint64 milliseconds) {
    return QStringLiteral("Tabela: %1   Registros: %2   Tempo: %3")
        .arg(table.isEmpty() ? QStringLiteral("-") : table, QLocale().toString(rows), elapsedText(milliseconds));
}
