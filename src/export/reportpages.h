#pragma once
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;

using PageDone = std::function<bool(int pagesDone)>;

// The pages of a report as the preview, the printer and PDF files see them. One painter draws a
// page on any device: its units are points (1/72 inch) from the top-left corner of the paper,
// so callers scale the painter to their device's resolution first.
class ReportPages {
public:
    virtual ~ReportPages() = default;
    virtual int pageCount() const = 0;
    // Paper size of a page in points, as the page is oriented.
    virtual QSizeF pageSize(int page) const = 0;
    // Draws page `page` (0-based).
    virtual void paintPage(QPainter& painter, int page) const = 0;
    // Writes every page to a PDF file; raises AppError when the file cannot be written. After
    // each page, pageDone (when given) is told how many are done; when it answers false the
    // writing stops and no file is made (savePdf returns false).
    virtual bool savePdf(const QString& path, const PageDone& pageDone = {}) const = 0;
    // The document's title (the print job's name).
    virtual QString title() const = 0;
};

// Scales the painter so that one unit is one point on its device.
void scaleToPoints(QPainter& painter);
// The paper of a page of that size (a standard size when it is one), turned as the page is, with
// no margins: what a printer or a PDF file is set to before the page is drawn.
QPageLayout pageLayoutFor(QSizeF points);
