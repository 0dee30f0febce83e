#include "export/reportfont.h"
#include <QPainter>

namespace {
QFont arial(double points, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(qRound(points * ReportFont::kTenths));
    f.setBold(bold);
    return f;
}
} // namespace

ReportFont::ReportFont(double points, bool bold) : m_font(arial(points, bold)), m_metrics(m_font) {}

double ReportFont::width(const QString& text) const {
    return m_metrics.horizontalAdvance(text) / kTenths;
}

double ReportFont::height() const {
    return m_metrics.height() / kTenths;
}

void ReportFont::draw(QPainter& painter, const QRectF& box, const QString& text, bool alignRight) const {
    if (text.isEmpty()) return;
    const double w = m_metrics.horizontalAdvance(text);
    const double x = alignRight ? box.right() - w : box.left();
    const double baseline = box.top() + (box.height() - m_metrics.height()) / 2 + m_metrics.ascent();
    if (w <= box.width()) {
        painter.drawText(QPointF(x, baseline), text);
        return;
    }
    // Too long for its cell: cut at the cell's edges, as a fixed-width label shows it.
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.drawText(QPointF(x, baseline), text);
    painter.restore();
}
