#include "browse/ui/fordem.h"
#include "browse/filtertext.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include "platform/wincolor.h"
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

namespace {
QStringList namesOf(const QListWidget* list) {
    QStringList names;
    names.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// The selected name of `from` goes to the end of `to`, not back to a former place; `from` then
// selects the name that took its place.
void moveSelected(QListWidget* from, QListWidget* to) {
    const QList<QListWidgetItem*> selected = from->selectedItems();
    if (selected.isEmpty()) return;
    const int index = from->row(selected.first());
    to->addItem(from->takeItem(index));
    const int next = selectionAfterMove(index, from->count());
    if (next < 0) {
        from->setCurrentRow(-1);
        from->clearSelection();
    } else {
        from->setCurrentRow(next);
    }
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph,
                        int left) {
    auto* b = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCursor(Qt::PointingHandCursor);
    b->setFont(arialFont(13));
    b->setGeometry(left, 300, 88, 45);
    return b;
}
} // namespace

TFOrdem::TFOrdem(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FOrdem"));
    setWindowTitle(QStringLiteral("FOrdem"));
    // Tool-window border without title-bar buttons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(402, 348);
    setFont(sansFont(13));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(11450265));
    setPalette(pal);

    Label1 = new QLabel(QStringLiteral("&Campos"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 4);
    Label1->adjustSize();
    Label2 = new QLabel(QStringLiteral("&Ordem"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(220, 4);
    Label2->adjustSize();

    OSCampo = new QListWidget(this);
    OSCampo->setObjectName(QStringLiteral("OSCampo"));
    OSCampo->setGeometry(4, 22, 173, 259);
    OSCampo->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(OSCampo);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setArrowType(Qt::RightArrow);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setCursor(Qt::PointingHandCursor);
    SpeedButton1->setFocusPolicy(Qt::NoFocus); // flat speed buttons take no focus
    SpeedButton1->setGeometry(187, 56, 23, 22);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setArrowType(Qt::LeftArrow);
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    SpeedButton2->setGeometry(187, 81, 23, 22);

    OsOrdem = new QListWidget(this);
    OsOrdem->setObjectName(QStringLiteral("OsOrdem"));
    OsOrdem->setGeometry(220, 22, 173, 259);
    OsOrdem->setSelectionMode(QAbstractItemView::SingleSelection);
    Label2->setBuddy(OsOrdem);

    Tipo = new QGroupBox(QStringLiteral("  &Tipo  "), this);
    Tipo->setObjectName(QStringLiteral("Tipo"));
    Tipo->setGeometry(1, 296, 212, 41);
    Crescente = new QRadioButton(QStringLiteral("Crescente"), Tipo);
    Decrescente = new QRadioButton(QStringLiteral("Decrescente"), Tipo);
    auto* columns = new QHBoxLayout(Tipo);
    // Two equal columns, as a radio group lays out its items.
    columns->setContentsMargins(6, 0, 2, 2);
    columns->setSpacing(0);
    columns->addWidget(Crescente, 1);
    columns->addWidget(Decrescente, 1);
    Crescente->setChecked(true);

    Btn_Exe = makeButton(this, "Btn_Exe", QStringLiteral("&Executa"), QStyle::SP_DialogApplyButton, 221);
    Btn_sai = makeButton(this, "Btn_sai", QStringLiteral("&Saída"), QStyle::SP_DialogCloseButton, 311);

    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, guarded([this] { SpeedButton2Click(); }));
    connect(Btn_Exe, &QPushButton::clicked, this, guarded([this] { Btn_ExeClick(); }));
    connect(Btn_sai, &QPushButton::clicked, this, guarded([this] { Btn_saiClick(); }));

    SingleInstance<TFOrdem>::enrol(this);
}

TFOrdem::~TFOrdem() {
    SingleInstance<TFOrdem>::leave(this);
}

TFOrdem* TFOrdem::instance() {
    return SingleInstance<TFOrdem>::get();
}

void TFOrdem::setFields(const QStringList& names, int dialect) {
    m_dialect = dialect;
    OsOrdem->clear();
    OSCampo->clear();
    OSCampo->addItems(names);
}

QStringList TFOrdem::availableNames() const {
    return namesOf(OSCampo);
}

QStringList TFOrdem::chosenNames() const {
    return namesOf(OsOrdem);
}

void TFOrdem::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    centreOnScreen(this);
    FormShow();
}

void TFOrdem::FormShow() {
    OSCampo->setFocus(); // the lists stay as they are
}

void TFOrdem::SpeedButton1Click() {
    moveSelected(OSCampo, OsOrdem);
}

void TFOrdem::SpeedButton2Click() {
    moveSelected(OsOrdem, OSCampo);
}

void TFOrdem::Btn_ExeClick() {
    OrderConfirmed = true;
    const QStringList chosen = chosenNames();
    if (chosen.isEmpty()) {
        showMessage(QStringLiteral("Nenhum campo selecionado para ordenar"), QStringLiteral("Erro"),
                    MsgIcon::None, MbOk);
        return;
    }
    OrderText = orderByText(chosen, Decrescente->isChecked(), m_dialect);
    QDialog::done(Accepted);
}

void TFOrdem::Btn_saiClick() {
    OrderConfirmed = false;
    QDialog::done(Rejected);
}

void TFOrdem::reject() {}
