#include "connection/bancosettings.h"
#include "connection/conexoes.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/ui/abrebanco.h"
#include "connection/ui/conecta.h"
#include "platform/appdir.h"
#include "platform/errorreport.h"
#include "platform/ui/mdihost.h"
#include "platform/wincolor.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scriptedprompts.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <functional>

// The open-database dialog against real database files: through the embedded engine (Local) and
// the loopback server (TCP/IP), with Banco.new and Conexoes.New in a temporary "executable directory".
class TestAbreBanco : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void layout();
    void childWindowFrame();
    void loadSettings_data();
    void loadSettings();
    void recomposedOnLeavingAndChoosing();
    void enterMovesFocus();
    void chooseFile();
    void validations_data();
    void validations();
    void earlierConnectionsMissing();
    void pickEarlierConnection();
    void pickWithoutRows();
    void pickBadProtocolCell();

    void openLocal();
    void openTcpIp_data();
    void openTcpIp();
    void cancelledLogin();
    void wrongPassword();
    void notRemembered_data();
    void notRemembered();
    void pickedConnectionAppendsNothing();
    void cancela();

private:
    // A dialog opened as the main window opens it (no host here: a window of its own), active.
    static QPointer<TAbreBanco> openDialog() {
        QPointer<TAbreBanco> w = new TAbreBanco;
        w->showAsChild();
        if (!QTest::qWaitForWindowActive(w)) qWarning("dialog not active");
        return w;
    }
    static void fill(TAbreBanco* w, const QString& server, int protocol, const QString& path) {
        w->Servidor->setText(server);
        w->Banco->setText(path);
        w->setProtocolIndex(protocol);
        w->BuildConnectionString();
    }
    static bool destroyed(const QPointer<TAbreBanco>& w) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w.isNull();
    }
    // Acts on the earlier-connections window that SP1Click shows next, then leaves it.
    static void onConecta(std::function<void(TFConecta*)> act) {
        onNextModal(qApp, [act](QWidget* m) {
            auto* d = qobject_cast<TFConecta*>(m);
            QVERIFY2(d, "the earlier-connections window is not shown");
            act(d);
        });
    }
    QString settingsBytes(const QString& server, int protocol, const QString& path, const QString& conn) {
        return QStringLiteral("[BancoAtual]\r\nServidor=%1\r\nTipo=%2\r\nBanco=%3\r\nConexão=%4\r\n")
            .arg(server)
            .arg(protocol)
            .arg(path, conn);
    }

    std::unique_ptr<TdM> m_dm;
    std::unique_ptr<TempAppDirectory> m_dir;
};

void TestAbreBanco::initTestCase() {
    m_dm = std::make_unique<TdM>();
}

void TestAbreBanco::init() {
    m_dir = std::make_unique<TempAppDirectory>();
    CurrentDatabase.clear();
}

void TestAbreBanco::cleanup() {
    if (m_dm->Banco->connected()) m_dm->DisconnectDatabase();
    CurrentDatabase.clear();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TAbreBanco*>(w)) delete w;
    m_dir.reset();
}

void TestAbreBanco::cleanupTestCase() {
    m_dm.reset();
}

