#include "platform/textfile.h"
#include "platform/apperror.h"
#include "platform/cp1252.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace {
QString nativePath(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

QString systemReason(const QFileDevice& f) {
    // QFile keeps errno's text for open failures; fall back to the device's description.
    const QString s = f.errorString();
    return s.isEmpty() ? QString::fromLocal8Bit(std::strerror(errno)) : s;
}

} // namespace

QByteArray readFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        const int err = errno;
        QString reason = err ? QString::fromLocal8Bit(std::strerror(err)) : systemReason(f);
        if (!QFileInfo::exists(path)) reason = QString::fromLocal8Bit(std::strerror(ENOENT));
        throw AppError(cannotOpenMessage(path, reason));
    }
    return f.readAll();
}

void writeFileBytes(const QString& path, const QByteArray& data) {
    QSaveFile f(path);
    errno = 0;
    // Unbuffered: a buffered QFileDevice takes a short write (disk full, size limit) for success
    // when it flushes, and commit() would then rename a truncated file over the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw AppError(cannotCreateMessage(path, systemReason(f)));
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = f.write(data.constData() + done, data.size() - done);
        if (n <= 0) throw AppError(cannotCreateMessage(path, systemReason(f))); // nothing replaced
        done += n;
    }
    if (!f.commit()) throw AppError(cannotCreateMessage(path, systemReason(f)));
}

QString cannotOpenMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(nativePath(path), reason);
}

QString cannotCreateMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(nativePath(path), reason);
}

QString readText(const QString& path) {
    QString text = fromCp1252(readFileBytes(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

QStringList readTextLines(const QString& path) {
    QString text = readText(path);
    if (text.isEmpty()) return {};
    if (text.endsWith('\n')) text.chop(1);
    return text.split('\n');
}

void writeTextLines(const QString& path, const QStringList& lines) {
    QByteArray data;
    for (const QString& line : lines) {
        data += toCp1252(line);
        data += "\r\n";
    }
    writeFileBytes(path, data);
}

void writeText(const QString& path, const QString& text) {
    bool lossless = true;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    t.replace(QChar('\n'), QStringLiteral("\r\n"));
    const QByteArray data = toCp1252(t, &lossless);
    if (!lossless) {
        // Name the first offender so the user can find it in a long text.
        QString offender;
        for (qsizetype i = 0; i < text.size() && offender.isEmpty(); ++i) {
            const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            if (!fitsCp1252(text.mid(i, n))) offender = text.mid(i, n);
            i += n - 1;
        }
        throw AppError(QStringLiteral("O texto contém caracteres que não podem ser gravados no arquivo \"%1\", "
                                      "como \"%2\". Nada foi gravado")
                           .arg(nativePath(path), offender));
    }
    writeFileBytes(path, data);
}
