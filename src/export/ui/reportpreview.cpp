#include "export/ui/reportpreview.h"
#include "export/reportpages.h"
#include "export/reportpdf.h"
#include "platform/apperror.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/printerdialog.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>

namespace {
constexpr int kPaperMargin = 12; // pixels of grey around the page
constexpr int kScrollStep = 20;
// Reports of this many pages take a second or more to write or print: their progress is shown.
constexpr int kProgressPages = 100;

// The pages written or printed so far, in a window over the preview whose Cancel stops the work;
// the program's windows are painted between pages. Short reports go without it.
class PageProgress {
public:
    PageProgress(QWidget* parent, const QString& doing, int pages) : m_doing(doing), m_pages(pages) {
        if (pages < kProgressPages) return;
        m_dialog = std::make_unique<QProgressDialog>(parent);
        m_dialog->setWindowTitle(parent->windowTitle());
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setCancelButtonText(QStringLiteral("Cancelar"));
        m_dialog->setRange(0, pages);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        show(0);
    }
    // False once the user cancelled.
    bool operator()(int done) {
        if (!m_dialog) return true;
        // Often enough for the eye and the windows' painting, not after every page.
        if (done == m_pages || m_shown.elapsed() >= kProgressMs) show(done);
        return !m_dialog->wasCanceled();
    }

private:
    static constexpr int kProgressMs = 40;

    void show(int done) {
        m_dialog->setLabelText(QStringLiteral("%1: página %2 de %3").arg(m_doing).arg(done).arg(m_pages));
        m_dialog->setValue(done); // a modal progress window lets the events through here
        m_shown.start();
    }

