#include "platform/cp1252.h"

namespace {
// 0x80..0x9F; 0 marks the five unassigned positions (kept as the C1 control of the same value).
const char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80])
            d[i] = QChar(kHigh[b - 0x80]);
        else
            d[i] = QChar(b);
    }
    return out;
}

QByteArray toCp1252(const QString& text, bool* lossless) {
    QByteArray out;
    out.resize(text.size());
    bool ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c >= 0x80 && c <= 0x9F && !kHigh[c - 0x80])) {
            b = static_cast<char>(c);
        } else {
            bool found = false;
            for (int k = 0; k < 32; ++k)
                if (kHigh[k] == c && c != 0) {
                    b = static_cast<char>(0x80 + k);
                    found = true;
                    break;
                }
            if (!found) ok = false;
        }
        out[i] = b;
    }
    if (lossless) *lossless = ok;
    return out;
}

bool fitsCp1252(const QString& text) {
    bool ok = true;
    toCp1252(text, &ok);
    return ok;
}
