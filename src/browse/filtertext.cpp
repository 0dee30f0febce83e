#include "browse/filtertext.h"
#include "connection/identifiers.h"

const QStringList& filterOperators() {
    static const QStringList ops{QStringLiteral("="),   QStringLiteral("<"),  QStringLiteral(">"),
                                 QStringLiteral("<="),  QStringLiteral(">="), QStringLiteral("<>"),
                                 QStringLiteral("Like")};
    return ops;
}

bool isBlankValue(const QString& value) {
    return value.trimmed().isEmpty();
}

namespace {
QString condition(const QString& field, const QString& op, const QString& value, int dialect) {
    // An empty field list gives an empty name: written as it is, the server then rejects the filter.
    const QString name = field.isEmpty() ? field : quoteIdentifier(field, dialect);
    return name + QStringLiteral("  ") + op + QLatin1Char(' ') + value;
}
} // namespace

QString firstConditionLine(const QString& field, const QString& op, const QString& value, int dialect) {
    return QStringLiteral("Where ") + condition(field, op, value, dialect);
}

QString furtherConditionLine(bool orJoin, const QString& field, const QString& op, const QString& value,
                             int dialect) {
    return (orJoin ? QStringLiteral(" Or ") : QStringLiteral(" And ")) + QLatin1Char(' ') +
           condition(field, op, value, dialect);
}

QString orderByText(const QStringList& names, bool descending, int dialect) {
    if (names.isEmpty()) return QString();
    QStringList quoted;
    quoted.reserve(names.size());
    for (const QString& n : names)
        quoted << quoteIdentifier(n, dialect);
    QString text = QStringLiteral("Order By ") + quoted.join(QLatin1Char(','));
    if (descending) text += QStringLiteral(" Desc");
    return text;
}

QString filterClauseFromText(const QString& conditionText) {
    if (conditionText.isEmpty()) return QString();
    QStringList lines = conditionText.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not begin an empty one.
    if (conditionText.endsWith(QLatin1Char('\n'))) lines.removeLast();
    QString clause;
    for (const QString& line : lines)
        clause += line + QLatin1Char('\n');
    return clause;
}

QStringList filteredSelect(const QString& baseSelect, const QString& filterClause,
                           const QString& orderClause) {
    return {baseSelect, filterClause, orderClause};
}

QStringList unfilteredSelect(const QString& baseSelect, const QString& orderClause) {
    return {baseSelect, orderClause};
}

int selectionAfterMove(int index, int remaining) {
    if (remaining <= 0) return -1;
    return index < remaining ? index : remaining - 1;
}
