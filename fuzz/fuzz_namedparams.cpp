// The named-parameter scanner on any statement text: each parameter becomes one "?", nothing else
// changes, and the result holds no parameter left to find.
#include "connection/namedparams.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzzParts(fuzzBytes(data, size), 2);
    const QString text = QString::fromUtf8(parts[0]);
    const ParsedStatement parsed = parseNamedParameters(text);
    FUZZ_CHECK(parsed.sql.size() <= text.size());
    // A quoted name may hold a "?" of its own, which goes with the name.
    qsizetype inNames = 0;
    for (const NamedParameter& p : parsed.params) {
        FUZZ_CHECK(!p.name.isEmpty());
        inNames += p.name.count('?');
    }
    FUZZ_CHECK(parsed.sql.count('?') == text.count('?') - inNames + parsed.params.size());

    const ParsedStatement again = parseNamedParameters(parsed.sql);
    FUZZ_CHECK(again.params.isEmpty());
    FUZZ_CHECK(again.sql == parsed.sql);

    const QStringList fields = QString::fromUtf8(parts[1]).split(',');
    for (const NamedParameter& p : parsed.params) {
        const ParameterBinding b = resolveParameter(p, fields);
        FUZZ_CHECK(b.field >= -1 && b.field < fields.size());
    }
    return 0;
}
