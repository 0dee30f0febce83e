// The program's application object and its Qt prompts: Portuguese standard buttons, message boxes
// with the asked text, caption, icon, buttons and default button, the input box, the file dialogs,
// the login dialog, and the backstop for errors that escape an event handler.
#include "connection/ui/logindialog.h"
#include "platform/apperror.h"
#include "platform/ui/qtprompts.h"
#include "shell/ui/application.h"
#include "support/scriptedprompts.h"
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void messageBox_data();
    void messageBox();
    void inputBox_data();
    void inputBox();
    void openFileDialog();
    void saveFileDialog();
    void login_data();
    void login();
    void escapedErrorIsReported();

private:
    // Runs act on the next modal window once the event loop is entered by the prompt.
    static void onModal(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act = std::move(act)] {
            QWidget* w = QApplication::activeModalWidget();
            QVERIFY(w);
            act(w);
        });
    }
    QtPrompts m_prompts{runLoginDialog};
};

void TestApplication::initTestCase() {
    QVERIFY2(static_cast<Application*>(qApp)->loadQtTranslations(), "qtbase_pt_BR.qm is installed");
}

void TestApplication::init() { Prompts::setInstance(&m_prompts); }

void TestApplication::cleanup() { Prompts::setInstance(nullptr); }

void TestApplication::messageBox_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<QString>("press"); // the label of the button to press
    QTest::addColumn<int>("answer");

    QTest::newRow("exit question, No") << int(MsgIcon::Warning) << int(MbYes | MbNo) << int(MbNo)
                                       << QStringList{"&Sim", "&Não"} << int(QMessageBox::Warning) << "&Não"
                                       << int(MbNo);
    QTest::newRow("exit question, Yes") << int(MsgIcon::Warning) << int(MbYes | MbNo) << int(MbNo)
                                        << QStringList{"&Sim", "&Não"} << int(QMessageBox::Warning) << "&Sim"
                                        << int(MbYes);
    QTest::newRow("error box") << int(MsgIcon::Error) << int(MbOk) << int(MbNone) << QStringList{"OK"}
                               << int(QMessageBox::Critical) << "OK" << int(MbOk);
    QTest::newRow("three answers") << int(MsgIcon::Question) << int(MbYes | MbNo | MbCancel) << int(MbCancel)
                                   << QStringList{"&Sim", "&Não", "Cancelar"} << int(QMessageBox::Question)
                                   << "Cancelar" << int(MbCancel);
    QTest::newRow("notice") << int(MsgIcon::Information) << int(MbOk) << int(MbOk) << QStringList{"OK"}
                            << int(QMessageBox::Information) << "OK" << int(MbOk);
}

void TestApplication::messageBox() {
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(QStringList, labels);
    QFETCH(int, qtIcon);
    QFETCH(QString, press);
    QFETCH(int, answer);

    QString text, title, defaultLabel;
    QStringList shownLabels;
    int shownIcon = -1;
    onModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        text = box->text();
        title = box->windowTitle();
        shownIcon = box->icon();
        if (box->defaultButton()) defaultLabel = box->defaultButton()->text();
        QAbstractButton* toPress = nullptr;
        // In the order the box lays them out.
        const auto ordered = box->findChild<QDialogButtonBox*>()->buttons();
        for (QAbstractButton* b : ordered) {
            shownLabels.append(b->text());
            if (b->text() == press) toPress = b;
        }
        QVERIFY(toPress);
        toPress->click();
    });
    MessageRequest r;
    r.text = QStringLiteral("Deseja disconectar o banco  servidor:/dados/x.fdb ");
    r.caption = QStringLiteral("Atenção");
    r.icon = MsgIcon(icon);
    r.buttons = buttons;
    r.defaultButton = MsgButton(defaultButton);
    const MsgButton got = Prompts::instance().message(r);

    QCOMPARE(int(got), answer);
    QCOMPARE(text, r.text); // exactly, blanks included
    QCOMPARE(title, r.caption);
    QCOMPARE(shownIcon, qtIcon);
    shownLabels.sort();
    labels.sort();
    QCOMPARE(shownLabels, labels);
    if (defaultButton == MbNo) QCOMPARE(defaultLabel, QStringLiteral("&Não"));
    if (defaultButton == MbCancel) QCOMPARE(defaultLabel, QStringLiteral("Cancelar"));
}

void TestApplication::inputBox_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestApplication::inputBox() {
    QFETCH(bool, accept);
    QString title, label, initial;
    onModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QInputDialog*>(w);
        QVERIFY(dlg);
        title = dlg->windowTitle();
        label = dlg->labelText();
        initial = dlg->textValue();
        dlg->setTextValue(QStringLiteral("CLIENTES"));
        if (accept)
            dlg->accept();
        else
            dlg->reject();
    });
    InputRequest r{QStringLiteral("Busca"), QStringLiteral("Valor a procurar"), QStringLiteral("ab")};
    QString value = QStringLiteral("unchanged");
    QCOMPARE(m_prompts.input(r, &value), accept);
    QCOMPARE(title, r.caption);
    QCOMPARE(label, r.prompt);
    QCOMPARE(initial, r.value);
    QCOMPARE(value, accept ? QStringLiteral("CLIENTES") : QStringLiteral("unchanged"));
}

