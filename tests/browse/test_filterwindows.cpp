// The filter window, the order window and the field chooser on their own: panels, lines, the
// refusal of a blank value, moving names, the order text, ticks, keys, closing and looks.
#include "browse/ui/fcampos.h"
#include "browse/ui/fordem.h"
#include "browse/ui/fwhere.h"
#include "platform/wincolor.h"
#include "support/scriptedprompts.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>
#include <functional>

class TestFilterWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Filter window
    void whereFirstUseShowsFirstPanel();
    void whereFirstConditionSwitchesPanel();
    void whereFurtherConditions_data();
    void whereFurtherConditions();
    void whereReopenedWithConditionsShowsSecondPanel();
    void whereShowingResetsChoices();
    void whereBlankValueRefused_data();
    void whereBlankValueRefused();
    void whereClearKeepsPanel();
    void whereExecuteAndExit();
    void whereEscapeDoesNotClose();
    void whereEnterMovesFocus();
    void whereLooks();
    void whereRestoredAfterMinimiseKeepsTheWork();

    // Order window
    void orderFieldsReset();
    void orderMoves_data();
    void orderMoves();
    void orderMoveBackGoesToEnd();
    void orderMoveWithoutSelection();
    void orderExecute_data();
    void orderExecute();
    void orderExecuteWithoutFieldsStaysOpen();
    void orderExitKeepsLists();
    void orderLooks();

    // Field chooser
    void camposTicks();
    void camposF1F2AndSpace();
    void camposHintOnlyWithFocus();
    void camposOkAndCancelKeys_data();
    void camposOkAndCancelKeys();

private:
    // Runs `act` on the modal window that the next call opens (after its showing).
    void onModal(std::function<void(QWidget*)> act);
    // Shows the filter window without blocking, as the caller would (fields first).
    void showWhere(bool hasConditions);

    TFWhere* w = nullptr;
    TFOrdem* o = nullptr;
    ScriptedPrompts* prompts = nullptr;
};

namespace {
const QStringList kFields{"CODIGO", "NOME", "NASC"};
}

void TestFilterWindows::init() {
    prompts = new ScriptedPrompts;
    w = TFWhere::instance();
    o = TFOrdem::instance();
}

void TestFilterWindows::cleanup() {
    if (w->isVisible()) w->Btn_saiClick();
    if (o->isVisible()) o->Btn_saiClick();
    w->clearConditions();
    w->HasConditions = false;
    delete prompts;
    prompts = nullptr;
}

void TestFilterWindows::onModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, this, [act] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(modal);
        QVERIFY(QTest::qWaitForWindowActive(modal));
        act(modal);
        // A failed check must not leave the test waiting on the window.
        if (modal->isVisible()) modal->QDialog::done(QDialog::Rejected);
    });
}

