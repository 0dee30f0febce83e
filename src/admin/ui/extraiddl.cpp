#include "admin/ui/extraiddl.h"
#include "admin/ddlextraction.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "sql/scriptfile.h"
#include <QApplication>
#include <QWidget>

void extraiDdl(QWidget* parent) {
    TdM* dm = TdM::instance();
    if (!dm) return;
    makeScriptDirectory();
    FileDialogRequest request;
    request.title = QStringLiteral("Extrai DDL");
    request.directory = ddlFileProposal(CurrentDatabase);
    request.filters = QStringList{QStringLiteral("SQL (*.sql)"), QStringLiteral("Todos os arquivos (*)")};
    request.defaultSuffix = QStringLiteral("sql");
    request.confirmOverwrite = true;
    const QString path = Prompts::instance().saveFile(request);
    if (path.isEmpty()) return;

    auto* extraction = new DdlExtraction(dm->Banco, parent);
    QObject::connect(extraction, &DdlExtraction::finished, extraction, [extraction, path](const QString& error) {
        QApplication::restoreOverrideCursor();
        extraction->deleteLater();
        if (!error.isEmpty()) {
            reportError(error);
            return;
        }
        showMessage(QStringLiteral("O DDL do banco foi gravado em %1.").arg(path), QStringLiteral("Atenção"),
                    MsgIcon::Information, MbOk);
    });
    try {
        extraction->start(path);
    } catch (...) {
        delete extraction;
        throw;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
