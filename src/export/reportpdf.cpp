#include "export/reportpdf.h"
#include "platform/apperror.h"
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QSaveFile>

namespace {
constexpr int kPdfResolution = 720; // tenths of a point: the report's own unit
constexpr double kMaxRenderDpi = 300;

QString cannotCreate(const QString& path, const QString& why) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, why);
}
} // namespace

QPageLayout pageLayoutFor(QSizeF points) {
    const bool landscape = points.width() > points.height();
    const QSizeF portrait = landscape ? points.transposed() : points;
    return QPageLayout(QPageSize(portrait, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

void scaleToPoints(QPainter& painter) {
    const double dpi = painter.device()->logicalDpiX();
    painter.scale(dpi / 72.0, painter.device()->logicalDpiY() / 72.0);
}

bool writeReportPdf(const ReportPages& pages, const QString& path, const PageDone& pageDone) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw AppError(cannotCreate(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(pages.title());
        writer.setCreator(QStringLiteral("fbadmin"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(pageLayoutFor(pages.pageSize(0)));
        QPainter painter;
        if (!painter.begin(&writer)) throw AppError(cannotCreate(path, QString()));
        for (int i = 0; i < pages.pageCount(); ++i) {
            if (i > 0) {
                writer.setPageLayout(pageLayoutFor(pages.pageSize(i)));
                writer.newPage();
            }
            painter.save();
            scaleToPoints(painter);
            pages.paintPage(painter, i);
            painter.restore();
            if (pageDone && !pageDone(i + 1)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
        painter.end();
    }
    if (!file.commit()) throw AppError(cannotCreate(path, file.errorString()));
    return true;
}

PdfReport::PdfReport() : m_document(std::make_unique<QPdfDocument>(nullptr)) {}
PdfReport::~PdfReport() = default;

std::unique_ptr<PdfReport> PdfReport::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    std::unique_ptr<PdfReport> report(new PdfReport);
    report->m_bytes = file.readAll();
    // Only PDF files reach the PDF reader (which keeps a little memory of every file it refuses).
    const bool pdf = report->m_bytes.startsWith("%PDF-");
    if (!pdf || report->m_document->load(path) != QPdfDocument::Error::None ||
        report->m_document->pageCount() < 1)
        throw AppError(QStringLiteral("\"%1\" is not a saved report").arg(path));
    return report;
}

int PdfReport::pageCount() const {
    return m_document->pageCount();
}

QSizeF PdfReport::pageSize(int page) const {
    return m_document->pagePointSize(page);
}

void PdfReport::paintPage(QPainter& painter, int page) const {
    const QSizeF points = pageSize(page);
    const QRectF target(QPointF(0, 0), points);
    // Rendered at the device's resolution (at most 300 dpi, which keeps a printer page's image
    // within some tens of megabytes): the size the page covers there, in pixels.
    QSizeF covered = painter.deviceTransform().mapRect(target).size();
    const double cap = kMaxRenderDpi / 72.0 * points.width();
    if (covered.width() > cap) covered *= cap / covered.width();
    const QSize pixels = covered.toSize();
    if (pixels.isEmpty()) return;
    if (m_renderedPage != page || m_rendered.size() != pixels) {
        m_rendered = m_document->render(page, pixels);
        m_renderedPage = page;
    }
    painter.drawImage(target, m_rendered);
}

bool PdfReport::savePdf(const QString& path, const PageDone&) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != m_bytes.size() || !file.commit())
        throw AppError(cannotCreate(path, file.errorString()));
    return true;
}

QString PdfReport::title() const {
    return m_document->metaData(QPdfDocument::MetaDataField::Title).toString();
}