void TestAbreBanco::layout() {
    TAbreBanco w;
    QCOMPARE(w.objectName(), QStringLiteral("AbreBanco"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Abre Banco de Dados Interbase"));
    QCOMPARE(w.size(), QSize(560, 304));
    QCOMPARE(w.minimumSize(), w.maximumSize()); // fixed border
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(w.palette().color(QPalette::Window), winColor(13678476));
    QCOMPARE(w.font().pixelSize(), 16);

    QCOMPARE(w.Label1->text(), QStringLiteral("&Servidor :"));
    QCOMPARE(w.Label1->buddy(), w.Servidor);
    QCOMPARE(w.Servidor->objectName(), QStringLiteral("Servidor"));
    QCOMPARE(w.SP1->objectName(), QStringLiteral("SP1"));
    QCOMPARE(w.SP1->size(), QSize(28, 28));
    QCOMPARE(w.SP1->toolTip(), QStringLiteral("Conexões anteriores"));
    QVERIFY(w.SP1->autoRaise());
    QCOMPARE(w.SP1->cursor().shape(), Qt::PointingHandCursor);

    QCOMPARE(w.RG->objectName(), QStringLiteral("RG"));
    QCOMPARE(w.RG->title(), QStringLiteral("   Tipo   "));
    QStringList items;
    for (int i = 0; i < 4; ++i)
        items.append(w.RGButtons->button(i)->text());
    QCOMPARE(items, (QStringList{"&TCP/IP", "&NetBui", "&IPX", "&Local"}));
    QCOMPARE(w.protocolIndex(), 0);

    QCOMPARE(w.Label2->text(), QStringLiteral("&Banco :"));
    QCOMPARE(w.Label2->buddy(), w.Banco);
    QCOMPARE(w.Banco->objectName(), QStringLiteral("Banco"));
    QCOMPARE(w.Banco->width(), 445);
    QCOMPARE(w.SP->objectName(), QStringLiteral("SP"));
    QCOMPARE(w.SP->size(), QSize(23, 22));
    QCOMPARE(w.SP->text(), QStringLiteral("..."));
    QVERIFY(w.SP->font().bold());
    QCOMPARE(w.SP->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w.Label3->text(), QStringLiteral("Conexão :"));
    QCOMPARE(w.Conect->objectName(), QStringLiteral("Conect"));
    QVERIFY(w.Conect->isReadOnly());
    QCOMPARE(w.Conect->palette().color(QPalette::Base), winColor(12632256));

    QCOMPARE(w.Abre->objectName(), QStringLiteral("Abre"));
    QCOMPARE(w.Abre->text(), QStringLiteral("&Abre Banco"));
    QCOMPARE(w.Abre->size(), QSize(121, 38));
    QCOMPARE(w.Abre->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w.BitBtn2->objectName(), QStringLiteral("BitBtn2"));
    QCOMPARE(w.BitBtn2->text(), QStringLiteral("&Cancela"));
    QCOMPARE(w.BitBtn2->size(), QSize(121, 38));
    QCOMPARE(w.BitBtn2->cursor().shape(), Qt::PointingHandCursor);

    for (const QAbstractButton* b :
         {static_cast<QAbstractButton*>(w.SP1), static_cast<QAbstractButton*>(w.Abre),
          static_cast<QAbstractButton*>(w.BitBtn2)})
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
    QCOMPARE(w.Od.title, QStringLiteral("Seleção de Banco de Dados"));
    QCOMPARE(w.Od.filters, (QStringList{"Interbase (*.Gdb)", "Firebird (*.fdb)"}));
}

void TestAbreBanco::childWindowFrame() {
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    setMdiHost(&area);
    ScriptedPrompts prompts;
    QPointer<TAbreBanco> w = new TAbreBanco;
    w->showAsChild();
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(childFrame(w));
    QVERIFY(frame);
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Abre Banco de Dados Interbase"));
    QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QPointer<QMdiSubWindow> framePtr = frame;
    w->BitBtn2->click();
    QTRY_VERIFY(framePtr.isNull());
    QVERIFY(w.isNull());
    QCOMPARE(area.subWindowList().size(), 0);
    setMdiHost(nullptr);
}

void TestAbreBanco::loadSettings_data() {
    QTest::addColumn<QByteArray>("file"); // "<missing>": no Banco.new
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("conn");
    QTest::newRow("missing file") << QByteArray("<missing>") << "" << 0 << ""
                                  << "";
    QTest::newRow("last settings") << QByteArray(
                                          "[BancoAtual]\r\nServidor=srv01\r\nTipo=1\r\nBanco=C:\\dados\\loja."
                                          "gdb\r\nConex\xe3o=\\\\srv01\\C:\\dados\\loja.gdb\r\n")
                                   << "srv01" << 1 << "C:\\dados\\loja.gdb"
                                   << "\\\\srv01\\C:\\dados\\loja.gdb";
    // The connection string is shown as saved, not composed again.
    QTest::newRow("connection as saved")
        << QByteArray("[BancoAtual]\r\nServidor=a\r\nTipo=0\r\nBanco=/b\r\nConex\xe3o=outra\r\n") << "a" << 0
        << "/b"
        << "outra";
    QTest::newRow("no choice") << QByteArray("[BancoAtual]\r\nTipo=-1\r\n") << "" << -1 << ""
                               << "";
    QTest::newRow("choice beyond the items") << QByteArray("[BancoAtual]\r\nTipo=9\r\n") << "" << 3 << ""
                                             << "";
    QTest::newRow("choice not a number") << QByteArray("[BancoAtual]\r\nTipo=x\r\n") << "" << 0 << ""
                                         << "";
}

void TestAbreBanco::loadSettings() {
    QFETCH(QByteArray, file);
    if (file != "<missing>") writeBytes(bancoSettingsFileName(), file);
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    QTEST(w->Servidor->text(), "server");
    QTEST(w->protocolIndex(), "protocol");
    QTEST(w->Banco->text(), "path");
    QTEST(w->Conect->text(), "conn");
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(fileBytes(bancoSettingsFileName()), file); // showing writes nothing
}

void TestAbreBanco::recomposedOnLeavingAndChoosing() {
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    w->Servidor->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Servidor, QStringLiteral(" srv01 "));
    QCOMPARE(w->Conect->text(), QString()); // not while typing
    w->Banco->setFocus(Qt::TabFocusReason); // leaving Servidor
    QCOMPARE(w->Conect->text(), QStringLiteral("srv01:"));
    QTest::keyClicks(w->Banco, QStringLiteral("C:\\dados\\loja.gdb"));
    w->Abre->setFocus(Qt::MouseFocusReason); // leaving Banco
    QCOMPARE(w->Conect->text(), QStringLiteral("srv01:C:\\dados\\loja.gdb"));

    const QStringList expected{"srv01:C:\\dados\\loja.gdb", "\\\\srv01\\C:\\dados\\loja.gdb",
                               "srv01@C:\\dados\\loja.gdb", "C:\\dados\\loja.gdb"};
    for (int i : {1, 2, 3, 0}) {
        QAbstractButton* b = w->RGButtons->button(i);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); // on the circle
        QCOMPARE(w->protocolIndex(), i);
        QCOMPARE(w->Conect->text(), expected[i]);
    }
    // With no choice the connection string stays as it is.
    w->setProtocolIndex(-1);
    w->Servidor->setText(QStringLiteral("outro"));
    w->Servidor->setFocus(Qt::MouseFocusReason);
    w->Banco->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->protocolIndex(), -1);
    QCOMPARE(w->Conect->text(), expected[0]);
}

