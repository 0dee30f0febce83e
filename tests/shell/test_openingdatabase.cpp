// A new user's first connection, from the main window: "&Abre Banco" shows the open-database
// dialog as a child window (one at a time), the database opens with protocol Local, and the next
// start finds the connection under "Conexões" and the last settings in the dialog.
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/ui/abrebanco.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "shell/ui/principal.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/scriptedprompts.h"
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class TestOpeningDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void firstConnection();
};

void TestOpeningDatabase::firstConnection() {
    TempAppDirectory appDir;
    TempDatabase demo({QStringLiteral("create table T (ID integer)")}, QStringLiteral("UTF8"),
                      QStringLiteral("demo.fdb"));
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    TdM dm;
    auto win = std::make_unique<TPrincipal>();
    win->show();
    QVERIFY(win->Bancos->actions().isEmpty());

    win->AbreBanco1->trigger();
    QPointer<TAbreBanco> dialog = qobject_cast<TAbreBanco*>(win->abreBancoWindow());
    QVERIFY(dialog);
    QCOMPARE(win->ClientArea->subWindowList().size(), 1);
    QCOMPARE(childFrame(dialog)->windowTitle(), QStringLiteral("Abre Banco de Dados Interbase"));
    win->AbreBanco1->trigger(); // at most one exists
    QCOMPARE(win->ClientArea->subWindowList().size(), 1);
    QCOMPARE(win->abreBancoWindow(), dialog.data());

    dialog->Servidor->setText(QStringLiteral("localhost"));
    dialog->Banco->setText(demo.path());
    dialog->setProtocolIndex(3);
    dialog->Abre->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(prompts.messages.isEmpty());
    QVERIFY(dialog.isNull());
    QCOMPARE(win->ClientArea->subWindowList().size(), 0);
    QVERIFY(dm.Banco->connected());
    QVERIFY(databaseIsOpen());

    // The next start.
    dm.DisconnectDatabase();
    win = std::make_unique<TPrincipal>();
    win->show();
    const QList<QAction*> entries = win->Bancos->actions();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0]->objectName(), QStringLiteral("MenuBancos0"));
    QCOMPARE(entries[0]->text(), demo.path());
    win->Tcon->click();
    dialog = qobject_cast<TAbreBanco*>(win->abreBancoWindow());
    QVERIFY(dialog);
    QCOMPARE(dialog->Servidor->text(), QStringLiteral("localhost"));
    QCOMPARE(dialog->protocolIndex(), 3);
    QCOMPARE(dialog->Banco->text(), demo.path());
    QCOMPARE(dialog->Conect->text(), demo.path());
    win.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
    QVERIFY(prompts.messages.isEmpty());
}

QTEST_MAIN(TestOpeningDatabase)
#include "test_openingdatabase.moc"
