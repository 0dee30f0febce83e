#include "support/files.h"
#include "platform/appdir.h"
#include <QFile>
#include <QtTest>
#include <sys/fsuid.h>
#include <unistd.h>

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

TempAppDirectory::TempAppDirectory() {
    setApplicationDirectory(m_dir.path());
}

TempAppDirectory::~TempAppDirectory() {
    setApplicationDirectory(QString());
}

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::ExeOther);
    m_wasRoot = geteuid() == 0;
    if (m_wasRoot) setfsuid(65534);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_wasRoot) setfsuid(0);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