void TestAbreBanco::enterMovesFocus() {
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    w->setProtocolIndex(2);
    w->Servidor->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Servidor, QStringLiteral("srv01"));
    QTest::keyClick(w->Servidor, Qt::Key_Return);
    QVERIFY(!w->Servidor->hasFocus());
    QCOMPARE(w->Conect->text(), QStringLiteral("srv01@")); // leaving the box recomposed it
    w->Banco->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Banco, QStringLiteral("/d/x.fdb"));
    QTest::keyClick(w->Banco, Qt::Key_Enter);
    QCOMPARE(w->focusWidget(), w->Conect);
    QCOMPARE(w->Conect->text(), QStringLiteral("srv01@/d/x.fdb"));
    QTest::keyClick(w->Conect, Qt::Key_Return);
    QCOMPARE(w->focusWidget(), w->Abre);
    QTest::keyClick(w->Abre, Qt::Key_Return); // moves on, does not connect
    QCOMPARE(w->focusWidget(), w->BitBtn2);
    QTest::keyClick(w->BitBtn2, Qt::Key_Return); // moves on, does not cancel
    QVERIFY(!destroyed(w));
    QVERIFY(prompts.logins.isEmpty());
    QVERIFY(prompts.messages.isEmpty());
    QTest::keyClick(w->focusWidget(), Qt::Key_Escape); // no key closes the dialog
    QVERIFY(!destroyed(w));
}

