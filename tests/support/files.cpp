#include "support/files.h"
#include "platform/appdir.h"
#include <QFile>
#include <QtTest>

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
