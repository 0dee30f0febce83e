#include "browse/ui/fcampos.h"
#include "platform/ui/checklist.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TFCampos::TFCampos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCampos"));
    setWindowTitle(QStringLiteral("Campos da Tabela"));
    // Tool-window border without title-bar buttons; Esc still cancels.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(247, 357);
    setFont(sansFont(11));

    Campos = new TickList(this);
    Campos->setObjectName(QStringLiteral("Campos"));
    Campos->setGeometry(0, 0, 247, 308);

    Label1 = new QLabel(QStringLiteral("F1 - Marca todos  F2 - Desmarca todos"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setGeometry(2, 312, 247, Label1->sizeHint().height());
    Label1->hide();
    Campos->onEnter = [this] { CamposEnter(); };
    Campos->onExit = [this] { CamposExit(); };
    Campos->onKeyDown = [this](int key) { return CamposKeyDown(key); };

    BitBtn1 = new QPushButton(QStringLiteral("Cancela"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setGeometry(41, 332, 75, 25);
    BitBtn1->setAutoDefault(false);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setCursor(Qt::PointingHandCursor);
    BitBtn2->setGeometry(129, 332, 75, 25);
    BitBtn2->setDefault(true);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

TFCampos::~TFCampos() {
    Campos->dropHandlers();
}

void TFCampos::CamposEnter() {
    Label1->show();
}

void TFCampos::CamposExit() {
    Label1->hide();
}

bool TFCampos::CamposKeyDown(int key) {
    return Campos->tickAllByKey(key);
}

void TFCampos::setFields(const QStringList& names, const QList<bool>& ticked) {
    Campos->setItems(names, ticked);
    if (Campos->count() > 0) Campos->setCurrentRow(0);
}

QList<bool> TFCampos::ticks() const {
    return Campos->ticks();
}

void TFCampos::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    centreOnScreen(this);
}