void TestFilterWindows::showWhere(bool hasConditions) {
    w->setFields(kFields);
    w->HasConditions = hasConditions;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestFilterWindows::whereFirstUseShowsFirstPanel() {
    showWhere(false);
    QVERIFY(w->p0->isVisible());
    QVERIFY(!w->p1->isVisible());
    QCOMPARE(w->p0->geometry(), QRect(0, 0, 570, 51));
    QCOMPARE(w->sql->geometry(), QRect(0, 51, 570, 147));
    QCOMPARE(QApplication::focusWidget(), w->cbo_cam2);
    QCOMPARE(w->cbo_cam2->currentText(), QStringLiteral("CODIGO"));
    QCOMPARE(w->cbo_ope2->currentText(), QStringLiteral("="));
}

void TestFilterWindows::whereFirstConditionSwitchesPanel() {
    showWhere(false);
    w->cbo_cam2->setCurrentIndex(1);
    w->cbo_ope2->setCurrentText(QStringLiteral("Like"));
    w->val2->setText(QStringLiteral(" 'AN%' "));
    QTest::mouseClick(w->Btn_Ad, Qt::LeftButton);
    QCOMPARE(w->conditionText(), QStringLiteral("Where NOME  Like  'AN%' "));
    QVERIFY(!w->p0->isVisible());
    QVERIFY(w->p1->isVisible());
    QCOMPARE(w->p1->geometry(), QRect(0, 0, 570, 100));
    QCOMPARE(w->sql->geometry(), QRect(0, 100, 570, 147));
    QCOMPARE(QApplication::focusWidget(), w->cbo_cam1);
    QVERIFY(prompts->messages.isEmpty());
}

void TestFilterWindows::whereFurtherConditions_data() {
    QTest::addColumn<bool>("orJoin");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("line");
    QTest::newRow("and") << false << 0 << 4 << "2" << " And  CODIGO  >= 2";
    QTest::newRow("or") << true << 2 << 5 << "'2000-01-31'" << " Or  NASC  <> '2000-01-31'";
    QTest::newRow("untrimmed") << false << 1 << 0 << "'x'  " << " And  NOME  = 'x'  ";
}

void TestFilterWindows::whereFurtherConditions() {
    QFETCH(bool, orJoin);
    QFETCH(int, field);
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(QString, line);
    showWhere(false);
    w->val2->setText(QStringLiteral("1"));
    w->Btn_AdClick();
    (orJoin ? w->opOr : w->opAnd)->setChecked(true);
    w->cbo_cam1->setCurrentIndex(field);
    w->cbo_ope1->setCurrentIndex(op);
    w->val1->setText(value);
    QTest::mouseClick(w->btn_ad1, Qt::LeftButton);
    QTest::mouseClick(w->btn_ad1, Qt::LeftButton); // the same condition again: choices stay
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 1\n") + line + QLatin1Char('\n') + line);
    QCOMPARE(w->cbo_cam1->currentIndex(), field);
    QCOMPARE(w->cbo_ope1->currentIndex(), op);
    QCOMPARE(w->val1->text(), value);
    QCOMPARE(w->opOr->isChecked(), orJoin);
    QCOMPARE(QApplication::focusWidget(), w->cbo_cam1);
}

void TestFilterWindows::whereReopenedWithConditionsShowsSecondPanel() {
    showWhere(false);
    w->val2->setText(QStringLiteral("1"));
    w->Btn_AdClick();
    w->Btn_ExeClick();
    QVERIFY(!w->isVisible());
    // The caller sets the flag from the text; the previous lines are still there.
    showWhere(!w->conditionText().trimmed().isEmpty());
    QVERIFY(w->p1->isVisible());
    QVERIFY(!w->p0->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->cbo_cam1);
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 1"));
    // A line typed by hand without a final break still gets its own line.
    w->val1->setText(QStringLiteral("5"));
    w->btn_ad1Click();
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 1\n And  CODIGO  = 5"));
}

void TestFilterWindows::whereShowingResetsChoices() {
    showWhere(true);
    w->cbo_cam1->setCurrentIndex(2);
    w->cbo_ope1->setCurrentIndex(6);
    w->val1->setText(QStringLiteral("x"));
    w->val2->setText(QStringLiteral("y"));
    w->opOr->setChecked(true);
    w->Btn_saiClick();
    showWhere(true);
    QCOMPARE(w->cbo_cam1->currentIndex(), 0);
    QCOMPARE(w->cbo_ope1->currentText(), QStringLiteral("="));
    QCOMPARE(w->cbo_ope2->currentText(), QStringLiteral("="));
    QVERIFY(w->val1->text().isEmpty());
    QVERIFY(w->val2->text().isEmpty());
    QVERIFY(w->opAnd->isChecked());
    w->Btn_saiClick();
    // No fields: no selection, and the condition has an empty name.
    w->setFields({});
    w->HasConditions = false;
    w->show();
    QCOMPARE(w->cbo_cam2->currentIndex(), -1);
    w->val2->setText(QStringLiteral("1"));
    w->Btn_AdClick();
    QCOMPARE(w->conditionText(), QStringLiteral("Where   = 1"));
}

void TestFilterWindows::whereBlankValueRefused_data() {
    QTest::addColumn<bool>("further");
    QTest::addColumn<QString>("value");
    QTest::newRow("first empty") << false << "";
    QTest::newRow("first blanks") << false << "   ";
    QTest::newRow("further empty") << true << "";
    QTest::newRow("further blanks") << true << "  ";
}

void TestFilterWindows::whereBlankValueRefused() {
    QFETCH(bool, further);
    QFETCH(QString, value);
    showWhere(further);
    w->sql->setPlainText(QStringLiteral("Where A  = 1"));
    (further ? w->val1 : w->val2)->setText(value);
    QTest::mouseClick(further ? w->btn_ad1 : w->Btn_Ad, Qt::LeftButton);
    QCOMPARE(prompts->messages.size(), 1);
    const MessageRequest m = prompts->messages.first();
    QCOMPARE(m.text, QStringLiteral("Você precisa digitar o campo Valor"));
    QCOMPARE(m.caption, QStringLiteral("Atenção"));
    QCOMPARE(m.icon, MsgIcon::None);
    QCOMPARE(m.buttons, int(MbOk));
    QCOMPARE(w->conditionText(), QStringLiteral("Where A  = 1"));
    QCOMPARE(w->p1->isVisible(), further); // no switch of panels either
}

void TestFilterWindows::whereClearKeepsPanel() {
    showWhere(false);
    w->val2->setText(QStringLiteral("1"));
    w->Btn_AdClick();
    QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
    QVERIFY(w->conditionText().isEmpty());
    QVERIFY(w->p1->isVisible());
    w->opOr->setChecked(true);
    w->val1->setText(QStringLiteral("2"));
    w->btn_ad1Click();
    // Without a "Where " line: the browse window reports such a filter as invalid.
    QCOMPARE(w->conditionText(), QStringLiteral(" Or  CODIGO  = 2"));
}

void TestFilterWindows::whereExecuteAndExit() {
    w->setFields(kFields);
    w->HasConditions = false;
    onModal([this](QWidget* m) {
        QCOMPARE(m, static_cast<QWidget*>(w));
        w->val2->setText(QStringLiteral("3"));
        QTest::mouseClick(w->Btn_Ad, Qt::LeftButton);
        QTest::mouseClick(w->Btn_Exe, Qt::LeftButton);
    });
    w->exec();
    QVERIFY(w->FilterConfirmed);
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 3"));

    w->HasConditions = true;
    onModal([this](QWidget*) {
        w->sql->appendPlainText(QStringLiteral("edited"));
        QTest::mouseClick(w->Btn_sai, Qt::LeftButton);
    });
    w->exec();
    QVERIFY(!w->FilterConfirmed);
    // The edited text stays for the next use.
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 3\nedited"));

    // "&Executa" over an empty text hands an empty text.
    onModal([this](QWidget*) {
        w->BitBtn1Click();
        w->Btn_ExeClick();
    });
    w->exec();
    QVERIFY(w->FilterConfirmed);
    QVERIFY(w->conditionText().isEmpty());
}

void TestFilterWindows::whereEscapeDoesNotClose() {
    w->FilterConfirmed = true;
    onModal([this](QWidget*) {
        QTest::keyClick(w->val2, Qt::Key_Escape);
        w->close();
        QVERIFY(w->isVisible());
        QTest::keyClick(w->Btn_sai, Qt::Key_Space);
    });
    w->exec();
    QVERIFY(!w->FilterConfirmed);
}

void TestFilterWindows::whereEnterMovesFocus() {
    showWhere(false);
    w->cbo_cam2->setFocus();
    QTest::keyClick(w->cbo_cam2, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w->cbo_ope2);
    QTest::keyClick(w->cbo_ope2, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), w->val2);
    w->val2->setText(QStringLiteral("7"));
    QTest::keyClick(w->val2, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w->Btn_Ad);
    QVERIFY(w->conditionText().isEmpty()); // Enter moved on, it pressed nothing
    // A focused button is pressed by Enter.
    QTest::keyClick(w->Btn_Ad, Qt::Key_Return);
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 7"));
    QVERIFY(w->isVisible());
    // In the memo Enter starts a new line.
    w->sql->setFocus();
    w->sql->moveCursor(QTextCursor::End);
    QTest::keyClick(w->sql, Qt::Key_Return);
    QTest::keyClicks(w->sql, QStringLiteral(" Or  X  = 1"));
    QCOMPARE(QApplication::focusWidget(), w->sql);
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 7\n Or  X  = 1"));
    // The radio group passes Enter on too.
    w->opAnd->setFocus();
    QTest::keyClick(w->opAnd, Qt::Key_Return);
    QVERIFY(QApplication::focusWidget() != w->opAnd);
    QVERIFY(w->isVisible());
}

