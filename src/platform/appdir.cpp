#include "platform/appdir.h"
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}

QString& executableOverride() {
    static QString dir;
    return dir;
}

// Asked with the effective identity, so what counts is what this process may do (a read-only mount
// included), not what its real user could do.
bool mayWriteIn(const QString& dir) {
    const QByteArray path = QFile::encodeName(dir);
    return !path.isEmpty() && faccessat(AT_FDCWD, path.constData(), W_OK | X_OK, AT_EACCESS) == 0 &&
           QFileInfo(dir).isDir();
}
} // namespace

QString filesDirectoryFor(const QString& executableDir) {
    if (mayWriteIn(executableDir)) return executableDir;
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString dir = QDir(dataHome).filePath(QStringLiteral("fbadmin"));
    // A folder that cannot be made shows later, in the message of the file that cannot be written.
    QDir().mkpath(dir);
    return dir;
}

QString applicationDirectory() {
    QString dir = overrideDir();
    if (dir.isEmpty()) {
        const QString exe = executableOverride();
        dir = filesDirectoryFor(exe.isEmpty() ? QCoreApplication::applicationDirPath() : exe);
    }
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

QString applicationFile(const QString& name) {
    return applicationDirectory() + name;
}

void setApplicationDirectory(const QString& dir) {
    overrideDir() = dir;
}

void setExecutableDirectory(const QString& dir) {
    executableOverride() = dir;
}