void TestApplication::openFileDialog() {
    QTemporaryDir dir;
    QFile(dir.filePath("a.New")).open(QIODevice::WriteOnly);
    QString title, directory;
    QStringList filters;
    QFileDialog::FileMode mode{};
    QFileDialog::AcceptMode accept{};
    onModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        QVERIFY(dlg);
        title = dlg->windowTitle();
        directory = dlg->directory().absolutePath();
        filters = dlg->nameFilters();
        mode = dlg->fileMode();
        accept = dlg->acceptMode();
        dlg->selectFile(dir.filePath("a.New"));
        static_cast<QDialog*>(dlg)->accept();
    });
    FileDialogRequest r;
    r.title = QStringLiteral("Abre Script");
    r.directory = dir.path();
    r.filters = {QStringLiteral("Scripts (*.New)"), QStringLiteral("Todos (*)")};
    r.defaultSuffix = QStringLiteral("New");
    const QString chosen = m_prompts.openFile(r);
    QCOMPARE(chosen, dir.filePath("a.New"));
    QCOMPARE(title, r.title);
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(filters, r.filters);
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(accept, QFileDialog::AcceptOpen);

    onModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    QCOMPARE(m_prompts.openFile(r), QString());
}

void TestApplication::saveFileDialog() {
    QTemporaryDir dir;
    QString suffix;
    bool confirms = false;
    QFileDialog::AcceptMode accept{};
    onModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        QVERIFY(dlg);
        suffix = dlg->defaultSuffix();
        confirms = !dlg->testOption(QFileDialog::DontConfirmOverwrite);
        accept = dlg->acceptMode();
        dlg->selectFile(dir.filePath("novo"));
        static_cast<QDialog*>(dlg)->accept();
    });
    FileDialogRequest r;
    r.title = QStringLiteral("Grava Script");
    r.directory = dir.path();
    r.filters = {QStringLiteral("Scripts (*.New)")};
    r.defaultSuffix = QStringLiteral("New");
    const QString chosen = m_prompts.saveFile(r);
    QCOMPARE(chosen, dir.filePath("novo.New")); // the suffix is added
    QCOMPARE(suffix, QStringLiteral("New"));
    QVERIFY(confirms);
    QCOMPARE(accept, QFileDialog::AcceptSave);
}

void TestApplication::login_data() {
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("focused");
    QTest::newRow("name proposed, OK") << "SYSDBA" << true << "Password";
    QTest::newRow("no name, OK") << "" << true << "UserName";
    QTest::newRow("Cancel") << "SYSDBA" << false << "Password";
}

void TestApplication::login() {
    QFETCH(QString, proposed);
    QFETCH(bool, accept);
    QFETCH(QString, focused);
    QString shownName, focusName, title, objectName;
    onModal([&](QWidget* w) {
        auto* dlg = qobject_cast<TLoginDialog*>(w);
        QVERIFY(dlg);
        title = dlg->windowTitle();
        objectName = dlg->objectName();
        shownName = dlg->DatabaseName->text();
        focusName = dlg->focusWidget() ? dlg->focusWidget()->objectName() : QString();
        if (dlg->UserName->text().isEmpty()) QTest::keyClicks(dlg->UserName, "ana");
        QTest::keyClicks(dlg->Password, "segredo");
        if (accept)
            QTest::keyClick(dlg->Password, Qt::Key_Return); // OK is the default button
        else
            QTest::keyClick(dlg, Qt::Key_Escape);
    });
    LoginRequest r{QStringLiteral("localhost:/dados/vendas.fdb"), proposed};
    QString user = QStringLiteral("-"), password = QStringLiteral("-");
    QCOMPARE(m_prompts.login(r, &user, &password), accept);
    QCOMPARE(title, QStringLiteral("Database Login"));
    QCOMPARE(objectName, QStringLiteral("LoginDialog"));
    QCOMPARE(shownName, r.databaseName);
    QCOMPARE(focusName, focused);
    if (accept) {
        QCOMPARE(user, proposed.isEmpty() ? QStringLiteral("ana") : proposed);
        QCOMPARE(password, QStringLiteral("segredo"));
    } else {
        QCOMPARE(user, QStringLiteral("-"));
        QCOMPARE(password, QStringLiteral("-"));
    }
}

void TestApplication::escapedErrorIsReported() {
    // An object whose event handler raises, outside any guarded() handler.
    class Raising : public QObject {
    public:
        int handled = 0;
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) {
                ++handled;
                throw AppError(QStringLiteral("Cannot open file \"x\". No such file"));
            }
            return QObject::event(e);
        }
    };
    ScriptedPrompts scripted;
    Raising r;
    QCoreApplication::postEvent(&r, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&r, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&r, QEvent::User);
    // Both events were handled: the first error did not end the program or the event loop.
    QCOMPARE(r.handled, 2);
    QCOMPARE(scripted.messages.size(), 2);
    QCOMPARE(scripted.messages.first().text, QStringLiteral("Cannot open file \"x\". No such file."));
    QCOMPARE(scripted.messages.first().caption, QStringLiteral("test_application"));
    QCOMPARE(scripted.messages.first().icon, MsgIcon::Error);
}

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"