void TestFilterWindows::whereLooks() {
    showWhere(false);
    QCOMPARE(w->objectName(), QStringLiteral("FWhere"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Filtro"));
    QCOMPARE(w->size(), QSize(570, 380));
    QCOMPARE(w->palette().color(QPalette::Window), winColor(14799803));
    QCOMPARE(w->p0->palette().color(QPalette::Window), QColor(140, 183, 208));
    QCOMPARE(w->p1->palette().color(QPalette::Window), QColor(140, 183, 208));
    QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(w->font().pixelSize(), 13);
    struct Place {
        QWidget* control;
        QPoint pos;
        int width;
    };
    const Place places[] = {
        {w->Label4, {8, 5}, -1},        {w->Label5, {178, 5}, -1},       {w->Label6, {262, 5}, -1},
        {w->cbo_cam2, {8, 24}, 161},    {w->cbo_ope2, {178, 24}, 75},    {w->val2, {262, 24}, 159},
        {w->Btn_Ad, {433, 24}, 119},    {w->op, {216, 4}, 129},          {w->Label1, {8, 55}, -1},
        {w->Label2, {178, 55}, -1},     {w->label3, {262, 55}, -1},      {w->cbo_cam1, {8, 74}, 161},
        {w->cbo_ope1, {178, 74}, 75},   {w->val1, {262, 74}, 159},       {w->btn_ad1, {433, 72}, 119},
        {w->BitBtn1, {4, 324}, 129},    {w->Btn_Exe, {386, 324}, 88},    {w->Btn_sai, {478, 324}, 88},
    };
    for (const Place& p : places) {
        QCOMPARE(p.control->pos(), p.pos);
        if (p.width >= 0) QCOMPARE(p.control->width(), p.width);
    }
    for (QPushButton* b : {w->BitBtn1, w->Btn_Exe, w->Btn_sai}) {
        QCOMPARE(b->height(), 45);
        QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!b->icon().isNull());
    }
    QCOMPARE(w->Btn_Ad->size(), QSize(119, 25));
    QCOMPARE(w->Btn_Exe->text(), QStringLiteral("&Executa"));
    QCOMPARE(w->Btn_sai->text(), QStringLiteral("&Saída"));
    QCOMPARE(w->BitBtn1->text(), QStringLiteral("&Limpa WHERE"));
    for (QComboBox* c : {w->cbo_ope1, w->cbo_ope2}) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        QCOMPARE(items, (QStringList{"=", "<", ">", "<=", ">=", "<>", "Like"}));
        QVERIFY(!c->isEditable());
    }
    QVERIFY(!w->cbo_cam1->isEditable());
    QCOMPARE(w->opAnd->text(), QStringLiteral("AND"));
    QCOMPARE(w->opOr->text(), QStringLiteral("OR"));
}

