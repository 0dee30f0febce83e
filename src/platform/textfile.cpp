#include "platform/textfile.h"
#include "platform/apperror.h"
#include "platform/cp1252.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString nativePath(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

QString systemReason(const QFileDevice& f) {
    // QFile keeps errno's text for open failures; fall back to the device's description.
    const QString s = f.errorString();
    return s.isEmpty() ? QString::fromLocal8Bit(std::strerror(errno)) : s;
}

} // namespace

// Opened without blocking, so that a pipe without a writer cannot stall the program, and read up
// to one byte past the limit, so that a file growing while it is read cannot pass either.
QByteArray readFileBytes(const QString& path, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw AppError(cannotOpenMessage(path, QString::fromLocal8Bit(std::strerror(errno))));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st = {};
    if (fstat(fd, &st) != 0)
        throw AppError(cannotOpenMessage(path, QString::fromLocal8Bit(std::strerror(errno))));
    if (S_ISDIR(st.st_mode))
        throw AppError(cannotOpenMessage(path, QString::fromLocal8Bit(std::strerror(EISDIR))));
    if (!S_ISREG(st.st_mode)) throw AppError(cannotOpenMessage(path, QStringLiteral("Not a regular file")));
    if (st.st_size > limit) throw AppError(tooLargeMessage(path, limit));
    QByteArray data;
    data.resize(qsizetype(st.st_size) + 1);
    qsizetype done = 0;
    for (;;) {
        if (done == data.size()) {
            if (done > limit) throw AppError(tooLargeMessage(path, limit));
            data.resize(qMin<qint64>(qint64(done) * 2, limit + 1));
        }
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw AppError(cannotOpenMessage(path, QString::fromLocal8Bit(std::strerror(errno))));
        if (n == 0) break;
        done += n;
    }
    if (done > limit) throw AppError(tooLargeMessage(path, limit));
    data.truncate(done);
    return data;
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

QString tooLargeMessage(const QString& path, qint64 limit) {
    return QStringLiteral("O arquivo \"%1\" é grande demais: o programa lê arquivos de até %2 MB")
        .arg(nativePath(path))
        .arg(limit >> 20);
}

QString decodeText(const QByteArray& bytes) {
    QString text = fromCp1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

QStringList splitLines(const QString& text) {
    if (text.isEmpty()) return {};
    QStringView view(text);
    if (view.endsWith('\n')) view.chop(1);
    QStringList lines;
    for (QStringView line : view.split('\n'))
        lines.append(line.toString());
    return lines;
}

QString readText(const QString& path, qint64 limit) {
    return decodeText(readFileBytes(path, limit));
}

QStringList readTextLines(const QString& path, qint64 limit) {
    return splitLines(readText(path, limit));
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
        throw AppError(
            QStringLiteral("O texto contém caracteres que não podem ser gravados no arquivo \"%1\", "
                           "como \"%2\". Nada foi gravado")
                .arg(nativePath(path), offender));
    }
    writeFileBytes(path, data);
}
