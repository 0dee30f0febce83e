#include "platform/ui/icons.h"
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <map>

namespace {
// Every subject is drawn on a 32 x 32 grid; the painter is scaled to the size asked for.
using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(40, 40, 40);

QPen outlinePen(qreal width = 1.0) {
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A drive box in perspective, hanging on a network cable.
void drawNetworkDrive(QPainter& p) {
    // Network: a bus along the bottom with the drive's cable and connector.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 140));
    p.drawRect(QRectF(1, 25, 30, 3));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(14, 17, 3, 8));
    p.setPen(outlinePen(0.8));
    p.setBrush(QColor(90, 140, 220));
    p.drawRect(QRectF(11.5, 22.5, 8, 5));

    // Drive body: front, top and side faces.
    const QPolygonF top{{3, 9}, {8, 4}, {30, 4}, {26, 9}};
    const QPolygonF side{{26, 9}, {30, 4}, {30, 13}, {26, 18}};
    const QRectF front(3, 9, 23, 9);
    QLinearGradient g(0, 9, 0, 18);
    g.setColorAt(0, QColor(235, 235, 235));
    g.setColorAt(1, QColor(175, 175, 175));
    p.setPen(outlinePen());
    p.setBrush(QColor(245, 245, 245));
    p.drawPolygon(top);
    p.setBrush(QColor(140, 140, 140));
    p.drawPolygon(side);
    p.setBrush(g);
    p.drawRect(front);
    // Drive slot and the green light.
    p.setPen(QPen(QColor(70, 70, 70), 1.2));
    p.drawLine(QPointF(6, 13.5), QPointF(18, 13.5));
    p.setPen(outlinePen(0.6));
    p.setBrush(QColor(40, 200, 40));
    p.drawRect(QRectF(20.5, 12.5, 3, 2));
}

// A red cross with a white rim from corner to corner of `r`.
void drawRedCross(QPainter& p, const QRectF& r = QRectF(QPointF(15, 13), QPointF(29, 29))) {
    const QLineF a(r.topLeft(), r.bottomRight());
    const QLineF b(r.topRight(), r.bottomLeft());
    p.setPen(QPen(Qt::white, 6.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a);
    p.drawLine(b);
    p.setPen(QPen(QColor(140, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a);
    p.drawLine(b);
    p.setPen(QPen(QColor(230, 20, 20), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a);
    p.drawLine(b);
}

void drawNetworkDriveCross(QPainter& p) {
    drawNetworkDrive(p);
    drawRedCross(p);
}

void drawGreenCheck(QPainter& p, const QPolygonF& stroke) {
    p.setPen(QPen(QColor(0, 80, 0), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(stroke);
    p.setPen(QPen(QColor(40, 190, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(stroke);
}

void drawFolderCheck(QPainter& p) {
    // Back of the folder with its tab.
    const QPolygonF back{{2, 9}, {10, 9}, {12.5, 11.5}, {25, 11.5}, {25, 28}, {2, 28}};
    p.setPen(outlinePen());
    p.setBrush(QColor(205, 150, 30));
    p.drawPolygon(back);
    // A sheet sticking out of the folder.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 13, 17, 10));
    // Open front flap.
    const QPolygonF front{{6, 16}, {31, 16}, {26, 28}, {2, 28}};
    QLinearGradient g(0, 16, 0, 28);
    g.setColorAt(0, QColor(255, 225, 110));
    g.setColorAt(1, QColor(235, 180, 40));
    p.setBrush(g);
    p.drawPolygon(front);
    drawGreenCheck(p, QPolygonF{{13, 8}, {18, 13}, {29, 2.5}});
}

void drawPageBrush(QPainter& p) {
    // Page with a folded corner and lines of text.
    const QPolygonF page{{3, 2}, {17, 2}, {23, 8}, {23, 30}, {3, 30}};
    p.setPen(outlinePen());
    p.setBrush(Qt::white);
    p.drawPolygon(page);
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF{{17, 2}, {17, 8}, {23, 8}});
    p.setPen(QPen(QColor(90, 110, 170), 1.2));
    for (qreal y : {11.0, 14.5, 18.0, 21.5})
        p.drawLine(QPointF(6, y), QPointF(y < 12 ? 15 : 20, y));
    // A stroke of paint left by the brush.
    p.setPen(QPen(QColor(30, 90, 220), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 26), QPointF(13, 26));

    // The brush across the page: handle, ferrule and bristles.
    p.save();
    p.translate(19, 20);
    p.rotate(-45);
    p.setPen(outlinePen(0.8));
    QLinearGradient h(0, -1.6, 0, 1.6);
    h.setColorAt(0, QColor(220, 140, 60));
    h.setColorAt(1, QColor(140, 70, 20));
    p.setBrush(h);
    p.drawRoundedRect(QRectF(4, -1.6, 14, 3.2), 1.5, 1.5);
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(QRectF(0, -2.2, 4.5, 4.4));
    QPainterPath bristles;
    bristles.moveTo(0, -2.4);
    bristles.cubicTo(-4, -2.6, -7, -1, -9, 0);
    bristles.cubicTo(-7, 1, -4, 2.6, 0, 2.4);
    bristles.closeSubpath();
    p.setBrush(QColor(30, 90, 220));
    p.drawPath(bristles);
    p.restore();
}

void drawRunningFigure(QPainter& p) {
    // Speed lines behind the runner.
    p.setPen(QPen(QColor(150, 150, 150), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(1, 12), QPointF(6, 12));
    p.drawLine(QPointF(0, 16), QPointF(5, 16));
    p.drawLine(QPointF(2, 20), QPointF(6, 20));

    const QColor body(0, 110, 40);
    QPen limb(body, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(limb);
    p.setBrush(Qt::NoBrush);
    // Torso leaning forward.
    p.drawLine(QPointF(18.5, 9.5), QPointF(14.5, 18));
    // Arms: one forward, one back.
    p.drawPolyline(QPolygonF{{17.5, 11}, {22, 15}, {26, 13}});
    p.drawPolyline(QPolygonF{{17.5, 11}, {12.5, 11.5}, {9.5, 15.5}});
    // Legs: front leg bent forward, back leg kicked up.
    p.drawPolyline(QPolygonF{{14.5, 18}, {20, 22}, {18.5, 29}, {21, 29.5}});
    p.drawPolyline(QPolygonF{{14.5, 18}, {10.5, 23}, {5, 22}});
    // Head.
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(QPointF(21.5, 5), 3.3, 3.3);
}

enum class ToolGlyph {
    Commit,
    Rollback,
    Columns,
    Sheet,
    Form,
    Open,
    New,
    Post,
    Cancel,
    Edit,
    Delete,
    Order,
    Filter,
    Search,
    Exit,
    Back
};

void glyphSheet(QPainter& p, const QRectF& r) {
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

// The tool pictures of the browse, table-list, properties and memo windows, drawn on a 24 x 24 grid.
void drawToolGlyph(QPainter& p, ToolGlyph g) {
    p.scale(32.0 / 24.0, 32.0 / 24.0);
    const QColor green(40, 140, 60), red(200, 40, 40), blue(40, 90, 170), dark(60, 60, 60);
    switch (g) {
    case ToolGlyph::Commit:
        p.setPen(QPen(dark, 1.2));
        p.setBrush(QColor(70, 110, 190));
        p.drawRoundedRect(QRectF(2.5, 2.5, 17, 17), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 10, 6));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(6, 13, 10, 6.5));
        check(p, QPointF(12, 12), 10, green);
        break;
    case ToolGlyph::Rollback: {
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
    case ToolGlyph::Columns:
        for (int i = 0; i < 3; ++i) {
            glyphSheet(p, QRectF(2.5 + i * 6.5, 3.5, 5.5, 17));
            p.fillRect(QRectF(3 + i * 6.5, 4, 4.5, 3), QColor(183, 255, 183));
        }
        check(p, QPointF(10, 11), 11, green);
        break;
    case ToolGlyph::Sheet:
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
    case ToolGlyph::Form:
        glyphSheet(p, QRectF(3.5, 2.5, 17, 19));
        p.setPen(QPen(dark, 1));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(6, 6.5 + i * 4), QPointF(10, 6.5 + i * 4));
            p.setBrush(QColor(220, 230, 250));
            p.drawRect(QRectF(11, 4.5 + i * 4, 7, 3.5));
        }
        break;
    case ToolGlyph::Open:
        p.setPen(QPen(QColor(150, 110, 20), 1.2));
        p.setBrush(QColor(235, 190, 70));
        p.drawRect(QRectF(2.5, 6.5, 17, 13));
        p.drawRect(QRectF(2.5, 4.5, 7, 2));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(QPolygonF{QPointF(5, 10), QPointF(22, 10), QPointF(19.5, 19.5), QPointF(2.5, 19.5)});
        break;
    case ToolGlyph::New:
        glyphSheet(p, QRectF(3.5, 2.5, 14, 18));
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 12), QPointF(17, 22));
        p.drawLine(QPointF(12, 17), QPointF(22, 17));
        break;
    case ToolGlyph::Post:
        check(p, QPointF(4, 5), 16, green);
        break;
    case ToolGlyph::Cancel:
        cross(p, QRectF(6, 6, 12, 12), red);
        break;
    case ToolGlyph::Edit: {
        p.save();
        p.translate(12, 12);
        p.rotate(45);
        p.setPen(QPen(dark, 1));
        p.setBrush(QColor(240, 190, 60));
        p.drawRect(QRectF(-3, -10, 6, 14));
        p.setBrush(QColor(230, 140, 140));
        p.drawRect(QRectF(-3, -12, 6, 2.5));
        p.setBrush(QColor(240, 220, 180));
        p.drawPolygon(QPolygonF{QPointF(-3, 4), QPointF(3, 4), QPointF(0, 10)});
        p.restore();
        break;
    }
    case ToolGlyph::Delete:
        glyphSheet(p, QRectF(3.5, 2.5, 14, 18));
        p.setPen(QPen(red, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 17), QPointF(22, 17));
        break;
    case ToolGlyph::Order: {
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
    case ToolGlyph::Filter:
        p.setPen(QPen(dark, 1.2));
        p.setBrush(QColor(90, 150, 220));
        p.drawPolygon(QPolygonF{QPointF(3, 4), QPointF(21, 4), QPointF(14, 12), QPointF(14, 20),
                                QPointF(10, 22), QPointF(10, 12)});
        break;
    case ToolGlyph::Search:
        p.setPen(QPen(dark, 2.5));
        p.setBrush(QColor(220, 235, 250));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(dark, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
        break;
    case ToolGlyph::Exit:
        p.setPen(QPen(QColor(110, 70, 30), 1.2));
        p.setBrush(QColor(170, 110, 50));
        p.drawRect(QRectF(3.5, 2.5, 11, 19));
        p.setBrush(QColor(240, 200, 60));
        p.drawEllipse(QRectF(11, 11, 2, 2));
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(19, 12));
        arrowHead(p, QPointF(22.5, 12), QPointF(1, 0), red);
        break;
    case ToolGlyph::Back:
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 12), QPointF(21, 12));
        arrowHead(p, QPointF(2, 12), QPointF(-1, 0), green);
        break;
    }
}

// The SQL command window's tool bar.
void drawSheet(QPainter& p, const QRectF& r) {
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(210, 210, 210));
    p.drawPath(corner);
    p.setPen(QPen(QColor(150, 170, 200), 1));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void drawPencil(QPainter& p, QPointF tip, qreal length, qreal angleDeg, QColor body) {
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    const qreal w = 4;
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(6, -w / 2);
    point.lineTo(6, w / 2);
    point.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(235, 200, 150));
    p.drawPath(point);
    p.setBrush(QColor(40, 40, 40));
    p.drawPolygon(QPolygonF{QPointF(0, 0), QPointF(2, -0.8), QPointF(2, 0.8)});
    p.setBrush(body);
    p.drawRect(QRectF(6, -w / 2, length - 9, w));
    p.setBrush(QColor(230, 120, 140));
    p.drawRect(QRectF(length - 3, -w / 2, 3, w));
    p.restore();
}

void drawGear(QPainter& p, QPointF c, qreal radius) {
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i * M_PI) / teeth;
        const qreal a1 = ((i + 1) * M_PI) / teeth;
        const qreal r = (i % 2 == 0) ? radius : radius * 0.72;
        const QPointF from(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF to(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            path.moveTo(from);
        else
            path.lineTo(from);
        path.lineTo(to);
    }
    path.closeSubpath();
    path.addEllipse(c, radius * 0.3, radius * 0.3);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(QColor(160, 160, 170));
    p.drawPath(path);
}

void drawDoubleArrow(QPainter& p, bool left) {
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(50, 110, 210));
    for (int k = 0; k < 2; ++k) {
        const qreal x0 = 5 + k * 11;
        QPolygonF tri = left ? QPolygonF{QPointF(x0, 16), QPointF(x0 + 11, 6), QPointF(x0 + 11, 26)}
                             : QPolygonF{QPointF(x0 + 11, 16), QPointF(x0, 6), QPointF(x0, 26)};
        p.drawPolygon(tri);
    }
}

void drawWindowGear(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 24, 20));
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(QRectF(2.5, 3.5, 24, 5));
    drawGear(p, QPointF(21, 21), 9.5);
}

void drawSheetPencil(QPainter& p) {
    drawSheet(p, QRectF(4.5, 2.5, 19, 26));
    drawPencil(p, QPointF(13, 25), 22, -50, QColor(240, 200, 40));
}

void drawTickedSheetPen(QPainter& p) {
    drawSheet(p, QRectF(3.5, 2.5, 19, 26));
    p.setPen(QPen(QColor(0, 150, 40), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(7, 17), QPointF(11, 22), QPointF(19, 10)});
    drawPencil(p, QPointF(18, 28), 20, -60, QColor(30, 60, 160));
}

void drawGreenQuestionMark(QPainter& p) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    f.setPixelSize(30);
    QPainterPath path;
    path.addText(0, 0, f, QStringLiteral("?"));
    const QRectF b = path.boundingRect();
    p.save();
    p.translate(16 - b.center().x(), 16 - b.center().y());
    p.setPen(QPen(QColor(0, 90, 0), 1));
    p.setBrush(QColor(20, 170, 40));
    p.drawPath(path);
    p.restore();
}

void drawDoubleArrowLeft(QPainter& p) {
    drawDoubleArrow(p, true);
}

void drawDoubleArrowRight(QPainter& p) {
    drawDoubleArrow(p, false);
}

void drawFloppyDisk(QPainter& p) {
    p.setPen(QPen(QColor(20, 20, 60), 1));
    p.setBrush(QColor(40, 60, 150));
    QPainterPath body;
    body.moveTo(3.5, 3.5);
    body.lineTo(25.5, 3.5);
    body.lineTo(28.5, 6.5);
    body.lineTo(28.5, 28.5);
    body.lineTo(3.5, 28.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(8.5, 3.5, 15, 9)); // shutter
    p.setBrush(QColor(40, 60, 150));
    p.drawRect(QRectF(18.5, 5, 3, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 16.5, 17, 12)); // label
    p.setPen(QPen(QColor(180, 60, 60), 1));
    p.drawLine(QPointF(9, 20), QPointF(23, 20));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(9, 23.5), QPointF(23, 23.5));
}