void TestFilterWindows::orderFieldsReset() {
    o->setFields({"A", "B"});
    o->OSCampo->setCurrentRow(0);
    o->SpeedButton1Click();
    QCOMPARE(o->chosenNames(), QStringList{"A"});
    o->setFields(kFields);
    QCOMPARE(o->availableNames(), kFields);
    QVERIFY(o->chosenNames().isEmpty());
}

void TestFilterWindows::orderMoves_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<int>("selected");
    QTest::newRow("middle selects the next") << 1 << QStringList{"A", "C", "D"} << 1;
    QTest::newRow("first selects the new first") << 0 << QStringList{"B", "C", "D"} << 0;
    QTest::newRow("last selects the new last") << 3 << QStringList{"A", "B", "C"} << 2;
}

void TestFilterWindows::orderMoves() {
    QFETCH(int, index);
    QFETCH(QStringList, available);
    QFETCH(int, selected);
    const QStringList all{"A", "B", "C", "D"};
    o->setFields(all);
    o->OSCampo->setCurrentRow(index);
    QTest::mouseClick(o->SpeedButton1, Qt::LeftButton);
    QCOMPARE(o->availableNames(), available);
    QCOMPARE(o->chosenNames(), QStringList{all.at(index)});
    QCOMPARE(o->OSCampo->currentRow(), selected);
    QVERIFY(o->OSCampo->item(selected)->isSelected());
}

