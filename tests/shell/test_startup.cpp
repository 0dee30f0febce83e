// Start-up: the main window, the connection holder and the hidden tool windows in their order;
// without the client library the program says so and does not start. The client library loads
// once per process, hence an executable of its own.
#include "browse/ui/fmemo.h"
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/dm.h"
#include "connection/fbapi.h"
#include "platform/appdir.h"
#include "shell/ui/principal.h"
#include "shell/ui/startup.h"
#include "support/scriptedprompts.h"
#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void withoutClientLibrary();
    void startsInOrder();

private:
    QTemporaryDir m_appDir;
};

void TestStartup::initTestCase() { setApplicationDirectory(m_appDir.path()); }

void TestStartup::cleanupTestCase() { setApplicationDirectory(QString()); }

void TestStartup::withoutClientLibrary() {
    const QString library = clientLibraryName();
    setClientLibraryName(QStringLiteral("libfbclient-missing.so.9"));
    ScriptedPrompts prompts;
    QVERIFY(!startProgram());
    setClientLibraryName(library);

    QCOMPARE(prompts.messages.size(), 1);
    const MessageRequest& m = prompts.messages.first();
    QCOMPARE(m.text, QStringLiteral("InterBase library gds32.dll not found in the path. Please install "
                                    "InterBase to use this functionality."));
    QCOMPARE(m.caption, QStringLiteral("test_startup"));
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    // Nothing of the program stays behind.
    QVERIFY(!TdM::instance());
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TPrincipal*>(w));
}

void TestStartup::startsInOrder() {
    ScriptedPrompts prompts;
    std::unique_ptr<Program> program = startProgram();
    QVERIFY(program);
    QVERIFY(program->principal);
    QCOMPARE(TdM::instance(), program->dm.get());
    QVERIFY(!program->dm->Banco->connected()); // no database at start-up
    QVERIFY(CurrentDatabase.isEmpty());

    // The tool windows belong to the main window, hidden, in their order; the memo window is the
    // one the browse windows use.
    QStringList names, captions;
    for (QObject* child : program->principal->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->isWindow()) {
            names.append(w->objectName());
            captions.append(w->windowTitle());
            QVERIFY(!w->isVisible());
        }
    }
    QCOMPARE(names, (QStringList{"FWhere", "Fmemo", "FGeraSql", "FUI", "FOrdem", "Propriedades"}));
    QCOMPARE(captions, (QStringList{"Filtro", "Edita / Consulta campo Memo", "Geração de SQL",
                                    "Campos para geração de UPDATE / INSERT", "FOrdem", "Propriedades"}));
    QCOMPARE(TFmemo::instance()->parent(), program->principal.get());

    showMainWindow(program->principal.get());
    QVERIFY(program->principal->isVisible());
    QVERIFY(program->principal->windowState() & Qt::WindowMaximized);
    QVERIFY(prompts.messages.isEmpty()); // first run: no Conexoes.New, no error
    program.reset();
    QVERIFY(!TdM::instance());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