void drawSheetInTray(QPainter& p) {
    drawSheet(p, QRectF(8.5, 1.5, 16, 20));
    p.setPen(QPen(QColor(90, 60, 20), 1));
    p.setBrush(QColor(200, 150, 70));
    QPainterPath tray;
    tray.moveTo(2.5, 16.5);
    tray.lineTo(8.5, 16.5);
    tray.lineTo(10.5, 20.5);
    tray.lineTo(21.5, 20.5);
    tray.lineTo(23.5, 16.5);
    tray.lineTo(29.5, 16.5);
    tray.lineTo(29.5, 28.5);
    tray.lineTo(2.5, 28.5);
    tray.closeSubpath();
    p.drawPath(tray);
}

void drawPrinter(QPainter& p) {
    drawSheet(p, QRectF(9.5, 2.5, 13, 12));
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(QColor(180, 180, 185));
    p.drawRoundedRect(QRectF(2.5, 12.5, 27, 12), 2, 2);
    p.setBrush(QColor(120, 120, 125));
    p.drawRect(QRectF(6.5, 22.5, 19, 4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 24.5, 15, 5));
    p.setBrush(QColor(40, 200, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
}

// The record form's buttons.
void drawSheetSparkle(QPainter& p) {
    drawSheet(p, QRectF(4.5, 5.5, 18, 24));
    // A four-pointed sparkle over the sheet's corner.
    const QPointF c(24, 8);
    QPainterPath star;
    star.moveTo(c + QPointF(0, -7));
    star.quadTo(c, c + QPointF(7, 0));
    star.quadTo(c, c + QPointF(0, 7));
    star.quadTo(c, c + QPointF(-7, 0));
    star.quadTo(c, c + QPointF(0, -7));
    p.setPen(QPen(QColor(170, 120, 0), 0.8));
    p.setBrush(QColor(255, 215, 40));
    p.drawPath(star);
}

void drawBoxedTick(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 6.5, 20, 20));
    drawGreenCheck(p, QPolygonF{{9, 16}, {14, 22}, {28, 5}});
}

