#include "connection/namedparams.h"

namespace {
bool isNameStart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}
bool isNameChar(QChar c) {
    const char16_t u = c.unicode();
    return isNameStart(c) || (u >= '0' && u <= '9') || u == '$';
}

// Index just past the closing `quote` of a quoted run starting at `from` (the opening quote); a
// doubled quote stays inside. -1 when it is never closed.
qsizetype skipQuoted(const QString& s, qsizetype from, QChar quote) {
    qsizetype i = from + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

int findColumn(const QString& name, const QStringList& fields, bool exactOnly) {
    const int exact = fields.indexOf(name);
    if (exact >= 0 || exactOnly) return exact;
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}
} // namespace

ParsedStatement parseNamedParameters(const QString& text) {
    ParsedStatement out;
    out.sql.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = skipQuoted(text, i, c);
            const qsizetype stop = end < 0 ? n : end;
            out.sql += QStringView(text).mid(i, stop - i);
            i = stop;
        } else if (c == '-' && i + 1 < n && text[i + 1] == '-') {
            qsizetype end = text.indexOf('\n', i);
            end = end < 0 ? n : end;
            out.sql += QStringView(text).mid(i, end - i);
            i = end;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? n : end + 2;
            out.sql += QStringView(text).mid(i, end - i);
            i = end;
        } else if (c == ':' && i + 1 < n && isNameStart(text[i + 1])) {
            qsizetype end = i + 1;
            while (end < n && isNameChar(text[end]))
                ++end;
            out.params.append(NamedParameter{text.mid(i + 1, end - i - 1), false});
            out.sql += '?';
            i = end;
        } else if (c == ':' && i + 1 < n && text[i + 1] == '"' && skipQuoted(text, i + 1, '"') > i + 3) {
            const qsizetype end = skipQuoted(text, i + 1, '"');
            QString name = text.mid(i + 2, end - i - 3);
            name.replace(QStringLiteral("\"\""), QStringLiteral("\""));
            out.params.append(NamedParameter{name, true});
            out.sql += '?';
            i = end;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

ParameterBinding resolveParameter(const NamedParameter& p, const QStringList& fieldNames) {
    ParameterBinding b;
    const bool exactOnly = p.quoted;
    for (const bool old : {true, false}) {
        const QLatin1String prefix = old ? QLatin1String("OLD_") : QLatin1String("NEW_");
        if (p.name.size() > prefix.size() && p.name.startsWith(prefix, Qt::CaseInsensitive)) {
            const int f = findColumn(p.name.mid(prefix.size()), fieldNames, exactOnly);
            if (f >= 0) return ParameterBinding{f, old};
        }
    }
    b.field = findColumn(p.name, fieldNames, exactOnly);
    return b;
}
