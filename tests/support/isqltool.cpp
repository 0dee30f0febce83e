#include "support/isqltool.h"
#include "platform/apperror.h"
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QString isqlProgram() {
    for (const QString& name : {QStringLiteral("isql-fb"), QStringLiteral("isql")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    throw AppError(QStringLiteral("isql-fb not found"));
}

QString runIsql(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(isqlProgram(), arguments);
    if (!p.waitForStarted(10000)) throw AppError(QStringLiteral("isql-fb did not start"));
    p.closeWriteChannel();
    if (!p.waitForFinished(300000)) throw AppError(QStringLiteral("isql-fb did not end"));
    return QString::fromUtf8(p.readAll());
}
} // namespace

QString runIsqlScript(const QString& database, const QString& script, bool stopAtError) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("script.sql"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.toUtf8()) < 0) throw AppError(QStringLiteral("no script file"));
    f.close();
    QStringList args{QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-user"),
                     QStringLiteral("SYSDBA")};
    if (stopAtError) args << QStringLiteral("-bail");
    args << QStringLiteral("-i") << file;
    if (!database.isEmpty()) args << database;
    return runIsql(args);
}

QString isqlExtract(const QString& database) {
    return runIsql({QStringLiteral("-x"), QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-user"),
                    QStringLiteral("SYSDBA"), database});
}

QString withoutCreateDatabaseLine(const QString& extract) {
    QStringList lines = extract.split(QChar('\n'));
    lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("/* CREATE DATABASE ")); });
    return lines.join(QChar('\n'));
}

void createEmptyDatabase(const QString& path, int pageSize, const QString& charset) {
    const QString out = runIsqlScript(
        QString(), QStringLiteral("create database '%1' user 'SYSDBA' page_size %2 default character set %3;\n")
                       .arg(path)
                       .arg(pageSize)
                       .arg(charset));
    if (!QFile::exists(path)) throw AppError(QStringLiteral("isql did not create %1: %2").arg(path, out));
}