void drawAbCursor(QPainter& p) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    f.setPixelSize(17);
    p.setFont(f);
    p.setPen(QColor(20, 40, 120));
    p.drawText(QRectF(0, 4, 23, 24), Qt::AlignCenter, QStringLiteral("ab"));
    // The text cursor: an I-beam after the letters.
    p.setPen(QPen(QColor(30, 30, 30), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(26, 6), QPointF(26, 27));
    p.drawLine(QPointF(23, 6), QPointF(29, 6));
    p.drawLine(QPointF(23, 27), QPointF(29, 27));
}

void drawCrossedSheet(QPainter& p) {
    drawSheet(p, QRectF(5.5, 2.5, 19, 26));
    drawRedCross(p, QRectF(QPointF(8, 7), QPointF(24, 26)));
}

void drawArrow(QPainter& p, bool up) {
    // A broad arrow: a head over a shaft, pointing up (mirrored for down).
    QPolygonF arrow{{16, 2}, {30, 17}, {21, 17}, {21, 30}, {11, 30}, {11, 17}, {2, 17}};
    if (!up)
        for (QPointF& pt : arrow)
            pt.setY(32 - pt.y());
    p.setPen(QPen(QColor(20, 20, 20), 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(20, 20, 20));
    p.drawPolygon(arrow);
}

const std::map<QString, Drawing>& drawings() {
    static const std::map<QString, Drawing> all{
        {QStringLiteral("network-drive"), drawNetworkDrive},
        {QStringLiteral("network-drive-cross"), drawNetworkDriveCross},
        {QStringLiteral("folder-check"), drawFolderCheck},
        {QStringLiteral("page-brush"), drawPageBrush},
        {QStringLiteral("running-figure"), drawRunningFigure},
        {QStringLiteral("disk-check"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Commit); }},
        {QStringLiteral("undo-arrow"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Rollback); }},
        {QStringLiteral("columns-check"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Columns); }},
        {QStringLiteral("spreadsheet"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Sheet); }},
        {QStringLiteral("form"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Form); }},
        {QStringLiteral("folder-open"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Open); }},
        {QStringLiteral("page-plus"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::New); }},
        {QStringLiteral("check"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Post); }},
        {QStringLiteral("cross"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Cancel); }},
        {QStringLiteral("pencil"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Edit); }},
        {QStringLiteral("page-minus"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Delete); }},
        {QStringLiteral("sort-az"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Order); }},
        {QStringLiteral("funnel"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Filter); }},
        {QStringLiteral("magnifier"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Search); }},
        {QStringLiteral("door-arrow"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Exit); }},
        {QStringLiteral("arrow-left"), [](QPainter& p) { drawToolGlyph(p, ToolGlyph::Back); }},
        {QStringLiteral("window-gear"), drawWindowGear},
        {QStringLiteral("sheet-pencil"), drawSheetPencil},
        {QStringLiteral("ticked-sheet-pen"), drawTickedSheetPen},
        {QStringLiteral("green-question-mark"), drawGreenQuestionMark},
        {QStringLiteral("double-arrow-left"), drawDoubleArrowLeft},
        {QStringLiteral("double-arrow-right"), drawDoubleArrowRight},
        {QStringLiteral("floppy-disk"), drawFloppyDisk},
        {QStringLiteral("sheet-in-tray"), drawSheetInTray},
        {QStringLiteral("printer"), drawPrinter},
        {QStringLiteral("sheet-sparkle"), drawSheetSparkle},
        {QStringLiteral("boxed-tick"), drawBoxedTick},
        {QStringLiteral("ab-cursor"), drawAbCursor},
        {QStringLiteral("crossed-sheet"), drawCrossedSheet},
        {QStringLiteral("arrow-up"), [](QPainter& p) { drawArrow(p, true); }},
        {QStringLiteral("arrow-down"), [](QPainter& p) { drawArrow(p, false); }},
    };
    return all;
}

