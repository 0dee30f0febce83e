#pragma once
#include "export/reportpages.h"
#include <QByteArray>
#include <QImage>
#include <memory>

class QPdfDocument;

// Writes the pages to a PDF file (created or replaced only when complete), titled with the
// report's title. Raises AppError when the file cannot be written; false (and no file) when
// pageDone stopped it.
bool writeReportPdf(const ReportPages& pages, const QString& path, const PageDone& pageDone = {});

// A report saved as PDF and read back: its pages drawn from the document's own rendering, at the
// resolution of the device they are painted on.
class PdfReport : public ReportPages {
public:
    // Raises AppError when the file cannot be read or is not a PDF document.
    static std::unique_ptr<PdfReport> load(const QString& path);
    ~PdfReport() override;

    int pageCount() const override;
    QSizeF pageSize(int page) const override;
    void paintPage(QPainter& painter, int page) const override;
    bool savePdf(const QString& path, const PageDone& pageDone = {}) const override; // the document's own bytes
    QString title() const override;

private:
    PdfReport();
    QByteArray m_bytes;
    std::unique_ptr<QPdfDocument> m_document;
    // The page last rendered, reused while the preview repaints it at the same size.
    mutable QImage m_rendered;
    mutable int m_renderedPage = -1;
};
