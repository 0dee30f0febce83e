#pragma once
#include "export/reportfont.h"
#include "export/reportpages.h"
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

class DataSet;
class Field;

// One printed field: its header label and the value cell under it share the left edge (from the
// band's left edge) and the width, in points.
struct ReportColumn {
    int field = -1; // index in the dataset
    QString label;  // the field's display name
    double left = 0;
    double width = 0;
    bool alignRight = false; // numbers to the right, everything else to the left
    double right() const { return left + width; }
};

// A plain list report of a dataset's rows: one column per field, one line per row, in four bands
// (title on the first page only when there is a table name, column headers and page footer on
// every page, one detail line per row). The columns are laid out once by BuildListReport; the
// pages are ranges of rows worked out by prepare() from fixed line heights, and each page is
// painted on demand from the dataset's rows, so a long result never holds its pages in memory.
class ListReport : public ReportPages {
public:
    ListReport(DataSet* dataSet, const QPageSize& paper);

    DataSet* dataSet() const { return m_dataSet; }
    QPageSize paperSize() const { return m_paper; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // Columns already placed stay where they are.
    void setOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }

    // The report title names the preview and the print job.
    QString title() const override { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    // The table name in the title band; no title band when it is empty.
    QString titleBandText() const { return m_titleBand; }
    void setTitleBandText(const QString& text) { m_titleBand = text; }
    bool hasTitleBand() const { return !m_titleBand.isEmpty(); }

    const std::vector<ReportColumn>& columns() const { return m_columns; }
    // The field, unless it is not printable or does not fit even on a landscape page (then the
    // page is left landscape when that was tried).
    void addColumn(const Field& field);

    // Band geometry in points; the bands span the paper less its margins.
    double bandWidth() const;
    double titleBandHeight() const;
    double headerBandHeight() const { return m_headerHeight; }
    double detailBandHeight() const { return m_detailHeight; }
    double footerBandHeight() const;

    // Reads the dataset to its end (the query then stands at its last row) and works out the page
    // ranges for the orientation in force. Raises the dataset's errors; a closed dataset gives one
    // empty page.
    void prepare();
    int rowCount() const { return m_rows; }
    // First row and number of rows of a page.
    std::pair<int, int> pageRows(int page) const;
    static QString footerText(int page) { return QStringLiteral("Page %1").arg(page + 1); }

    int pageCount() const override;
    QSizeF pageSize(int page) const override;
    QPageLayout pageLayout() const;
    void paintPage(QPainter& painter, int page) const override;
    bool savePdf(const QString& path, const PageDone& pageDone = {}) const override;

private:
    friend std::unique_ptr<ListReport> BuildListReport(DataSet*, const QString&, const QStringList&,
                                                       const QPageSize&);
    void fitBands();
    int rowsOnFirstPage() const;
    int rowsPerPage() const;
    double contentHeight() const;

    QPointer<DataSet> m_dataSet;
    QPageSize m_paper;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QString m_title;
    QString m_titleBand;
    ReportFont m_font;
    ReportFont m_titleFont;
    std::vector<ReportColumn> m_columns;
    double m_headerHeight;
    double m_detailHeight;
    int m_rows = 0;
};

// Builds the report of the named fields of dataSet (in that order; names of fields that the
// dataset lacks are skipped) on portrait paper of the given size, with a title band when `title`
// (a table name) is not empty.
std::unique_ptr<ListReport> BuildListReport(DataSet* dataSet, const QString& title,
                                            const QStringList& fieldNames, const QPageSize& paper);