void TestFilterWindows::orderMoveBackGoesToEnd() {
    o->setFields({"A", "B", "C"});
    o->OSCampo->setCurrentRow(0);
    o->SpeedButton1Click(); // A chosen; B selected
    o->SpeedButton1Click(); // B chosen; C selected
    o->SpeedButton1Click(); // C chosen; nothing left to select
    QVERIFY(o->availableNames().isEmpty());
    QVERIFY(o->OSCampo->selectedItems().isEmpty());
    QCOMPARE(o->chosenNames(), (QStringList{"A", "B", "C"}));
    o->OsOrdem->setCurrentRow(0);
    QTest::mouseClick(o->SpeedButton2, Qt::LeftButton);
    QCOMPARE(o->chosenNames(), (QStringList{"B", "C"}));
    QCOMPARE(o->OsOrdem->currentRow(), 0);
    o->OSCampo->setCurrentRow(-1);
    o->OsOrdem->setCurrentRow(1);
    o->SpeedButton2Click();
    // Back at the end of the available list, not at a former place.
    QCOMPARE(o->availableNames(), (QStringList{"A", "C"}));
    QCOMPARE(o->chosenNames(), QStringList{"B"});
    QCOMPARE(o->OsOrdem->currentRow(), 0);
    o->SpeedButton2Click();
    QCOMPARE(o->availableNames(), (QStringList{"A", "C", "B"}));
    QVERIFY(o->OsOrdem->selectedItems().isEmpty());
}

void TestFilterWindows::orderMoveWithoutSelection() {
    o->setFields({"A", "B"});
    o->SpeedButton1Click();
    o->SpeedButton2Click();
    QCOMPARE(o->availableNames(), (QStringList{"A", "B"}));
    QVERIFY(o->chosenNames().isEmpty());
}

void TestFilterWindows::orderExecute_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("picks"); // names moved, in this order
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("text");
    QTest::newRow("CODIGO,NOME ascending") << kFields << QStringList{"CODIGO", "NOME"} << false
                                           << "Order By CODIGO,NOME";
    QTest::newRow("CODIGO,NOME descending") << kFields << QStringList{"CODIGO", "NOME"} << true
                                            << "Order By CODIGO,NOME Desc";
    QTest::newRow("list order, not field order") << kFields << QStringList{"NASC", "CODIGO"} << false
                                                 << "Order By NASC,CODIGO";
    QTest::newRow("blank in name") << QStringList{"CODIGO", "NOME COMPLETO"} << QStringList{"NOME COMPLETO"}
                                   << false << "Order By \"NOME COMPLETO\"";
}

void TestFilterWindows::orderExecute() {
    QFETCH(QStringList, fields);
    QFETCH(QStringList, picks);
    QFETCH(bool, descending);
    QFETCH(QString, text);
    o->setFields(fields);
    onModal([&](QWidget* m) {
        QCOMPARE(m, static_cast<QWidget*>(o));
        QCOMPARE(QApplication::focusWidget(), o->OSCampo);
        for (const QString& name : picks) {
            o->OSCampo->setCurrentRow(o->availableNames().indexOf(name));
            QTest::mouseClick(o->SpeedButton1, Qt::LeftButton);
        }
        (descending ? o->Decrescente : o->Crescente)->setChecked(true);
        QTest::mouseClick(o->Btn_Exe, Qt::LeftButton);
    });
    o->exec();
    QVERIFY(o->OrderConfirmed);
    QCOMPARE(o->OrderText, text);
    QVERIFY(prompts->messages.isEmpty());
}