void TestAbreBanco::chooseFile() {
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    fill(w, QStringLiteral("srv01"), 0, QString());
    const QString first = m_dir->filePath(QStringLiteral("loja.gdb"));
    prompts.fileAnswers = {first, QString()}; // a file, then Cancel
    QTest::mouseClick(w->SP, Qt::LeftButton);
    QCOMPARE(prompts.fileDialogs.size(), 1);
    const FileDialogRequest r = prompts.fileDialogs[0];
    QCOMPARE(r.title, QStringLiteral("Seleção de Banco de Dados"));
    QCOMPARE(r.filters, (QStringList{"Interbase (*.Gdb)", "Firebird (*.fdb)"}));
    QCOMPARE(QDir(r.directory).absolutePath(), QDir(m_dir->path()).absolutePath());
    QVERIFY(r.mustExist);
    QCOMPARE(w->Banco->text(), first);
    QCOMPARE(w->Conect->text(), QStringLiteral("srv01:") + first);

    // Cancelling another choice keeps the path; the connection string is composed again all the same.
    w->setProtocolIndex(-1);
    w->setProtocolIndex(3);
    w->Conect->setText(QStringLiteral("velha"));
    QTest::mouseClick(w->SP, Qt::LeftButton);
    QCOMPARE(w->Banco->text(), first);
    QCOMPARE(w->Conect->text(), first);
}

void TestAbreBanco::validations_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank server") << "   " << 0 << "/d/a.fdb"
                                  << "Servidor não pode ser branco";
    QTest::newRow("blank server with Local") << "" << 3 << "/d/a.fdb"
                                             << "Servidor não pode ser branco";
    QTest::newRow("no protocol") << "srv" << -1 << "/d/a.fdb"
                                 << "Escolha um tipo";
    QTest::newRow("blank path") << "srv" << 0 << "  "
                                << "Banco não pode ser branco";
    QTest::newRow("server checked first") << "" << -1 << ""
                                          << "Servidor não pode ser branco";
}

void TestAbreBanco::validations() {
    QFETCH(QString, server);
    QFETCH(int, protocol);
    QFETCH(QString, path);
    QFETCH(QString, message);
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    fill(w, server, protocol, path);
    CurrentDatabase = QStringLiteral("antes");
    w->Abre->click();
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, message);
    QCOMPARE(prompts.messages[0].caption, QStringLiteral("Erro"));
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Warning);
    QCOMPARE(prompts.messages[0].buttons, int(MbOk));
    QVERIFY(prompts.logins.isEmpty());
    QCOMPARE(CurrentDatabase, QStringLiteral("antes"));
    QVERIFY(!destroyed(w));
    QVERIFY(!QFileInfo::exists(bancoSettingsFileName()));
    QVERIFY(!QFileInfo::exists(conexoesFileName()));
}

void TestAbreBanco::earlierConnectionsMissing() {
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("Arquivo de Conexões anteriores não existe...."));
    QCOMPARE(prompts.messages[0].caption, QStringLiteral("Atenção"));
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Warning);
    QCOMPARE(prompts.messages[0].buttons, int(MbOk));
    QVERIFY(!QFileInfo::exists(conexoesFileName()));
}

void TestAbreBanco::pickEarlierConnection() {
    const QStringList lines{ConnectionRecord::format("um", "0", "/1.fdb", "um:/1.fdb"),
                            ConnectionRecord::format("dois", "2", "/2.fdb", "dois@/2.fdb")};
    writeConnections(lines);
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    bool shown = false;
    onConecta([&](TFConecta* d) {
        shown = true;
        QCOMPARE(d->parent(), w.data());
        d->sg->setCurrentCell(1, 0);
    });
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QVERIFY(shown);
    // Copied as they stand in the grid, padding included.
    QCOMPARE(w->Servidor->text(), QStringLiteral("dois").leftJustified(15));
    QCOMPARE(w->protocolIndex(), 2);
    QCOMPARE(w->Banco->text(), QStringLiteral("/2.fdb").leftJustified(100));
    QCOMPARE(w->Conect->text(), QStringLiteral("dois@/2.fdb").leftJustified(100));
    QVERIFY(w->findChildren<TFConecta*>().isEmpty()); // released
    QVERIFY(prompts.messages.isEmpty());
}

