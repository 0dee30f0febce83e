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

// The installed system: the package manager's folders, and /usr/local and /opt where an
// administrator installs by hand. A program found there is an installed one, whoever runs it.
bool isSystemFolder(const QString& dir) {
    static const QStringList roots{
        QStringLiteral("/usr"),   QStringLiteral("/opt"),    QStringLiteral("/bin"),
        QStringLiteral("/sbin"),  QStringLiteral("/lib"),    QStringLiteral("/lib32"),
        QStringLiteral("/lib64"), QStringLiteral("/libx32"), QStringLiteral("/snap"),
        QStringLiteral("/etc"),   QStringLiteral("/boot"),   QStringLiteral("/var/lib")};
    // As written and with its links followed (/bin is /usr/bin on a merged system).
    for (const QString& path : {QDir::cleanPath(dir), QFileInfo(dir).canonicalFilePath()}) {
        if (path.isEmpty()) continue;
        for (const QString& root : roots)
            if (path == root || path.startsWith(root + '/')) return true;
    }
    return false;
}
} // namespace

QString filesDirectoryFor(const QString& executableDir) {
    // Beside the executable only in a folder of its own, as a build or a copied folder; never in
    // the system's, even where this process could write (as root can).
    if (!isSystemFolder(executableDir) && mayWriteIn(executableDir)) return executableDir;
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