void TestFilterWindows::orderExecuteWithoutFieldsStaysOpen() {
    o->setFields(kFields);
    o->OrderText = QStringLiteral("Order By NOME");
    o->OrderConfirmed = false;
    onModal([this](QWidget*) {
        QTest::mouseClick(o->Btn_Exe, Qt::LeftButton);
        QVERIFY(o->isVisible());
        QVERIFY(o->OrderConfirmed);
        QCOMPARE(o->OrderText, QStringLiteral("Order By NOME")); // the last good text stays
        QCOMPARE(prompts->messages.size(), 1);
        const MessageRequest m = prompts->messages.first();
        QCOMPARE(m.text, QStringLiteral("Nenhum campo selecionado para ordenar"));
        QCOMPARE(m.caption, QStringLiteral("Erro"));
        QCOMPARE(m.icon, MsgIcon::None);
        QCOMPARE(m.buttons, int(MbOk));
        // Esc and the title bar do not close it with the flag set.
        QTest::keyClick(o->OSCampo, Qt::Key_Escape);
        o->close();
        QVERIFY(o->isVisible());
        QTest::mouseClick(o->Btn_sai, Qt::LeftButton);
    });
    o->exec();
    QVERIFY(!o->OrderConfirmed);
}

void TestFilterWindows::orderExitKeepsLists() {
    o->setFields(kFields);
    o->OrderText = QStringLiteral("Order By NASC");
    onModal([this](QWidget*) {
        o->OSCampo->setCurrentRow(1);
        o->SpeedButton1Click();
        o->Decrescente->setChecked(true);
        o->Btn_saiClick();
    });
    o->exec();
    QVERIFY(!o->OrderConfirmed);
    QCOMPARE(o->OrderText, QStringLiteral("Order By NASC"));
    QCOMPARE(o->chosenNames(), QStringList{"NOME"});
    QCOMPARE(o->availableNames(), (QStringList{"CODIGO", "NASC"}));
    o->Crescente->setChecked(true);
}

