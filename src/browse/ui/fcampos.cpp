#include "browse/ui/fcampos.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

TFCampos::TFCampos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCampos"));
    setWindowTitle(QStringLiteral("Campos da Tabela"));
    // Tool-window border without title-bar buttons; Esc still cancels.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(247, 357);
    setFont(sansFont(11));

    Campos = new QListWidget(this);
    Campos->setObjectName(QStringLiteral("Campos"));
    Campos->setGeometry(0, 0, 247, 308);
    Campos->installEventFilter(this);

    Label1 = new QLabel(QStringLiteral("F1 - Marca todos  F2 - Desmarca todos"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setGeometry(2, 312, 247, Label1->sizeHint().height());
    Label1->hide();

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

void TFCampos::setFields(const QStringList& names, const QList<bool>& ticked) {
    Campos->clear();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names.at(i), Campos);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(i < ticked.size() && ticked.at(i) ? Qt::Checked : Qt::Unchecked);
    }
    if (Campos->count() > 0) Campos->setCurrentRow(0);
}

QList<bool> TFCampos::ticks() const {
    QList<bool> result;
    result.reserve(Campos->count());
    for (int i = 0; i < Campos->count(); ++i)
        result << (Campos->item(i)->checkState() == Qt::Checked);
    return result;
}

void TFCampos::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    centreOnScreen(this);
}

void TFCampos::CamposEnter() {
    Label1->show();
}

void TFCampos::CamposExit() {
    Label1->hide();
}

void TFCampos::tickAll(bool on) {
    for (int i = 0; i < Campos->count(); ++i)
        Campos->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool TFCampos::CamposKeyDown(int key) {
    if (key == Qt::Key_F1) {
        tickAll(true);
        return true;
    }
    if (key == Qt::Key_F2) {
        tickAll(false);
        return true;
    }
    return false; // the check list's own keys (Space toggles the selected item)
}

bool TFCampos::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Campos) {
        switch (e->type()) {
        case QEvent::FocusIn:
            CamposEnter();
            break;
        case QEvent::FocusOut:
            CamposExit();
            break;
        case QEvent::KeyPress:
            if (CamposKeyDown(static_cast<QKeyEvent*>(e)->key())) return true;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}