void TestAbreBanco::pickWithoutRows() {
    writeConnections({ConnectionRecord::format("um", "0", "/1.fdb", "um:/1.fdb")});
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    fill(w, QStringLiteral("srv"), 3, QStringLiteral("/x.fdb"));
    onConecta([](TFConecta* d) { QTest::keyClick(d->sg, Qt::Key_Delete); }); // every row gone
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QCOMPARE(w->Servidor->text(), QStringLiteral("srv"));
    QCOMPARE(w->protocolIndex(), 3);
    QCOMPARE(w->Banco->text(), QStringLiteral("/x.fdb"));
    QCOMPARE(w->Conect->text(), QStringLiteral("/x.fdb"));
    QVERIFY(prompts.messages.isEmpty()); // the title "Tp" is not read as a protocol

    writeConnections({});
    onConecta([](TFConecta*) {});
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QCOMPARE(w->Servidor->text(), QStringLiteral("srv"));
    QVERIFY(prompts.messages.isEmpty());
}

void TestAbreBanco::pickBadProtocolCell() {
    writeConnections({ConnectionRecord::format("srvX", "x", "/p.fdb", "/p.fdb")});
    ScriptedPrompts prompts;
    const QPointer<TAbreBanco> w = openDialog();
    fill(w, QStringLiteral("antes"), 1, QStringLiteral("/antes.fdb"));
    onConecta([](TFConecta*) {});
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("'x' is not a valid integer value."));
    QCOMPARE(prompts.messages[0].caption, applicationTitle());
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Error);
    QCOMPARE(w->Servidor->text(), QStringLiteral("srvX").leftJustified(15)); // filled before the failure
    QCOMPARE(w->protocolIndex(), 1);
    QCOMPARE(w->Banco->text(), QStringLiteral("/antes.fdb"));
}

void TestAbreBanco::openLocal() {
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    ScriptedPrompts prompts;
    prompts.loginAnswers.append({true, QStringLiteral("SYSDBA"), QStringLiteral("segredo")});
    QPointer<TAbreBanco> w = openDialog();
    fill(w, QStringLiteral("localhost"), 3, tdb.path());
    QCOMPARE(w->Conect->text(), tdb.path());
    w->Abre->click();

    QCOMPARE(prompts.messages.size(), 0);
    QCOMPARE(prompts.logins.size(), 1);
    QCOMPARE(prompts.logins[0].databaseName, tdb.path());
    QCOMPARE(prompts.logins[0].userName, QStringLiteral("SYSDBA"));
    QVERIFY(m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, tdb.path());
    QVERIFY(destroyed(w));
    QCOMPARE(QString::fromLatin1(fileBytes(bancoSettingsFileName())),
             settingsBytes(QStringLiteral("localhost"), 3, tdb.path(), tdb.path()));
    const QString record = ConnectionRecord::format("localhost", "3", tdb.path(), tdb.path());
    QCOMPARE(fileBytes(conexoesFileName()), (record + "\r\n").toLatin1());
    // The password went nowhere.
    QVERIFY(!fileBytes(bancoSettingsFileName()).contains("segredo"));
    QVERIFY(!fileBytes(conexoesFileName()).contains("segredo"));
    QVERIFY(!m_dm->Banco->params().join(';').contains(QStringLiteral("segredo")));

    // The next opening shows the same settings; opening again appends nothing.
    m_dm->DisconnectDatabase();
    prompts.defaultLogin = ScriptedPrompts::Login{};
    w = openDialog();
    QCOMPARE(w->Servidor->text(), QStringLiteral("localhost"));
    QCOMPARE(w->protocolIndex(), 3);
    QCOMPARE(w->Banco->text(), tdb.path());
    QCOMPARE(w->Conect->text(), tdb.path());
    w->Abre->click();
    QVERIFY(m_dm->Banco->connected());
    QVERIFY(destroyed(w));
    QCOMPARE(fileBytes(conexoesFileName()), (record + "\r\n").toLatin1());
    QVERIFY(prompts.messages.isEmpty());
}

void TestAbreBanco::openTcpIp_data() {
    QTest::addColumn<QString>("server");
    QTest::newRow("localhost") << "localhost";
    QTest::newRow("test server address") << testServerHost();
}

