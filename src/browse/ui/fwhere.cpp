#include "browse/ui/fwhere.h"
#include "browse/filtertext.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextCursor>
#include <array>

namespace {
constexpr int ClientWidth = 570;

QWidget* makePanel(QWidget* parent, const char* name, int height) {
    auto* p = new QWidget(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, winColor(13678476));
    p->setPalette(pal);
    p->resize(ClientWidth, height);
    return p;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    l->adjustSize();
    return l;
}

QComboBox* makeList(QWidget* parent, const char* name, int left, int top, int width) {
    auto* c = new QComboBox(parent); // not editable: a drop-down list without typing
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(left, top, width, c->sizeHint().height());
    return c;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(left, top, width, e->sizeHint().height());
    return e;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph,
                        const QRect& place) {
    auto* b = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(place);
    return b;
}
// One row of a condition panel: the three captions above a field list, an operator list, the
// value and "&Adiciona".
struct ConditionRow {
    QLabel* fieldLabel;
    QLabel* opLabel;
    QLabel* valueLabel;
    QComboBox* fields;
    QComboBox* ops;
    QLineEdit* value;
    QPushButton* add;
};

ConditionRow makeConditionRow(QWidget* panel, const std::array<const char*, 7>& names, int labelTop, int top,
                              int buttonTop = -1) {
    ConditionRow r;
    r.fieldLabel = makeLabel(panel, names[0], QStringLiteral("Campos"), 8, labelTop);
    r.opLabel = makeLabel(panel, names[1], QStringLiteral("Operador"), 178, labelTop);
    r.valueLabel = makeLabel(panel, names[2], QStringLiteral("Valor"), 262, labelTop);
    r.fields = makeList(panel, names[3], 8, top, 161);
    r.ops = makeList(panel, names[4], 178, top, 75);
    r.ops->addItems(filterOperators());
    r.value = makeEdit(panel, names[5], 262, top, 159);
    r.add = makeButton(panel, names[6], QStringLiteral("&Adiciona"), QStyle::SP_ArrowDown,
                       {433, buttonTop < 0 ? top : buttonTop, 119, 25});
    return r;
}

// A condition needs a value; the notice has no icon.
bool refuseBlank(const QString& value) {
    if (!isBlankValue(value)) return false;
    showMessage(QStringLiteral("Você precisa digitar o campo Valor"), QStringLiteral("Atenção"),
                MsgIcon::None, MbOk);
    return true;
}
} // namespace

