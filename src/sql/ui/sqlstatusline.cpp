#include "sql/ui/sqlstatusline.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
QToolButton* textButton(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}
} // namespace

SqlStatusLine::SqlStatusLine(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusSql"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 4, 1);
    layout->setSpacing(6);
    bscript = textButton(this, "bscript", QStringLiteral("Executar script"),
                         QStringLiteral("Executa os comandos do texto, um após o outro (Ctrl+Shift+Enter)"));
    bcancelar = textButton(this, "bcancelar", QStringLiteral("Cancelar"),
                           QStringLiteral("Interrompe o comando em execução"));
    bplano = textButton(this, "bplano", QStringLiteral("Plano"),
                        QStringLiteral("Mostra o plano de acesso do comando"));
    lStatus = new QLabel(this);
    lStatus->setObjectName(QStringLiteral("lStatus"));
    lLinhas = new QLabel(this);
    lLinhas->setObjectName(QStringLiteral("lLinhas"));
    for (QLabel* l : {lStatus, lLinhas})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(bscript);
    layout->addWidget(bcancelar);
    layout->addWidget(bplano);
    layout->addSpacing(8);
    layout->addWidget(lStatus);
    layout->addSpacing(8);
    layout->addWidget(lLinhas);
    layout->addStretch(1);
    setRunning(false);
}

void SqlStatusLine::setRunning(bool on) {
    bscript->setEnabled(!on);
    bplano->setEnabled(!on);
    bcancelar->setEnabled(on);
}
