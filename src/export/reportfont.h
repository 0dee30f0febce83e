#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

class QPainter;

// One font of a printed report, measured in points whatever the device. Qt places the glyphs of
// small pixel sizes on a coarse grid, so the font is measured and drawn at ten times its size in a
// painter whose units are tenths of a point (kTenths), which keeps widths the same on the screen,
// the printer and PDF. "Arial" is found through fontconfig (Liberation Sans has its metrics).
class ReportFont {
public:
    static constexpr double kTenths = 10.0;

    explicit ReportFont(double points, bool bold = false);

    const QFont& font() const { return m_font; }
    // In points.
    double width(const QString& text) const;
    double height() const;

    // Draws the text on one line inside the box (tenths of a point; the painter's font already
    // set to font()), vertically centred, at the left or the right edge. A text wider than the
    // box is drawn narrower to fit it, down to kNarrowest of its width; one still wider shows its
    // first characters that fit and "…" after them. Nothing is drawn beyond the box, and nothing
    // is clipped: a PDF's text is what its page shows.
    void draw(QPainter& painter, const QRectF& box, const QString& text, bool alignRight) const;

    static constexpr double kNarrowest = 0.6;

private:
    struct Fitted {
        QString text;
        double stretch = 1; // horizontal scale
    };
    Fitted fit(const QString& text, double width) const;

    QFont m_font;
    QFontMetricsF m_metrics;
};