TFWhere::TFWhere(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FWhere"));
    setWindowTitle(QStringLiteral("Filtro"));
    // Single fixed border, no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(ClientWidth, 380);
    move(158, 157);
    setFont(arialFont(13));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(14799803));
    setPalette(pal);

    // Creation order is the tab order: p0, p1, the memo, the bottom buttons.
    p0 = makePanel(this, "p0", 51);
    const ConditionRow first =
        makeConditionRow(p0, {"Label4", "Label5", "Label6", "cbo_cam2", "cbo_ope2", "val2", "Btn_Ad"}, 5, 24);
    Label4 = first.fieldLabel;
    Label5 = first.opLabel;
    Label6 = first.valueLabel;
    cbo_cam2 = first.fields;
    cbo_ope2 = first.ops;
    val2 = first.value;
    Btn_Ad = first.add;

    p1 = makePanel(this, "p1", 100);
    op = new QGroupBox(p1);
    op->setObjectName(QStringLiteral("op"));
    op->setGeometry(216, 4, 129, 43);
    opAnd = new QRadioButton(QStringLiteral("AND"), op);
    opOr = new QRadioButton(QStringLiteral("OR"), op);
    auto* opColumns = new QHBoxLayout(op);
    opColumns->setContentsMargins(8, 2, 4, 2);
    opColumns->addWidget(opAnd);
    opColumns->addWidget(opOr);
    opAnd->setChecked(true);
    const ConditionRow further = makeConditionRow(
        p1, {"Label1", "Label2", "label3", "cbo_cam1", "cbo_ope1", "val1", "btn_ad1"}, 55, 74, 72);
    Label1 = further.fieldLabel;
    Label2 = further.opLabel;
    label3 = further.valueLabel;
    cbo_cam1 = further.fields;
    cbo_ope1 = further.ops;
    val1 = further.value;
    btn_ad1 = further.add;
    p1->hide();

    sql = new QPlainTextEdit(this);
    sql->setObjectName(QStringLiteral("sql"));

    BitBtn1 = makeButton(this, "BitBtn1", QStringLiteral("&Limpa WHERE"), QStyle::SP_DialogResetButton,
                         {4, 324, 129, 45});
    Btn_Exe = makeButton(this, "Btn_Exe", QStringLiteral("&Executa"), QStyle::SP_DialogApplyButton,
                         {386, 324, 88, 45});
    Btn_sai = makeButton(this, "Btn_sai", QStringLiteral("&Saída"), QStyle::SP_DialogCloseButton,
                         {478, 324, 88, 45});

    connect(Btn_Ad, &QPushButton::clicked, this, guarded([this] { Btn_AdClick(); }));
    connect(btn_ad1, &QPushButton::clicked, this, guarded([this] { btn_ad1Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
    connect(Btn_Exe, &QPushButton::clicked, this, guarded([this] { Btn_ExeClick(); }));
    connect(Btn_sai, &QPushButton::clicked, this, guarded([this] { Btn_saiClick(); }));

    showPanel(false);
    SingleInstance<TFWhere>::enrol(this);
}

TFWhere::~TFWhere() {
    SingleInstance<TFWhere>::leave(this);
}

TFWhere* TFWhere::instance() {
    return SingleInstance<TFWhere>::get();
}

void TFWhere::setFields(const QStringList& names, int dialect) {
    m_dialect = dialect;
    cbo_cam1->clear();
    cbo_cam2->clear();
    cbo_cam1->addItems(names);
    cbo_cam2->addItems(names);
}

QString TFWhere::conditionText() const {
    return sql->toPlainText();
}

void TFWhere::clearConditions() {
    sql->clear();
}

void TFWhere::showPanel(bool further) {
    // Only one panel shows; the one that does sits at the top and the memo follows it.
    p0->setHidden(further);
    p1->setHidden(!further);
    QWidget* panel = further ? p1 : p0;
    panel->move(0, 0);
    sql->setGeometry(0, panel->height(), ClientWidth, 147);
}

void TFWhere::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Shown again by the window system after a minimise: the same use goes on.
    if (m_inUse) return;
    m_inUse = true;
    FormShow();
}

void TFWhere::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) m_inUse = false; // left: the next showing is a new use
}

void TFWhere::FormShow() {
    cbo_ope1->setCurrentIndex(0); // "="
    cbo_ope2->setCurrentIndex(0);
    val1->clear();
    val2->clear();
    opAnd->setChecked(true);
    cbo_cam1->setCurrentIndex(cbo_cam1->count() > 0 ? 0 : -1);
    cbo_cam2->setCurrentIndex(cbo_cam2->count() > 0 ? 0 : -1);
    showPanel(HasConditions);
    (HasConditions ? cbo_cam1 : cbo_cam2)->setFocus();
}

void TFWhere::appendLine(const QString& line) {
    // One line at the end of the text: after a line break of its own unless the text is empty or
    // already ends with one.
    const QString text = sql->toPlainText();
    const bool breakFirst = !text.isEmpty() && !text.endsWith(QLatin1Char('\n'));
    QTextCursor cursor(sql->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(breakFirst ? QStringLiteral("\n") + line : line);
    sql->setTextCursor(cursor);
    sql->ensureCursorVisible();
}

void TFWhere::Btn_AdClick() {
    if (refuseBlank(val2->text())) return;
    appendLine(firstConditionLine(cbo_cam2->currentText(), cbo_ope2->currentText(), val2->text(), m_dialect));
    showPanel(true);
    cbo_cam1->setFocus();
}

void TFWhere::btn_ad1Click() {
    if (refuseBlank(val1->text())) return;
    appendLine(furtherConditionLine(opOr->isChecked(), cbo_cam1->currentText(), cbo_ope1->currentText(),
                                    val1->text(), m_dialect));
    // Selections and value stay, so a similar condition is changed and added at once.
    cbo_cam1->setFocus();
}

void TFWhere::BitBtn1Click() {
    clearConditions(); // the panels stay as they are
}

void TFWhere::Btn_ExeClick() {
    FilterConfirmed = true;
    QDialog::done(Accepted);
}

void TFWhere::Btn_saiClick() {
    FilterConfirmed = false;
    QDialog::done(Rejected);
}

void TFWhere::reject() {}

bool TFWhere::FormKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (focusWidget() == sql) return false;
    focusNextChild();
    return true;
}

void TFWhere::keyPressEvent(QKeyEvent* e) {
    // Enter reaches the window when the focused control left it alone: a focused push button
    // presses itself and the memo starts a new line, so neither gets here.
    if (FormKeyPress(e->key())) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