    QString m_doing;
    int m_pages;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_shown;
};

// Saved reports are PDF files.
FileDialogRequest pdfFileRequest(const QString& title) {
    FileDialogRequest request;
    request.title = title;
    request.filters = {QStringLiteral("PDF (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    return request;
}
} // namespace

// The page shown, drawn at the preview's scale on a grey ground.
class ReportPageView : public QWidget {
public:
    explicit ReportPageView(ReportPreview* preview) : QWidget(preview), m_preview(preview) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void fit() {
        const QSizeF points = m_preview->pages()->pageSize(m_preview->currentPage());
        const double s = m_preview->scale();
        setFixedSize(QSize(qRound(points.width() * s), qRound(points.height() * s)) +
                     QSize(2 * kPaperMargin, 2 * kPaperMargin));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const QRect paper = rect().adjusted(kPaperMargin, kPaperMargin, -kPaperMargin, -kPaperMargin);
        p.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
        p.fillRect(paper, Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(paper.topLeft());
        p.scale(m_preview->scale(), m_preview->scale());
        runGuarded([&] { m_preview->pages()->paintPage(p, m_preview->currentPage()); });
    }

private:
    ReportPreview* m_preview;
};

ReportPreview::ReportPreview(ReportPages* report, QObject* owner)
    : QMainWindow(nullptr), m_owner(owner), m_report(report), m_pages(report),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Report Preview : ") + report->title());
    setFocusPolicy(Qt::StrongFocus);

    auto* bar = addToolBar(QStringLiteral("Preview"));
    bar->setObjectName(QStringLiteral("PreviewBar"));
    bar->setMovable(false);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QStyle* st = style();
    zoomFitAction =
        addCommand("ZoomFit", subjectIcon(QStringLiteral("magnifier")), QStringLiteral("Zoom to fit"));
    zoomWidthAction = addCommand("ZoomWidth", {}, QStringLiteral("Zoom to width"));
    zoom100Action = addCommand("Zoom100", {}, QStringLiteral("100 %"));
    firstPageAction =
        addCommand("FirstPage", st->standardIcon(QStyle::SP_MediaSkipBackward), QStringLiteral("First page"));
    priorPageAction = addCommand("PriorPage", st->standardIcon(QStyle::SP_MediaSeekBackward),
                                 QStringLiteral("Previous page"));
    nextPageAction =
        addCommand("NextPage", st->standardIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Next page"));
    lastPageAction =
        addCommand("LastPage", st->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("Last page"));
    goToPageAction = addCommand("GoToPage", {}, QStringLiteral("Go to page"));
    printerSetupAction = addCommand("PrinterSetup", {}, QStringLiteral("Printer setup"));
    printAction = addCommand("Print", subjectIcon(QStringLiteral("printer")), QStringLiteral("Print"));
    saveReportAction =
        addCommand("SaveReport", subjectIcon(QStringLiteral("floppy-disk")), QStringLiteral("Save report"));
    loadReportAction =
        addCommand("LoadReport", subjectIcon(QStringLiteral("folder-open")), QStringLiteral("Load report"));
    closeAction =
        addCommand("ClosePreview", subjectIcon(QStringLiteral("door-arrow")), QStringLiteral("Close"));
    const QList<QList<QAction*>> groups = {
        {zoomFitAction, zoomWidthAction, zoom100Action},
        {firstPageAction, priorPageAction, nextPageAction, lastPageAction, goToPageAction},
        {printerSetupAction, printAction},
        {saveReportAction, loadReportAction},
        {closeAction}};
    for (const QList<QAction*>& g : groups) {
        if (!bar->actions().isEmpty()) bar->addSeparator();
        bar->addActions(g);
    }
    // The page arrows speak for themselves (their names show as tool tips).
    for (QAction* a : {firstPageAction, priorPageAction, nextPageAction, lastPageAction})
        if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);

    connect(zoomFitAction, &QAction::triggered, this, guarded([this] { setZoom(Zoom::Fit); }));
    connect(zoomWidthAction, &QAction::triggered, this, guarded([this] { setZoom(Zoom::Width); }));
    connect(zoom100Action, &QAction::triggered, this, guarded([this] { setZoom(Zoom::Actual); }));
    connect(firstPageAction, &QAction::triggered, this, guarded([this] { showPage(0); }));
    connect(priorPageAction, &QAction::triggered, this, guarded([this] { showPage(m_page - 1); }));
    connect(nextPageAction, &QAction::triggered, this, guarded([this] { showPage(m_page + 1); }));
    connect(lastPageAction, &QAction::triggered, this,
            guarded([this] { showPage(m_pages->pageCount() - 1); }));
    connect(goToPageAction, &QAction::triggered, this, guarded([this] { goToPage(); }));
    connect(printerSetupAction, &QAction::triggered, this, guarded([this] { printerSetup(); }));
    connect(printAction, &QAction::triggered, this, guarded([this] { print(); }));
    connect(saveReportAction, &QAction::triggered, this, guarded([this] { saveReport(); }));
    connect(loadReportAction, &QAction::triggered, this, guarded([this] { loadReport(); }));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PreviewArea"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->verticalScrollBar()->setSingleStep(kScrollStep);
    m_view = new ReportPageView(this);
    m_scroll->setWidget(m_view);
    setCentralWidget(m_scroll);

    m_status = new QLabel(this);
    statusBar()->addWidget(m_status);
    m_printer->setFullPage(true);
    updatePage();
}

ReportPreview::~ReportPreview() = default;

QAction* ReportPreview::addCommand(const char* name, const QIcon& icon, const QString& text) {
    auto* a = new QAction(icon, text, this);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(text);
    return a;
}

ReportPreview* ReportPreview::openFor(const QObject* owner) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* p = qobject_cast<ReportPreview*>(w);
        if (p && owner && p->m_owner == owner && p->isVisible()) return p;
    }
    return nullptr;
}

double ReportPreview::scale() const {
    const QSizeF page = m_pages->pageSize(m_page);
    const QSize room = m_scroll->maximumViewportSize() - QSize(2 * kPaperMargin, 2 * kPaperMargin);
    switch (m_zoom) {
    case Zoom::Fit:
        return qMax(0.05, qMin(room.width() / page.width(), room.height() / page.height()));
    case Zoom::Width: {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
        return qMax(0.05, (room.width() - bar) / page.width());
    }
    case Zoom::Actual:
        break;
    }
    return logicalDpiX() / 72.0;
}

void ReportPreview::setZoom(Zoom zoom) {
    m_zoom = zoom;
    updatePage();
}

void ReportPreview::showPage(int page) {
    m_page = qBound(0, page, m_pages->pageCount() - 1);
    updatePage();
}

void ReportPreview::updatePage() {
    const int count = m_pages->pageCount();
    m_status->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(count));
    firstPageAction->setEnabled(m_page > 0);
    priorPageAction->setEnabled(m_page > 0);
    nextPageAction->setEnabled(m_page < count - 1);
    lastPageAction->setEnabled(m_page < count - 1);
    m_view->fit();
}

