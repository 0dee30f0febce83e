#include "browse/ui/glyphs.h"
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr int Size = 24;

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void check(QPainter& p, QPointF at, double s, const QColor& c) {
    QPainterPath path;
    path.moveTo(at + QPointF(0, s * 0.5));
    path.lineTo(at + QPointF(s * 0.35, s * 0.85));
    path.lineTo(at + QPointF(s, 0));
    p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void cross(QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir, const QColor& c) {
    const QPointF n(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * 5 + n * 4 << tip - dir * 5 - n * 4;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
}

void draw(QPainter& p, Glyph g) {
    const QColor green(40, 140, 60), red(200, 40, 40), blue(40, 90, 170), dark(60, 60, 60);
    switch (g) {
    case Glyph::Commit:
        p.setPen(QPen(dark, 1.2));
        p.setBrush(QColor(70, 110, 190));
        p.drawRoundedRect(QRectF(2.5, 2.5, 17, 17), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 10, 6));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(6, 13, 10, 6.5));
        check(p, QPointF(12, 12), 10, green);
        break;
    case Glyph::Rollback: {
        QPainterPath arc;
        arc.moveTo(6, 9);
        arc.cubicTo(QPointF(12, 3), QPointF(21, 6), QPointF(20, 13));
        arc.cubicTo(QPointF(19, 19), QPointF(12, 21), QPointF(8, 18));
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        arrowHead(p, QPointF(3, 11), QPointF(-0.6, 0.8), red);
        break;
    }
    case Glyph::Columns:
        for (int i = 0; i < 3; ++i) {
            sheet(p, QRectF(2.5 + i * 6.5, 3.5, 5.5, 17));
            p.fillRect(QRectF(3 + i * 6.5, 4, 4.5, 3), QColor(183, 255, 183));
        }
        check(p, QPointF(10, 11), 11, green);
        break;
    case Glyph::Sheet:
        p.setPen(QPen(green.darker(), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 19, 19));
        for (int i = 1; i < 4; ++i) {
            p.drawLine(QPointF(2.5 + i * 4.75, 2.5), QPointF(2.5 + i * 4.75, 21.5));
            p.drawLine(QPointF(2.5, 2.5 + i * 4.75), QPointF(21.5, 2.5 + i * 4.75));
        }
        p.fillRect(QRectF(3, 3, 9, 9), green);
        cross(p, QRectF(5, 5, 5, 5), Qt::white);
        break;
    case Glyph::Form:
        sheet(p, QRectF(3.5, 2.5, 17, 19));
        p.setPen(QPen(dark, 1));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(6, 6.5 + i * 4), QPointF(10, 6.5 + i * 4));
            p.setBrush(QColor(220, 230, 250));
            p.drawRect(QRectF(11, 4.5 + i * 4, 7, 3.5));
        }
        break;
    case Glyph::Open:
        p.setPen(QPen(QColor(150, 110, 20), 1.2));
        p.setBrush(QColor(235, 190, 70));
        p.drawRect(QRectF(2.5, 6.5, 17, 13));
        p.drawRect(QRectF(2.5, 4.5, 7, 2));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(QPolygonF{QPointF(5, 10), QPointF(22, 10), QPointF(19.5, 19.5), QPointF(2.5, 19.5)});
        break;
    case Glyph::New:
        sheet(p, QRectF(3.5, 2.5, 14, 18));
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 12), QPointF(17, 22));
        p.drawLine(QPointF(12, 17), QPointF(22, 17));
        break;
    case Glyph::Post:
        check(p, QPointF(4, 5), 16, green);
        break;
    case Glyph::Cancel:
        cross(p, QRectF(6, 6, 12, 12), red);
        break;
    case Glyph::Edit: {
        p.translate(12, 12);
        p.rotate(45);
        p.setPen(QPen(dark, 1));
        p.setBrush(QColor(240, 190, 60));
        p.drawRect(QRectF(-3, -10, 6, 14));
        p.setBrush(QColor(230, 140, 140));
        p.drawRect(QRectF(-3, -12, 6, 2.5));
        p.setBrush(QColor(240, 220, 180));
        p.drawPolygon(QPolygonF{QPointF(-3, 4), QPointF(3, 4), QPointF(0, 10)});
        p.resetTransform();
        break;
    }
    case Glyph::Delete:
        sheet(p, QRectF(3.5, 2.5, 14, 18));
        p.setPen(QPen(red, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 17), QPointF(22, 17));
        break;
    case Glyph::Order: {
        p.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(6, 20));
        arrowHead(p, QPointF(6, 22), QPointF(0, 1), blue);
        QFont f = p.font();
        f.setPixelSize(9);
        f.setBold(true);
        p.setFont(f);
        p.setPen(dark);
        p.drawText(QRectF(10, 1, 13, 11), Qt::AlignCenter, QStringLiteral("A"));
        p.drawText(QRectF(10, 12, 13, 11), Qt::AlignCenter, QStringLiteral("Z"));
        break;
    }
    case Glyph::Filter:
        p.setPen(QPen(dark, 1.2));
        p.setBrush(QColor(90, 150, 220));
        p.drawPolygon(QPolygonF{QPointF(3, 4), QPointF(21, 4), QPointF(14, 12), QPointF(14, 20),
                                QPointF(10, 22), QPointF(10, 12)});
        break;
    case Glyph::Search:
        p.setPen(QPen(dark, 2.5));
        p.setBrush(QColor(220, 235, 250));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(dark, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
        break;
    case Glyph::Exit:
        p.setPen(QPen(QColor(110, 70, 30), 1.2));
        p.setBrush(QColor(170, 110, 50));
        p.drawRect(QRectF(3.5, 2.5, 11, 19));
        p.setBrush(QColor(240, 200, 60));
        p.drawEllipse(QRectF(11, 11, 2, 2));
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(19, 12));
        arrowHead(p, QPointF(22.5, 12), QPointF(1, 0), red);
        break;
    case Glyph::Back:
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 12), QPointF(21, 12));
        arrowHead(p, QPointF(2, 12), QPointF(-1, 0), green);
        break;
    }
}
} // namespace

QIcon glyph(Glyph g) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(Size * scale, Size * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, g);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
