#include "shell/ui/morvex.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include <QPainter>
#include <QPushButton>

namespace {
const QRect kPicture(8, 8, 204, 191);
const int kFirstBaseline = 36;
const int kLineStep = 28;
} // namespace

QRect TMorvex::textArea() { return QRect(224, 8, 572 - 224 - 8, 6 * kLineStep + 16); }

QFont TMorvex::textFont() { return sansFont(16, true); }

TMorvex::TMorvex(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Morvex"));
    setWindowTitle(QStringLiteral("Morvex - Informática"));
    // Small title bar with no buttons: OK is the way out (Esc too).
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(572, 314);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFont(sansFont(11));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry((572 - 89) / 2, 314 - 25 - 14, 89, 25);
    OKButton->setDefault(true);
    OKButton->setCursor(Qt::PointingHandCursor);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList TMorvex::serviceLines() {
    return {
        QStringLiteral("Morvex - Informática"),
        QStringLiteral("Administração de Bancos de Dados"),
        QStringLiteral("Firebird e InterBase"),
        QStringLiteral("Tabelas, consultas e comandos SQL"),
        QStringLiteral("Planilhas e relatórios"),
        QStringLiteral("Sistemas sob medida e suporte"),
    };
}

void TMorvex::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(kPicture, mainPicture());
    p.setFont(textFont());
    const int left = textArea().left();
    const QStringList lines = serviceLines();
    for (int i = 0; i < lines.size(); ++i) {
        const int y = kFirstBaseline + i * kLineStep;
        // Red under black, one pixel apart: a shadowed line.
        p.setPen(QColor(200, 0, 0));
        p.drawText(left + 1, y + 1, lines[i]);
        p.setPen(Qt::black);
        p.drawText(left, y, lines[i]);
    }
}
