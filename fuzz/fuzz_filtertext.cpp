// The filter and order texts of the browse window built from any field names and values: a name
// always reads back as itself, and no name, however odd, turns into a parameter or leaks past its
// quotes.
#include "browse/filtertext.h"
#include "connection/identifiers.h"
#include "connection/namedparams.h"
#include "fuzzinput.h"

namespace {
// The name that a statement's identifier stands for, read the server's way.
QString readIdentifier(const QString& written) {
    if (!written.startsWith('"')) return written;
    FUZZ_CHECK(written.size() >= 2 && written.endsWith('"'));
    QString inner = written.mid(1, written.size() - 2);
    // Inside, every double quote is doubled.
    for (qsizetype i = 0; i < inner.size(); ++i)
        if (inner[i] == '"') {
            FUZZ_CHECK(i + 1 < inner.size() && inner[i + 1] == '"');
            ++i;
        }
    return inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzzParts(fuzzBytes(data, size), 3);
    const QString field = QString::fromUtf8(parts[0]);
    const QString value = QString::fromUtf8(parts[1]);
    const QStringList names = QString::fromUtf8(parts[2]).split(',', Qt::SkipEmptyParts);

    if (!field.isEmpty()) {
        const QString written = quoteIdentifier(field);
        FUZZ_CHECK(readIdentifier(written) == field);
        FUZZ_CHECK(quoteIdentifier(field, 1) == field);
        // A condition on a value without parameters has none.
        const QString line = firstConditionLine(field, QStringLiteral("="), QStringLiteral("1"));
        FUZZ_CHECK(line.startsWith(QStringLiteral("Where ") + written + QStringLiteral("  = ")));
        FUZZ_CHECK(parseNamedParameters(line).params.isEmpty());
    }
    const QString further = furtherConditionLine(size % 2, field, QStringLiteral("Like"), value);
    FUZZ_CHECK(further.endsWith(value));

    const QString order = orderByText(names, size % 3 == 0);
    FUZZ_CHECK(names.isEmpty() == order.isEmpty());
    FUZZ_CHECK(parseNamedParameters(order).params.isEmpty());

    const QString clause = filterClauseFromText(value);
    FUZZ_CHECK(clause.isEmpty() == value.isEmpty());
    if (!value.isEmpty()) FUZZ_CHECK(clause == (value.endsWith('\n') ? value : value + '\n'));
    return 0;
}
