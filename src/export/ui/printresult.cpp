#include "export/ui/printresult.h"
#include "connection/dataset.h"
#include "export/listreport.h"
#include "export/ui/reportpreview.h"
#include "platform/prompts.h"
#include <QEventLoop>
#include <QGuiApplication>
#include <QPageSize>
#include <QPointer>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>

namespace {
// The current printer's paper (A4 when there is no printer).
QPageSize currentPaperSize() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const QPageSize size = printer.isNull() ? QPageSize() : printer.defaultPageSize();
    return size.isValid() ? size : QPageSize(QPageSize::A4);
}
} // namespace

void printListReport(QWidget* owner, DataSet* dataSet, const QString& tableName) {
    if (ReportPreview* open = ReportPreview::openFor(owner)) {
        open->raise();
        open->activateWindow();
        return;
    }
    const QStringList fieldNames = dataSet->active() ? dataSet->fieldDefNames() : QStringList();
    const std::unique_ptr<ListReport> report =
        BuildListReport(dataSet, tableName, fieldNames, currentPaperSize());
    const MsgButton answer =
        showMessage(QStringLiteral("Sim - para Retrato, Não - Para paisagem"), QStringLiteral("Escolha"),
                    MsgIcon::Information, MbYes | MbNo, MbYes);
    report->setOrientation(answer == MbNo ? QPageLayout::Landscape : QPageLayout::Portrait);
    report->setTitle(QStringLiteral("Relatório de Dados da tabela - ") + tableName);
    // Pages first: when reading the rows fails, no preview is shown.
    report->prepare();

    QPointer<ReportPreview> preview = new ReportPreview(report.get(), owner);
    QEventLoop loop;
    QObject::connect(preview, &ReportPreview::closed, &loop, &QEventLoop::quit);
    // The pages are drawn from the query's rows: without them the preview has nothing to show.
    QObject::connect(dataSet, &DataSet::dataReset, preview, &QWidget::close);
    QObject::connect(dataSet, &QObject::destroyed, preview, &QWidget::close);
    // The whole screen also where no window manager maximises windows.
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        preview->setGeometry(screen->availableGeometry());
    preview->showMaximized();
    loop.exec();
    // The owner may be gone by now (closed while the preview was open): only local things below.
    delete preview.data();
}