QPixmap render(const Drawing& draw, int size, qreal dpr) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pm;
}
} // namespace

QStringList iconSubjects() {
    QStringList names;
    for (const auto& [name, draw] : drawings())
        names.append(name);
    return names;
}

QPixmap subjectPixmap(const QString& subject, int size) {
    const auto it = drawings().find(subject);
    if (it == drawings().end()) return {};
    return render(it->second, size, 1.0);
}

QIcon subjectIcon(const QString& subject) {
    const auto it = drawings().find(subject);
    if (it == drawings().end()) return {};
    QIcon icon;
    for (int size : {16, 24, 32})
        for (qreal dpr : {1.0, 2.0})
            icon.addPixmap(render(it->second, size, dpr));
    return icon;
}

QPixmap mainPicture() {
    const int w = 204, h = 191;
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // A database drum of three discs.
    const qreal cx = 102, rx = 62, ry = 17;
    const qreal top = 78, bottom = 172;
    QLinearGradient side(cx - rx, 0, cx + rx, 0);
    side.setColorAt(0, QColor(20, 50, 110));
    side.setColorAt(0.35, QColor(70, 130, 210));
    side.setColorAt(1, QColor(15, 40, 95));
    p.setPen(QPen(QColor(10, 30, 70), 2));
    QPainterPath drum;
    drum.moveTo(cx - rx, top);
    drum.lineTo(cx - rx, bottom);
    drum.arcTo(QRectF(cx - rx, bottom - ry, 2 * rx, 2 * ry), 180, 180);
    drum.lineTo(cx + rx, top);
    drum.closeSubpath();
    p.setBrush(side);
    p.drawPath(drum);
    // Rims between the discs.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(170, 210, 255), 2));
    for (qreal y : {top + 31, top + 62})
        p.drawArc(QRectF(cx - rx, y - ry, 2 * rx, 2 * ry), 180 * 16, 180 * 16);
    // Top face.
    QRadialGradient face(cx - 15, top - 5, rx);
    face.setColorAt(0, QColor(190, 220, 255));
    face.setColorAt(1, QColor(80, 140, 215));
    p.setPen(QPen(QColor(10, 30, 70), 2));
    p.setBrush(face);
    p.drawEllipse(QPointF(cx, top), rx, ry);

    // A flame rising from the drum.
    auto flame = [&](qreal scale, const QColor& outer, const QColor& inner) {
        QPainterPath f;
        const qreal base = top - 4;
        f.moveTo(cx - 34 * scale, base);
        f.cubicTo(cx - 52 * scale, base - 30 * scale, cx - 18 * scale, base - 42 * scale, cx - 14 * scale,
                  base - 74 * scale);
        f.cubicTo(cx - 2 * scale, base - 52 * scale, cx + 8 * scale, base - 50 * scale, cx + 10 * scale,
                  base - 70 * scale);
        f.cubicTo(cx + 30 * scale, base - 46 * scale, cx + 50 * scale, base - 28 * scale, cx + 34 * scale,
                  base);
        f.cubicTo(cx + 12 * scale, base + 8 * scale, cx - 12 * scale, base + 8 * scale, cx - 34 * scale,
                  base);
        QLinearGradient g(0, base - 74 * scale, 0, base);
        g.setColorAt(0, inner);
        g.setColorAt(1, outer);
        p.setBrush(g);
        p.drawPath(f);
    };
    p.setPen(QPen(QColor(150, 30, 0), 1.5));
    flame(1.0, QColor(220, 40, 0), QColor(255, 140, 0));
    p.setPen(Qt::NoPen);
    flame(0.62, QColor(255, 150, 0), QColor(255, 235, 90));
    return pm;
}

QIcon applicationIcon() {
    // Square, the picture centred in it.
    const QPixmap picture = mainPicture();
    const int side = qMax(picture.width(), picture.height());
    QPixmap square(side, side);
    square.fill(Qt::transparent);
    {
        QPainter p(&square);
        p.drawPixmap((side - picture.width()) / 2, (side - picture.height()) / 2, picture);
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(square.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

void initResources() {
    static bool done = false;
    if (done) return;
    done = true;
    Q_INIT_RESOURCE(resources);
}
