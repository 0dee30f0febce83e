// A script file as "Carrega Script" reads it and "Salva Script" writes it back: every CR, LF or
// CR LF is one line break, and every other byte comes back as itself.
#include "fuzzinput.h"
#include "platform/cp1252.h"
#include "platform/textfile.h"

namespace {
// The bytes with every line end made CR LF, worked out on the bytes themselves.
QByteArray withCrLf(const QByteArray& bytes) {
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    QString text = decodeText(bytes);
    FUZZ_CHECK(!text.contains('\r'));
    FUZZ_CHECK(text.size() <= bytes.size());
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
    FUZZ_CHECK(toCp1252(text) == withCrLf(bytes));
    return 0;
}