void TestFilterWindows::orderLooks() {
    QCOMPARE(o->objectName(), QStringLiteral("FOrdem"));
    QCOMPARE(o->windowTitle(), QStringLiteral("FOrdem"));
    QCOMPARE(o->size(), QSize(402, 348));
    QCOMPARE(o->palette().color(QPalette::Window), QColor(153, 183, 174));
    QVERIFY(!(o->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(o->OSCampo->geometry(), QRect(4, 22, 173, 259));
    QCOMPARE(o->OsOrdem->geometry(), QRect(220, 22, 173, 259));
    QCOMPARE(o->SpeedButton1->geometry(), QRect(187, 56, 23, 22));
    QCOMPARE(o->SpeedButton2->geometry(), QRect(187, 81, 23, 22));
    QCOMPARE(o->SpeedButton1->arrowType(), Qt::RightArrow);
    QCOMPARE(o->SpeedButton2->arrowType(), Qt::LeftArrow);
    QCOMPARE(o->Tipo->geometry(), QRect(1, 296, 212, 41));
    QCOMPARE(o->Tipo->title(), QStringLiteral("  &Tipo  "));
    QCOMPARE(o->Btn_Exe->geometry(), QRect(221, 300, 88, 45));
    QCOMPARE(o->Btn_sai->geometry(), QRect(311, 300, 88, 45));
    QCOMPARE(o->Label1->pos(), QPoint(4, 4));
    QCOMPARE(o->Label2->pos(), QPoint(220, 4));
    QCOMPARE(o->Label1->buddy(), o->OSCampo);
    QCOMPARE(o->Label2->buddy(), o->OsOrdem);
    QCOMPARE(o->OSCampo->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(o->Crescente->isChecked());
}

void TestFilterWindows::camposTicks() {
    TFCampos c;
    c.setFields({"A", "B", "C"}, {true, false, true});
    QCOMPARE(c.Campos->count(), 3);
    QCOMPARE(c.ticks(), (QList<bool>{true, false, true}));
    QCOMPARE(c.objectName(), QStringLiteral("FCampos"));
    QCOMPARE(c.windowTitle(), QStringLiteral("Campos da Tabela"));
    QCOMPARE(c.size(), QSize(247, 357));
    QCOMPARE(c.Campos->geometry(), QRect(0, 0, 247, 308));
    QCOMPARE(c.BitBtn1->geometry(), QRect(41, 332, 75, 25));
    QCOMPARE(c.BitBtn2->geometry(), QRect(129, 332, 75, 25));
    QCOMPARE(c.Label1->text(), QStringLiteral("F1 - Marca todos  F2 - Desmarca todos"));
    QCOMPARE(c.BitBtn1->text(), QStringLiteral("Cancela"));
    QCOMPARE(c.BitBtn2->text(), QStringLiteral("OK"));
}

void TestFilterWindows::camposF1F2AndSpace() {
    TFCampos c;
    c.setFields({"A", "B", "C"}, {false, true, false});
    c.show();
    QVERIFY(QTest::qWaitForWindowActive(&c));
    c.Campos->setFocus();
    QTest::keyClick(c.Campos, Qt::Key_F1);
    QCOMPARE(c.ticks(), (QList<bool>{true, true, true}));
    QTest::keyClick(c.Campos, Qt::Key_F2);
    QCOMPARE(c.ticks(), (QList<bool>{false, false, false}));
    c.Campos->setCurrentRow(1);
    QTest::keyClick(c.Campos, Qt::Key_Space);
    QCOMPARE(c.ticks(), (QList<bool>{false, true, false}));
    QVERIFY(c.isVisible());
}

void TestFilterWindows::camposHintOnlyWithFocus() {
    TFCampos c;
    c.setFields({"A"}, {true});
    QVERIFY(!c.Label1->isVisibleTo(&c));
    c.show();
    QVERIFY(QTest::qWaitForWindowActive(&c));
    QCOMPARE(QApplication::focusWidget(), c.Campos); // the first control
    QVERIFY(c.Label1->isVisible());
    c.BitBtn2->setFocus();
    QVERIFY(!c.Label1->isVisible());
    c.Campos->setFocus();
    QVERIFY(c.Label1->isVisible());
}

void TestFilterWindows::camposOkAndCancelKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestFilterWindows::camposOkAndCancelKeys() {
    QFETCH(int, key);
    QFETCH(int, result);
    TFCampos c;
    c.setFields({"A", "B"}, {true, true});
    onModal([&](QWidget* m) {
        QCOMPARE(m, static_cast<QWidget*>(&c));
        QTest::keyClick(c.Campos, Qt::Key_F2);
        QTest::keyClick(c.Campos, Qt::Key(key));
    });
    QCOMPARE(c.exec(), result);
    QCOMPARE(c.ticks(), (QList<bool>{false, false}));
}

void TestFilterWindows::whereRestoredAfterMinimiseKeepsTheWork() {
    showWhere(false);
    w->val2->setText(QStringLiteral("7"));
    QTest::mouseClick(w->Btn_Ad, Qt::LeftButton);
    QVERIFY(w->p1->isVisible());
    w->cbo_cam1->setCurrentIndex(2);
    w->cbo_ope1->setCurrentText(QStringLiteral("<>"));
    w->opOr->setChecked(true);
    w->val1->setText(QStringLiteral("'x'"));
    // The window system hides and shows it again: not a new use.
    w->showMinimized();
    w->showNormal();
    QVERIFY(w->p1->isVisible());
    QVERIFY(!w->p0->isVisible());
    QCOMPARE(w->cbo_cam1->currentText(), QStringLiteral("NASC"));
    QCOMPARE(w->cbo_ope1->currentText(), QStringLiteral("<>"));
    QVERIFY(w->opOr->isChecked());
    QCOMPARE(w->val1->text(), QStringLiteral("'x'"));
    QTest::mouseClick(w->btn_ad1, Qt::LeftButton);
    QCOMPARE(w->conditionText(), QStringLiteral("Where CODIGO  = 7\n Or  NASC  <> 'x'"));
    // A new use resets the choices.
    w->Btn_saiClick();
    showWhere(false);
    QVERIFY(w->p0->isVisible());
    QVERIFY(w->val1->text().isEmpty());
    QVERIFY(prompts->messages.isEmpty());
}

QTEST_MAIN(TestFilterWindows)
#include "test_filterwindows.moc"
