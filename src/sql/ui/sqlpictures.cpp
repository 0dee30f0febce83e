#include "sql/ui/sqlpictures.h"
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {
void sheet(QPainter& p, const QRectF& r) {
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

void pencil(QPainter& p, QPointF tip, qreal length, qreal angleDeg, QColor body) {
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

void gear(QPainter& p, QPointF c, qreal radius) {
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

void doubleArrow(QPainter& p, bool left) {
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(50, 110, 210));
    for (int k = 0; k < 2; ++k) {
        const qreal x0 = 5 + k * 11;
        QPolygonF tri = left ? QPolygonF{QPointF(x0, 16), QPointF(x0 + 11, 6), QPointF(x0 + 11, 26)}
                             : QPolygonF{QPointF(x0 + 11, 16), QPointF(x0, 6), QPointF(x0, 26)};
        p.drawPolygon(tri);
    }
}

void draw(QPainter& p, SqlPicture picture) {
    switch (picture) {
    case SqlPicture::WindowGear: {
        p.setPen(QPen(QColor(40, 40, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 3.5, 24, 20));
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(QRectF(2.5, 3.5, 24, 5));
        gear(p, QPointF(21, 21), 9.5);
        break;
    }
    case SqlPicture::SheetPencil:
        sheet(p, QRectF(4.5, 2.5, 19, 26));
        pencil(p, QPointF(13, 25), 22, -50, QColor(240, 200, 40));
        break;
    case SqlPicture::TickedSheetPen: {
        sheet(p, QRectF(3.5, 2.5, 19, 26));
        p.setPen(QPen(QColor(0, 150, 40), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{QPointF(7, 17), QPointF(11, 22), QPointF(19, 10)});
        pencil(p, QPointF(18, 28), 20, -60, QColor(30, 60, 160));
        break;
    }
    case SqlPicture::QuestionMark: {
        QFont f(QStringLiteral("Sans Serif"));
        f.setBold(true);
        f.setPixelSize(30);
        QPainterPath path;
        path.addText(0, 0, f, QStringLiteral("?"));
        const QRectF b = path.boundingRect();
        p.translate(16 - b.center().x(), 16 - b.center().y());
        p.setPen(QPen(QColor(0, 90, 0), 1));
        p.setBrush(QColor(20, 170, 40));
        p.drawPath(path);
        break;
    }
    case SqlPicture::ArrowsLeft:
        doubleArrow(p, true);
        break;
    case SqlPicture::ArrowsRight:
        doubleArrow(p, false);
        break;
    case SqlPicture::Floppy: {
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
        break;
    }
    case SqlPicture::SheetInTray: {
        sheet(p, QRectF(8.5, 1.5, 16, 20));
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
        break;
    }
    case SqlPicture::Spreadsheet: {
        const QRectF r(2.5, 4.5, 27, 23);
        p.setPen(QPen(QColor(30, 90, 40), 1));
        p.setBrush(Qt::white);
        p.drawRect(r);
        p.setBrush(QColor(30, 130, 60));
        p.drawRect(QRectF(r.left(), r.top(), r.width(), 5));
        p.setPen(QPen(QColor(120, 160, 120), 1));
        for (qreal x = r.left() + 9; x < r.right(); x += 9) p.drawLine(QPointF(x, r.top() + 5), QPointF(x, r.bottom()));
        for (qreal y = r.top() + 9.5; y < r.bottom(); y += 4.5) p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(6, 5.5), QPointF(10, 8.5));
        p.drawLine(QPointF(10, 5.5), QPointF(6, 8.5));
        break;
    }
    case SqlPicture::Printer: {
        sheet(p, QRectF(9.5, 2.5, 13, 12));
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
        break;
    }
    case SqlPicture::DoorArrow: {
        p.setPen(QPen(QColor(60, 40, 20), 1));
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(QRectF(11.5, 2.5, 17, 27)); // frame
        p.setBrush(QColor(170, 110, 50));
        p.drawPolygon(QPolygonF{QPointF(11.5, 2.5), QPointF(21.5, 5.5), QPointF(21.5, 29.5), QPointF(11.5, 29.5)});
        p.setBrush(QColor(240, 200, 60));
        p.drawEllipse(QPointF(19.5, 17), 1.2, 1.2);
        p.setPen(QPen(QColor(200, 20, 20), 1));
        p.setBrush(QColor(230, 40, 40));
        p.drawPolygon(QPolygonF{QPointF(1.5, 16), QPointF(8.5, 10), QPointF(8.5, 13.5), QPointF(15.5, 13.5),
                                QPointF(15.5, 18.5), QPointF(8.5, 18.5), QPointF(8.5, 22)});
        break;
    }
    }
}
} // namespace

QIcon sqlPicture(SqlPicture picture) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, picture);
    p.end();
    return QIcon(pm);
}
