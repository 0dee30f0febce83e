#include "platform/appdir.h"
#include <QCoreApplication>
#include <QDir>

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}
} // namespace

QString applicationDirectory() {
    QString dir = overrideDir();
    if (dir.isEmpty()) dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

QString applicationFile(const QString& name) { return applicationDirectory() + name; }

void setApplicationDirectory(const QString& dir) { overrideDir() = dir; }
