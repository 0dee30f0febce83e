#include "export/listreport.h"
#include "connection/dataset.h"
#include "connection/fieldkind.h"
#include "export/reportpdf.h"
#include <QHash>
#include <QPainter>
#include <cmath>

namespace {
constexpr double kMargin = 72.0 / 2.54; // one centimetre around the paper
constexpr double kReportFontPoints = 8;
constexpr double kTitleFontPoints = 14;
// Header and detail bands before any column sets them from the font.
constexpr double kInitialBandHeight = 30;
constexpr double kFirstLeft = 1;
constexpr double kColumnGap = 10;
constexpr double kLineWidth = 0.5;

// Names that the report leaves out, with blobs.
bool unprintableName(const QString& name) {
    static const QString kUnprintable = QStringLiteral(" /\\&%-");
    for (QChar c : name)
        if (kUnprintable.contains(c)) return true;
    return false;
}

// A value drawn on one line: line breaks and other control characters show as blanks.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20) c = QChar(' ');
    return text;
}

// Characters a field is laid out for: text its size, numbers, dates and the rest by kind.
int displayWidth(const Field& field) {
    switch (field.kind()) {
    case FieldKind::String:
        return qMax(1, field.size());
    case FieldKind::SmallInt:
        return 6;
    case FieldKind::Integer:
        return 11;
    case FieldKind::LargeInt:
        return 15;
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        return field.precision() + 2; // sign and decimal point
    case FieldKind::Date:
        return 10;
    case FieldKind::Time:
        return 8;
    case FieldKind::DateTime:
        return 19;
    case FieldKind::Boolean:
        return 5;
    default:
        return 10;
    }
}
} // namespace

ListReport::ListReport(DataSet* dataSet, const QPageSize& paper)
    : m_dataSet(dataSet), m_paper(paper), m_font(kReportFontPoints), m_titleFont(kTitleFontPoints, true),
      m_headerHeight(kInitialBandHeight), m_detailHeight(kInitialBandHeight) {}

double ListReport::bandWidth() const {
    return pageSize(0).width() - 2 * kMargin;
}

double ListReport::titleBandHeight() const {
    return hasTitleBand() ? std::round(m_titleFont.height() * 1.5) : 0;
}

double ListReport::footerBandHeight() const {
    return std::round(m_font.height() * 1.5);
}

void ListReport::addColumn(const Field& field) {
    if (field.isBlob() || unprintableName(field.fieldName())) return;
    ReportColumn c;
    c.field = field.index();
    c.label = field.displayName();
    c.left = m_columns.empty() ? kFirstLeft : m_columns.back().right() + kColumnGap;
    c.width = m_font.width(QString(displayWidth(field), QChar('X')));
    c.alignRight = isNumberKind(field.kind());
    if (c.right() > bandWidth() && m_orientation == QPageLayout::Portrait)
        m_orientation = QPageLayout::Landscape;
    if (c.right() > bandWidth()) return; // not printed; a later, narrower field may still fit
    m_columns.push_back(c);
}

void ListReport::fitBands() {
    if (m_columns.empty()) return;
    m_headerHeight = m_detailHeight = std::round(m_font.height() * 1.5);
}

void ListReport::prepare() {
    m_rows = 0;
    if (!m_dataSet || !m_dataSet->active()) return;
    m_dataSet->first();
    m_dataSet->last(); // reads every row that is not read yet
    m_rows = m_dataSet->rowCount();
}

double ListReport::contentHeight() const {
    return pageSize(0).height() - 2 * kMargin;
}

int ListReport::rowsOnFirstPage() const {
    const double room = contentHeight() - titleBandHeight() - m_headerHeight - footerBandHeight();
    return qMax(1, static_cast<int>(room / m_detailHeight));
}

int ListReport::rowsPerPage() const {
    const double room = contentHeight() - m_headerHeight - footerBandHeight();
    return qMax(1, static_cast<int>(room / m_detailHeight));
}

int ListReport::pageCount() const {
    const int first = rowsOnFirstPage();
    if (m_rows <= first) return 1;
    const int per = rowsPerPage();
    return 1 + (m_rows - first + per - 1) / per;
}

std::pair<int, int> ListReport::pageRows(int page) const {
    const int first = rowsOnFirstPage();
    if (page == 0) return {0, qMin(m_rows, first)};
    const int per = rowsPerPage();
    const int start = first + (page - 1) * per;
    return {start, qBound(0, m_rows - start, per)};
}

QPageLayout ListReport::pageLayout() const {
    return QPageLayout(m_paper, m_orientation, QMarginsF());
}

QSizeF ListReport::pageSize(int) const {
    return pageLayout().fullRectPoints().size();
}

void ListReport::paintPage(QPainter& painter, int page) const {
    // Everything below is in tenths of a point (see ReportFont).
    constexpr double t = ReportFont::kTenths;
    painter.save();
    const QSizeF paper = pageSize(page);
    painter.setClipRect(QRectF(QPointF(0, 0), paper), Qt::IntersectClip);
    painter.scale(1 / t, 1 / t);
    painter.setPen(QPen(Qt::black, kLineWidth * t));
    const double x0 = kMargin * t;
    const double width = bandWidth() * t;
    double y = kMargin * t;

    if (page == 0 && hasTitleBand()) {
        painter.setFont(m_titleFont.font());
        const double w = m_titleFont.width(m_titleBand) * t;
        const QRectF label(x0 + (width - w) / 2, y, w, titleBandHeight() * t);
        m_titleFont.draw(painter, label, m_titleBand, false);
        y += titleBandHeight() * t;
    }

    painter.setFont(m_font.font());
    const double labelHeight = m_font.height() * t;
    for (const ReportColumn& c : m_columns) {
        const QRectF label(x0 + c.left * t, y, c.width * t, labelHeight);
        m_font.draw(painter, label, c.label, false);
        painter.drawLine(QPointF(label.left(), label.bottom()), QPointF(label.right(), label.bottom()));
    }
    y += m_headerHeight * t;

    const auto [firstRow, rows] = pageRows(page);
    const DataSet* ds = m_dataSet.data();
    for (int r = firstRow; ds && r < firstRow + rows; ++r) {
        for (const ReportColumn& c : m_columns) {
            const QRectF cell(x0 + c.left * t, y, c.width * t, m_detailHeight * t);
            m_font.draw(painter, cell, oneLine(ds->text(r, c.field)), c.alignRight);
        }
        y += m_detailHeight * t;
    }

    const double footerHeight = footerBandHeight() * t;
    const QRectF footer(x0, (paper.height() - kMargin) * t - footerHeight, width, footerHeight);
    m_font.draw(painter, footer, footerText(page), true);
    painter.restore();
}

bool ListReport::savePdf(const QString& path, const PageDone& pageDone) const {
    return writeReportPdf(*this, path, pageDone);
}

std::unique_ptr<ListReport> BuildListReport(DataSet* dataSet, const QString& title,
                                            const QStringList& fieldNames, const QPageSize& paper) {
    auto report = std::make_unique<ListReport>(dataSet, paper);
    report->setTitleBandText(title);
    // A name that several columns share (a join) stands for each of them in turn.
    QHash<QString, int> seen;
    const int count = dataSet && dataSet->active() ? dataSet->fieldCount() : 0;
    for (const QString& name : fieldNames) {
        int skip = seen[name]++;
        for (int i = 0; i < count; ++i) {
            const Field* f = dataSet->field(i);
            if (f->fieldName() != name || skip-- > 0) continue;
            report->addColumn(*f);
            break;
        }
    }
    report->fitBands();
    return report;
}
