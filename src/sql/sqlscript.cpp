#include "sql/sqlscript.h"
#include <QRegularExpression>

namespace {
bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == QChar('_') || c == QChar('$');
}

bool isCommentStart(const QString& s, qsizetype i) {
    return i + 1 < s.size() &&
           ((s[i] == QChar('-') && s[i + 1] == QChar('-')) || (s[i] == QChar('/') && s[i + 1] == QChar('*')));
}

QChar closingDelimiter(QChar open) {
    switch (open.unicode()) {
    case '(':
        return QChar(')');
    case '[':
        return QChar(']');
    case '{':
        return QChar('}');
    case '<':
        return QChar('>');
    default:
        return open;
    }
}

// Index just past the comment or quoted text that starts at i, or i when none starts there.
qsizetype skipQuotedOrComment(const QString& s, qsizetype i) {
    const qsizetype n = s.size();
    const QChar c = s[i];
    if (isCommentStart(s, i)) {
        if (c == QChar('-')) {
            const qsizetype e = s.indexOf(QChar('\n'), i + 2);
            return e < 0 ? n : e; // the line break is ordinary text again
        }
        const qsizetype e = s.indexOf(QStringLiteral("*/"), i + 2);
        return e < 0 ? n : e + 2;
    }
    // q'<x>...<y>' with a delimiter pair of the literal's choosing (not inside a longer word).
    if ((c == QChar('q') || c == QChar('Q')) && i + 2 < n && s[i + 1] == QChar('\'') &&
        (i == 0 || !isIdentChar(s[i - 1]))) {
        const QChar close = closingDelimiter(s[i + 2]);
        for (qsizetype j = i + 3; j + 1 < n; ++j)
            if (s[j] == close && s[j + 1] == QChar('\'')) return j + 2;
        return n;
    }
    if (c == QChar('\'') || c == QChar('"')) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (s[j] != c) continue;
            if (j + 1 < n && s[j + 1] == c) {
                ++j; // a doubled quote stands for itself
                continue;
            }
            return j + 1;
        }
        return n;
    }
    return i;
}

// "SET TERM <new>" (any case, any blanks between): the new terminator.
bool setTermCommand(const QString& statement, QString* terminator) {
    static const QRegularExpression re(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(statement);
    if (!m.hasMatch()) return false;
    *terminator = m.captured(1);
    return true;
}
} // namespace

QList<ScriptStatement> splitScript(const QString& s) {
    QList<ScriptStatement> out;
    QString terminator = QStringLiteral(";");
    const qsizetype n = s.size();
    qsizetype start = -1; // first token of the statement being read; -1 while there is none yet

    // Lines and columns are counted once, forward, as statements are found.
    qsizetype counted = 0;
    TextPosition at;
    auto positionAt = [&](qsizetype index) {
        for (; counted < index; ++counted) {
            if (s[counted] == QChar('\n')) {
                ++at.line;
                at.column = 1;
            } else {
                ++at.column;
            }
        }
        return at;
    };

    auto finish = [&](qsizetype end) {
        if (start < 0) return;
        qsizetype last = end;
        while (last > start && s[last - 1].isSpace())
            --last;
        const QString text = s.mid(start, last - start);
        QString next;
        if (setTermCommand(text, &next)) {
            terminator = next;
        } else {
            const TextPosition p = positionAt(start);
            out.append(ScriptStatement{text, static_cast<int>(start), p.line, p.column});
        }
        start = -1;
    };

    qsizetype i = 0;
    while (i < n) {
        const qsizetype skipped = skipQuotedOrComment(s, i);
        if (skipped != i) {
            if (start < 0 && !isCommentStart(s, i)) start = i;
            i = skipped;
            continue;
        }
        if (QStringView(s).mid(i).startsWith(terminator)) {
            // Past the terminator that ended the statement, not the one a SET TERM put in its place.
            const qsizetype length = terminator.size();
            finish(i);
            i += length;
            continue;
        }
        if (start < 0 && !s[i].isSpace()) start = i;
        ++i;
    }
    finish(n);
    return out;
}

QString leadingKeyword(const QString& statement) {
    const qsizetype n = statement.size();
    qsizetype i = 0;
    while (i < n) {
        if (statement[i].isSpace() || statement[i] == QChar('(')) {
            ++i;
        } else if (isCommentStart(statement, i)) {
            i = skipQuotedOrComment(statement, i);
        } else {
            break;
        }
    }
    qsizetype e = i;
    while (e < n && statement[e].isLetter())
        ++e;
    if (e < n && isIdentChar(statement[e])) return {}; // a longer name, not a keyword
    return statement.mid(i, e - i).toUpper();
}

TextPosition textPosition(const QString& text, qsizetype index) {
    index = qBound<qsizetype>(0, index, text.size());
    TextPosition p;
    // (lastIndexOf from -1 would search from the end)
    const qsizetype lineStart = index == 0 ? 0 : text.lastIndexOf(QChar('\n'), index - 1) + 1;
    p.line = static_cast<int>(QStringView(text).left(lineStart).count(QChar('\n'))) + 1;
    p.column = static_cast<int>(index - lineStart) + 1;
    return p;
}

qsizetype indexOfPosition(const QString& text, TextPosition position) {
    qsizetype lineStart = 0;
    for (int line = 1; line < position.line; ++line) {
        const qsizetype e = text.indexOf(QChar('\n'), lineStart);
        if (e < 0) return text.size();
        lineStart = e + 1;
    }
    qsizetype lineEnd = text.indexOf(QChar('\n'), lineStart);
    if (lineEnd < 0) lineEnd = text.size();
    return std::min(lineStart + std::max(position.column, 1) - 1, lineEnd);
}

namespace {
const QRegularExpression& placeInMessage() {
    static const QRegularExpression re(QStringLiteral("\\bline (\\d+), column (\\d+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}
} // namespace

qsizetype serverErrorIndex(const QString& message, const QString& statement) {
    const QRegularExpressionMatch m = placeInMessage().match(message);
    if (!m.hasMatch()) return -1;
    const int line = m.captured(1).toInt();
    const int byteColumn = m.captured(2).toInt();
    if (line < 1 || byteColumn < 1) return -1;
    const qsizetype lineStart = indexOfPosition(statement, TextPosition{line, 1});
    qsizetype lineEnd = statement.indexOf(QChar('\n'), lineStart);
    if (lineEnd < 0) lineEnd = statement.size();
    // Walk the line's characters until their UTF-8 bytes reach the column.
    qsizetype bytes = 0;
    qsizetype i = lineStart;
    while (i < lineEnd && bytes < byteColumn - 1) {
        const char32_t c = statement[i].isHighSurrogate() && i + 1 < lineEnd
                               ? QChar::surrogateToUcs4(statement[i], statement[i + 1])
                               : statement[i].unicode();
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        i += c >= 0x10000 ? 2 : 1;
    }
    return i;
}

QString messageAtPosition(const QString& message, const QString& text, qsizetype index) {
    if (index < 0) return message;
    const QRegularExpressionMatch m = placeInMessage().match(message);
    if (!m.hasMatch()) return message;
    const TextPosition p = textPosition(text, index);
    QString out = message;
    // The numbers only: the server's own words around them stay.
    out.replace(m.capturedStart(2), m.capturedLength(2), QString::number(p.column));
    out.replace(m.capturedStart(1), m.capturedLength(1), QString::number(p.line));
    return out;
}

qsizetype nulIndex(const QString& text) {
    return text.indexOf(QChar(0));
}