void TestAbreBanco::openTcpIp() {
    QFETCH(QString, server);
    TempDatabase tdb({QStringLiteral("create table T (ID integer)")});
    const QString earlier = ConnectionRecord::format("outro", "3", "/outro.fdb", "/outro.fdb");
    writeConnections({earlier});
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{true, QStringLiteral("SYSDBA"), testServerPassword()};
    QPointer<TAbreBanco> w = openDialog();
    fill(w, server, 0, tdb.path());
    const QString conn = server + ':' + tdb.path();
    QCOMPARE(w->Conect->text(), conn);
    w->Abre->click();
    QVERIFY2(prompts.messages.isEmpty(),
             prompts.messages.isEmpty() ? "" : qPrintable(prompts.messages[0].text));
    QVERIFY(m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, conn);
    QVERIFY(destroyed(w));
    QCOMPARE(QString::fromLatin1(fileBytes(bancoSettingsFileName())),
             settingsBytes(server, 0, tdb.path(), conn));
    const QString record = ConnectionRecord::format(server, "0", tdb.path(), conn);
    const QByteArray expected = (earlier + "\r\n" + record + "\r\n").toLatin1();
    QCOMPARE(fileBytes(conexoesFileName()), expected);

    // The same connection typed in other letter case is the same record: nothing appended.
    m_dm->DisconnectDatabase();
    w = openDialog();
    fill(w, server.toUpper(), 0, tdb.path());
    w->Abre->click();
    QVERIFY(m_dm->Banco->connected());
    QVERIFY(destroyed(w));
    QCOMPARE(fileBytes(conexoesFileName()), expected);
    QVERIFY(prompts.messages.isEmpty());
}

void TestAbreBanco::cancelledLogin() {
    TempDatabase tdb;
    const QByteArray settings =
        "[BancoAtual]\r\nServidor=velho\r\nTipo=1\r\nBanco=/v.fdb\r\nConex\xe3o=\\\\velho\\/v.fdb\r\n";
    writeBytes(bancoSettingsFileName(), settings);
    const QByteArray connections =
        (ConnectionRecord::format("velho", "1", "/v.fdb", "\\\\velho\\/v.fdb") + "\r\n").toLatin1();
    writeBytes(conexoesFileName(), connections);
    ScriptedPrompts prompts;
    prompts.loginAnswers.append(ScriptedPrompts::Login{false});
    QPointer<TAbreBanco> w = openDialog();
    fill(w, QStringLiteral("localhost"), 3, tdb.path());
    w->Abre->click();

    QCOMPARE(prompts.logins.size(), 1);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("Operation cancelled at user's request."));
    QCOMPARE(prompts.messages[0].caption, applicationTitle());
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Error);
    QVERIFY(!m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, QString()); // no database counts as open
    QVERIFY(!databaseIsOpen());
    QVERIFY(!destroyed(w));
    QCOMPARE(fileBytes(bancoSettingsFileName()), settings);
    QCOMPARE(fileBytes(conexoesFileName()), connections);

    // "&Abre Banco" again retries at once.
    prompts.loginAnswers.append(ScriptedPrompts::Login{});
    w->Abre->click();
    QVERIFY(m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, tdb.path());
    QVERIFY(destroyed(w));
    QVERIFY(fileBytes(conexoesFileName()).startsWith(connections));
    QCOMPARE(prompts.messages.size(), 1);
}

void TestAbreBanco::wrongPassword() {
    TempDatabase tdb;
    ScriptedPrompts prompts;
    prompts.loginAnswers.append({true, QStringLiteral("SYSDBA"), QStringLiteral("errada")});
    QPointer<TAbreBanco> w = openDialog();
    fill(w, testServerHost(), 0, tdb.path());
    w->Abre->click();
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY2(
        prompts.messages[0].text.startsWith(QStringLiteral("Your user name and password are not defined")),
        qPrintable(prompts.messages[0].text));
    QVERIFY(!m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, QString());
    QVERIFY(!destroyed(w));
    QVERIFY(!QFileInfo::exists(bancoSettingsFileName()));
    QVERIFY(!QFileInfo::exists(conexoesFileName()));
}

