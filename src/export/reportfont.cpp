#include "export/reportfont.h"
#include <QPainter>
#include <algorithm>

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
    const Fitted f = fit(text, box.width());
    const double w = m_metrics.horizontalAdvance(f.text) * f.stretch;
    const double x = alignRight ? box.right() - w : box.left();
    const double baseline = box.top() + (box.height() - m_metrics.height()) / 2 + m_metrics.ascent();
    if (f.stretch >= 1) {
        painter.drawText(QPointF(x, baseline), f.text);
        return;
    }
    // Narrowed by the painter, not clipped: the PDF's text then holds exactly what the page shows.
    painter.save();
    painter.translate(x, baseline);
    painter.scale(f.stretch, 1);
    painter.drawText(QPointF(0, 0), f.text);
    painter.restore();
}

ReportFont::Fitted ReportFont::fit(const QString& text, double width) const {
    const double w = m_metrics.horizontalAdvance(text);
    if (w <= width) return {text, 1};
    if (w * kNarrowest <= width) return {text, width / w};
    // Too long even narrowed: its first characters that fit, then the mark of the cut.
    const QString mark(QChar(0x2026));
    QString cut = text;
    while (!cut.isEmpty() && m_metrics.horizontalAdvance(cut + mark) * kNarrowest > width)
        cut.chop(cut.size() > 1 && cut.back().isLowSurrogate() ? 2 : 1);
    const QString shown = cut + mark;
    const double sw = m_metrics.horizontalAdvance(shown);
    return {shown, sw <= width ? 1 : std::max(kNarrowest, width / sw)};
}
