#include "export/spreadsheetprogram.h"
#include "platform/apperror.h"
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
const char* const kXlsxType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// The desktop's default application for the type, by its desktop entry; empty when none.
QString defaultApplication() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) return {};
    QProcess p;
    p.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QString::fromLatin1(kXlsxType)});
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The command in FBADMIN_SPREADSHEET; not found() when it is not set.
SpreadsheetProgram commandFromEnvironment() {
    const QString command = qEnvironmentVariable("FBADMIN_SPREADSHEET").trimmed();
    if (!command.isEmpty()) {
        QStringList parts = QProcess::splitCommand(command);
        if (!parts.isEmpty()) {
            const QString program = parts.takeFirst();
            return {program, parts};
        }
    }
    return {};
}

SpreadsheetProgram desktopProgram() {
    if (!defaultApplication().isEmpty()) return {QStringLiteral("xdg-open"), {}};
    const struct {
        const char* program;
        const char* argument;
    } candidates[] = {
        {"localc", nullptr}, {"libreoffice", "--calc"}, {"soffice", "--calc"}, {"gnumeric", nullptr}};
    for (const auto& c : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (path.isEmpty()) continue;
        SpreadsheetProgram p{path, {}};
        if (c.argument) p.arguments << QString::fromLatin1(c.argument);
        return p;
    }
    return {};
}
} // namespace

SpreadsheetProgram findSpreadsheetProgram() {
    const SpreadsheetProgram command = commandFromEnvironment();
    return command.found() ? command : desktopProgram();
}

SpreadsheetProgramCache::SpreadsheetProgramCache()
    : m_asking(std::async(std::launch::async, desktopProgram)) {}

SpreadsheetProgramCache::~SpreadsheetProgramCache() {
    if (m_asking.valid()) m_asking.wait();
}

SpreadsheetProgram SpreadsheetProgramCache::program() {
    const SpreadsheetProgram command = commandFromEnvironment();
    if (command.found()) return command;
    if (m_asking.valid())
        m_answer = m_asking.get();
    else if (!m_answer.found())
        m_answer = desktopProgram();
    return m_answer;
}

QString newWorkbookPath(int number) {
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("fbadmin-XXXXXX")));
    if (!dir.isValid())
        throw AppError(QStringLiteral("Não foi possível criar uma pasta temporária para a planilha: %1")
                           .arg(dir.errorString()));
    dir.setAutoRemove(false); // the spreadsheet opens the file after we are gone
    return dir.filePath(QStringLiteral("Pasta%1.xlsx").arg(number));
}

void openInSpreadsheet(const SpreadsheetProgram& program, const QString& file) {
    if (!QProcess::startDetached(program.program, program.arguments + QStringList{file}))
        throw AppError(QStringLiteral("Não foi possível abrir a planilha com %1").arg(program.program));
}
