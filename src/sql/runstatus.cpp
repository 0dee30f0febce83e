#include "sql/runstatus.h"
#include "sql/sqlrunner.h"
#include "sql/sqlscript.h"
#include <QLocale>

namespace {
QString seconds(qint64 ms, int decimals) {
    return QLocale().toString(static_cast<double>(ms) / 1000.0, 'f', decimals);
}
} // namespace

QString runningText(qint64 elapsedMs) {
    return QStringLiteral("Executando... %1 s").arg(seconds(elapsedMs, 1));
}

QString outcomeText(const RunOutcome& o, const QString& runText) {
    const bool script = o.action == RunOutcome::WholeScript;
    switch (o.kind) {
    case RunOutcome::Rows:
    case RunOutcome::Executed:
        return QStringLiteral("Tempo: %1 s").arg(seconds(o.elapsedMs, 3));
    case RunOutcome::Script:
        return QStringLiteral("Script: %1 comando(s) em %2 s")
            .arg(o.statementsRun)
            .arg(seconds(o.elapsedMs, 3));
    case RunOutcome::Plan:
        return {}; // the plan has its own pane
    case RunOutcome::Cancelled:
        if (script && o.failedStatement >= 0)
            return QStringLiteral("Script cancelado no comando %1 de %2")
                .arg(o.failedStatement + 1)
                .arg(o.statementCount);
        return QStringLiteral("Comando cancelado");
    case RunOutcome::Failed:
        break;
    }
    QString where;
    if (o.errorIndex >= 0) {
        const TextPosition p = textPosition(runText, o.errorIndex);
        where = QStringLiteral("linha %1, coluna %2").arg(p.line).arg(p.column);
    }
    if (script && o.failedStatement >= 0) {
        const QString s =
            QStringLiteral("Erro no comando %1 de %2").arg(o.failedStatement + 1).arg(o.statementCount);
        return where.isEmpty() ? s : s + QStringLiteral(", ") + where;
    }
    return where.isEmpty() ? QStringLiteral("Erro") : QStringLiteral("Erro na ") + where;
}

QString rowsReadText(int rows, RowsLeft left) {
    const QString s = QStringLiteral("Linhas lidas: %1").arg(rows);
    switch (left) {
    case RowsLeft::More:
        return s + QStringLiteral(" (há mais)");
    case RowsLeft::Failed:
        return s + QStringLiteral(" (resultado incompleto: erro ao ler a linha %1)").arg(rows + 1);
    case RowsLeft::None:
        break;
    }
    return s;
}

QString rowsAffectedText(qint64 rows) {
    return QStringLiteral("Linhas afetadas: %1").arg(rows);
}

QString nulRefusedText(const QString& text, qsizetype index) {
    const TextPosition p = textPosition(text, index);
    return QStringLiteral("O comando SQL contém um caractere nulo (código 0) na linha %1, coluna %2; "
                          "nada foi enviado ao servidor.")
        .arg(p.line)
        .arg(p.column);
}