void ReportPreview::goToPage() {
    const int count = m_pages->pageCount();
    QString entry = QString::number(m_page + 1);
    if (!Prompts::instance().input({QStringLiteral("Select a page from 1 to %1").arg(count),
                                    QStringLiteral("Enter page number"), entry},
                                   &entry))
        return; // an input box left with Cancel gives back its initial text: the page shown
    bool ok = false;
    const int n = entry.trimmed().toInt(&ok);
    showPage(ok && n >= 1 && n <= count ? n - 1 : 0);
}

void ReportPreview::printerSetup() {
    PrinterDialog::instance().choose(*m_printer, this, PrinterDialog::Setup, m_pages->pageCount());
}

void ReportPreview::print() {
    // No printer chosen and none installed (or a file chosen before is gone): the printer dialog
    // asks where to print, a PDF file among the choices.
    const bool somewhere =
        !m_printer->outputFileName().isEmpty() ||
        (m_printer->outputFormat() == QPrinter::NativeFormat && !m_printer->printerName().isEmpty());
    if (!somewhere &&
        !PrinterDialog::instance().choose(*m_printer, this, PrinterDialog::Print, m_pages->pageCount()))
        return;
    QPrinter& printer = *m_printer;
    printer.setDocName(m_pages->title());
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutFor(m_pages->pageSize(0)));
    int from = 0, to = m_pages->pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = qMax(from, printer.fromPage() - 1);
        to = qMin(to, printer.toPage() - 1);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        // A printer that failed to start stays "active" and takes no other choice: a new one,
        // on which the printer dialog starts afresh.
        resetPrinter();
        throw AppError(QStringLiteral("The print job could not be started"));
    }
    PageProgress progress(this, QStringLiteral("Imprimindo o relatório"), to - from + 1);
    for (int i = from; i <= to; ++i) {
        if (i > from) {
            printer.setPageLayout(pageLayoutFor(m_pages->pageSize(i)));
            printer.newPage();
        }
        painter.save();
        scaleToPoints(painter);
        m_pages->paintPage(painter, i);
        painter.restore();
        if (!progress(i - from + 1)) {
            printer.abort();
            painter.end();
            return;
        }
    }
    if (!painter.end()) throw AppError(QStringLiteral("The print job could not be finished"));
}

void ReportPreview::resetPrinter() {
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setFullPage(true);
}

void ReportPreview::saveReport() {
    const QString path = Prompts::instance().saveFile(pdfFileRequest(QStringLiteral("Save report")));
    if (path.isEmpty()) return;
    PageProgress progress(this, QStringLiteral("Gravando o relatório"), m_pages->pageCount());
    m_pages->savePdf(path, std::ref(progress));
}

void ReportPreview::loadReport() {
    const QString path = Prompts::instance().openFile(pdfFileRequest(QStringLiteral("Load report")));
    if (path.isEmpty()) return;
    m_loaded = PdfReport::load(path);
    m_pages = m_loaded.get();
    if (!m_pages->title().isEmpty()) setWindowTitle(QStringLiteral("Report Preview : ") + m_pages->title());
    m_page = 0;
    updatePage();
}

void ReportPreview::scrollBy(int direction) {
    QScrollBar* bar = m_scroll->verticalScrollBar();
    const bool atEnd = direction < 0 ? bar->value() <= bar->minimum() : bar->value() >= bar->maximum();
    if (!atEnd) {
        bar->setValue(bar->value() + direction * bar->singleStep());
        return;
    }
    const int page = m_page + direction;
    if (page < 0 || page >= m_pages->pageCount()) return;
    showPage(page);
    // Reading on: the previous page from its bottom, the next one from its top.
    bar->setValue(direction < 0 ? bar->maximum() : bar->minimum());
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_PageUp:
        showPage(ctrl ? 0 : m_page - 1);
        break;
    case Qt::Key_PageDown:
        showPage(ctrl ? m_pages->pageCount() - 1 : m_page + 1);
        break;
    case Qt::Key_Home:
        showPage(0);
        break;
    case Qt::Key_End:
        showPage(m_pages->pageCount() - 1);
        break;
    case Qt::Key_Up:
        scrollBy(-1);
        break;
    case Qt::Key_Down:
        scrollBy(1);
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReportPreview::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void ReportPreview::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_zoom != Zoom::Actual) m_view->fit();
}
