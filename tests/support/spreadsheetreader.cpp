#include "support/spreadsheetreader.h"
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
// Fields of a CSV text: quoted fields may hold commas, quotes ("") and line breaks.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += c;
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\n') {
            row << field;
            field.clear();
            if (c == '\n') {
                rows << row;
                row.clear();
            }
        } else {
            field += c;
        }
    }
    if (!row.isEmpty() || !field.isEmpty()) rows << (row << field);
    return rows;
}

QByteArray convert(const QString& file, const QStringList& exporter, const QString& suffix) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sheet.") + suffix);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")); // numbers with a decimal point
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("ssconvert"), exporter + QStringList{file, out});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning() << "ssconvert failed:" << p.readAllStandardError();
        return {};
    }
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

QList<QStringList> readSheetCells(const QString& file, const QString& format) {
    // Gnumeric shows negative numbers with the typographic minus sign.
    return parseCsv(
        QString::fromUtf8(convert(file,
                                  {QStringLiteral("-T"), QStringLiteral("Gnumeric_stf:stf_assistant"),
                                   QStringLiteral("-O"), QStringLiteral("format=") + format},
                                  QStringLiteral("csv")))
            .replace(QChar(0x2212), QChar('-')));
}

QString readSheetXml(const QString& file) {
    return QString::fromUtf8(
        convert(file, {QStringLiteral("-T"), QStringLiteral("Gnumeric_XmlIO:sax:0")}, QStringLiteral("xml")));
}

QString useRecordingSpreadsheetProgram(const QString& folder) {
    QFile script(QDir(folder).filePath(QStringLiteral("planilha.sh")));
    if (!script.open(QIODevice::WriteOnly)) return {};
    script.write("printf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/abertos.txt\"\n");
    script.close();
    qputenv("FBADMIN_SPREADSHEET", ("sh " + script.fileName()).toLocal8Bit());
    return QDir(folder).filePath(QStringLiteral("abertos.txt"));
}
