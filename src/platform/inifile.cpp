#include "platform/inifile.h"
#include "platform/apperror.h"
#include "platform/textfile.h"
#include <QFileInfo>
#include <limits>

namespace {
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isQuote(QChar c) {
    return c == '"' || c == '\'';
}

// What Windows hands back for the text after "=".
QString unquote(const QString& raw) {
    QString v = raw.trimmed();
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front()) v = v.mid(1, v.size() - 2);
    return v;
}

// The text to put after "=" so that unquote() gives value back.
QString quoteIfNeeded(const QString& value) {
    if (value.isEmpty()) return value;
    const bool blanksAround = value.trimmed().size() != value.size();
    const bool quoted = value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
    return blanksAround || quoted ? '"' + value + '"' : value;
}

bool hasLineBreak(const QString& s) {
    return s.contains('\n') || s.contains('\r');
}

enum class NameKind { Section, Key };

void checkName(NameKind kind, const QString& name) {
    const bool bad = name.isEmpty() || name.trimmed().size() != name.size() || hasLineBreak(name) ||
                     (kind == NameKind::Key && name.contains('=')) ||
                     (kind == NameKind::Section && name.contains(']'));
    if (bad)
        throw AppError(
            QStringLiteral("Nome de %1 inválido no arquivo de configuração: \"%2\"")
                .arg(kind == NameKind::Key ? QStringLiteral("chave") : QStringLiteral("seção"), name));
}
} // namespace

bool parseIniInteger(const QString& text, int* value) {
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith('-') || t.startsWith('+')) {
        negative = t.front() == '-';
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    } else if (t.startsWith('$')) {
        base = 16;
        t.remove(0, 1);
    }
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) &&
            !(base == 16 && QStringLiteral("abcdefABCDEF").contains(c)))
            return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    if (!ok) return false;
    const qlonglong signedValue = negative ? -v : v;
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return false;
    *value = static_cast<int>(signedValue);
    return true;
}

IniFile::IniFile(const QString& fileName) : m_fileName(fileName) {
    m_sections.append(Section{});
    if (QFileInfo::exists(fileName)) parse(readText(fileName));
}

IniFile::IniFile(const QString& fileName, const QString& text) : m_fileName(fileName) {
    m_sections.append(Section{});
    parse(text);
}

void IniFile::parse(QString text) {
    if (text.endsWith('\n')) text.chop(1);
    if (text.isEmpty()) return;
    for (const QString& rawLine : text.split('\n')) {
        const QString t = rawLine.trimmed();
        if (t.startsWith('[')) {
            const qsizetype close = t.indexOf(']');
            Section s;
            s.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
            s.hasHeader = true;
            m_sections.append(s);
            continue;
        }
        Line line;
        line.text = rawLine;
        const qsizetype eq = rawLine.indexOf('=');
        if (eq >= 0) {
            line.isKey = true;
            line.key = rawLine.left(eq).trimmed();
        }
        m_sections.last().lines.append(line);
    }
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    for (const Section& s : m_sections)
        if (s.hasHeader && sameName(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Line* IniFile::findKey(const QString& section, const QString& key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    for (const Line& l : s->lines)
        if (l.isKey && sameName(l.key, key)) return &l;
    return nullptr;
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    return findKey(section, key) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const Line* l = findKey(section, key);
    if (!l) return defaultValue;
    return unquote(l->text.mid(l->text.indexOf('=') + 1));
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    int v = 0;
    return parseIniInteger(readString(section, key, QString()), &v) ? v : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    checkName(NameKind::Section, section);
    checkName(NameKind::Key, key);
    if (hasLineBreak(value))
        throw AppError(
            QStringLiteral("O valor de \"%1\" tem uma quebra de linha e não pode ser gravado").arg(key));

    Line line;
    line.isKey = true;
    line.key = key;
    line.text = key + '=' + quoteIfNeeded(value);

    Section* target = nullptr;
    for (Section& s : m_sections)
        if (s.hasHeader && sameName(s.name, section)) {
            target = &s;
            break;
        }
    if (!target) {
        Section s;
        s.name = section;
        s.hasHeader = true;
        m_sections.append(s);
        target = &m_sections.last();
    }
    for (Line& l : target->lines)
        if (l.isKey && sameName(l.key, key)) {
            l = line;
            return;
        }
    // After the section's last non-blank line, so a blank line before the next section stays there.
    qsizetype at = target->lines.size();
    while (at > 0 && target->lines.at(at - 1).text.trimmed().isEmpty())
        --at;
    target->lines.insert(at, line);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

QString IniFile::text() const {
    QString text;
    for (const Section& s : m_sections) {
        if (s.hasHeader) text += '[' + s.name + "]\n";
        for (const Line& l : s.lines)
            text += l.text + '\n';
    }
    return text;
}

void IniFile::updateFile() {
    writeText(m_fileName, text());
}
