#include "admin/serverfiles.h"
#include "platform/apperror.h"
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

QString freeNameBeside(const QString& path, const QString& suffix) {
    QString name = path + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = path + suffix + QString::number(n);
    return name;
}

QString restoredName(const QString& path, const QDateTime& when) {
    const int sep = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    const int dot = path.lastIndexOf('.');
    const QString stamp = QStringLiteral("-restaurado-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (dot > sep + 1) return path.left(dot) + stamp + path.mid(dot);
    return path + stamp;
}

void replaceFile(const QString& from, const QString& to) {
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (std::rename(a.constData(), b.constData()) != 0)
        throw AppError(QStringLiteral("Não foi possível renomear %1 para %2: %3")
                           .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
}

bool folderWritable(const QString& path) {
    // Trying is the only sure answer (permissions, read-only mounts, the process's identity).
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.fbadmin-XXXXXX"));
    return probe.open();
}
