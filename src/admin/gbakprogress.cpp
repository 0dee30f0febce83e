#include "admin/gbakprogress.h"
#include <QRegularExpression>

bool GbakProgress::read(const QString& line) {
    QString text = line;
    if (text.startsWith(QStringLiteral("gbak:"))) text.remove(0, 5);
    text = text.trimmed();

    static const QRegularExpression dataFor(QStringLiteral("^(?:writing|restoring) data for table (.+)$"));
    static const QRegularExpression records(QStringLiteral("^(\\d+) records (?:written|restored)$"));
    static const QRegularExpression bytes(QStringLiteral("(\\d+) bytes written$"));
    static const QRegularExpression created(QStringLiteral("^created database (.+), page_size \\d+ bytes$"));

    QRegularExpressionMatch m = dataFor.match(text);
    if (m.hasMatch()) {
        m_done += m_current;
        m_current = 0;
        m_table = m.captured(1);
        return true;
    }
    m = records.match(text);
    if (m.hasMatch()) {
        // The count of the current table so far (its last line repeats the total).
        m_current = m.captured(1).toLongLong();
        return true;
    }
    m = bytes.match(text);
    if (m.hasMatch()) {
        m_bytes = m.captured(1).toLongLong();
        return true;
    }
    m = created.match(text);
    if (m.hasMatch()) {
        m_created = m.captured(1);
        return true;
    }
    return false;
}