void TestAbreBanco::notRemembered_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("settingsSaved");
    const QString opened = QStringLiteral("A conexão foi aberta, mas não pode ser lembrada em ");
    QTest::newRow("path over 100 characters")
        << QString(96, 'x') + ".fdb"
        << "localhost" << opened + "Conexões anteriores: o banco tem mais de 100 caracteres." << true;
    // Local leaves the server out of the connection string, but the record holds it.
    QTest::newRow("server over 15 characters")
        << "a.fdb"
        << "servidor-comprido" << opened + "Conexões anteriores: o servidor tem mais de 15 caracteres."
        << true;
    // Banco.new has no widths, but it cannot hold such a character either: the notice says so.
    QTest::newRow("character outside Windows-1252")
        << "数据.fdb"
        << "localhost"
        << opened + "Conexões anteriores nem em Banco.new: o banco tem caracteres que o arquivo não comporta."
        << false;
    QTest::newRow("too long for one file, a character outside Windows-1252 for both")
        << QString(96, 'x') + "数.fdb"
        << "localhost"
        << opened + "Conexões anteriores (o banco tem mais de 100 caracteres) nem em Banco.new (o banco tem "
                    "caracteres que o arquivo não comporta)."
        << false;
}

void TestAbreBanco::notRemembered() {
    QFETCH(QString, fileName);
    QFETCH(QString, server);
    QFETCH(QString, notice);
    QFETCH(bool, settingsSaved);
    TempDatabase tdb({}, QStringLiteral("UTF8"), fileName);
    const QByteArray connections =
        (ConnectionRecord::format("velho", "3", "/v.fdb", "/v.fdb") + "\r\n").toLatin1();
    writeBytes(conexoesFileName(), connections);
    const QByteArray settings = "[BancoAtual]\r\nServidor=velho\r\n";
    writeBytes(bancoSettingsFileName(), settings);
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    QPointer<TAbreBanco> w = openDialog();
    fill(w, server, 3, tdb.path());
    w->Abre->click();

    QVERIFY(m_dm->Banco->connected()); // the connection goes on
    QCOMPARE(CurrentDatabase, tdb.path());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, notice);
    QCOMPARE(prompts.messages[0].caption, QStringLiteral("Atenção"));
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Warning);
    QCOMPARE(prompts.messages[0].buttons, int(MbOk));
    QCOMPARE(fileBytes(conexoesFileName()), connections);
    // The settings file has no widths: it takes the settings unless a character cannot be written.
    if (settingsSaved)
        QCOMPARE(QString::fromLatin1(fileBytes(bancoSettingsFileName())),
                 settingsBytes(server, 3, tdb.path(), tdb.path()));
    else
        QCOMPARE(fileBytes(bancoSettingsFileName()), settings);
    QVERIFY(destroyed(w));
}

void TestAbreBanco::pickedConnectionAppendsNothing() {
    TempDatabase tdb;
    const QStringList lines{ConnectionRecord::format("velho", "3", "/v.fdb", "/v.fdb"),
                            ConnectionRecord::format("localhost", "3", tdb.path(), tdb.path())};
    writeConnections(lines);
    const QByteArray before = fileBytes(conexoesFileName());
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    QPointer<TAbreBanco> w = openDialog();
    onConecta([](TFConecta* d) { d->sg->setCurrentCell(1, 0); });
    QTest::mouseClick(w->SP1, Qt::LeftButton);
    QCOMPARE(w->Conect->text(), tdb.path().leftJustified(100));
    w->Abre->click();
    QVERIFY2(prompts.messages.isEmpty(),
             prompts.messages.isEmpty() ? "" : qPrintable(prompts.messages[0].text));
    QVERIFY(m_dm->Banco->connected());
    QVERIFY(destroyed(w));
    QCOMPARE(fileBytes(conexoesFileName()), before);
    // The padded values are saved as they were in the boxes and come back the same.
    const BancoSettings s = LoadSettings();
    QCOMPARE(s.server, QStringLiteral("localhost").leftJustified(15));
    QCOMPARE(s.database, tdb.path().leftJustified(100));
    QCOMPARE(s.connection, tdb.path().leftJustified(100));
}

void TestAbreBanco::cancela() {
    ScriptedPrompts prompts;
    QPointer<TAbreBanco> w = openDialog();
    CurrentDatabase = QStringLiteral("/algum.fdb");
    w->BitBtn2->click();
    QCOMPARE(CurrentDatabase, QString());
    QVERIFY(destroyed(w));
    QVERIFY(!QFileInfo::exists(bancoSettingsFileName()));
    QVERIFY(!QFileInfo::exists(conexoesFileName()));
}

QTEST_MAIN(TestAbreBanco)
#include "test_abrebanco.moc"
