// The main window: menu and tool bar, the "Conexões" menu, the questions of closing the database
// and leaving, the clock, single-instance child windows, and connecting from a remembered entry to
// a real database.
#include "browse/ui/tabelas.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/appdir.h"
#include "platform/cp1252.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "shell/ui/morvex.h"
#include "shell/ui/principal.h"
#include "sql/ui/fsql.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuStructure_data();
    void menuStructure();
    void toolBar_data();
    void toolBar();
    void handlerMessages_data();
    void handlerMessages();

    void conexoesMenu_data();
    void conexoesMenu();
    void unreadableConexoesIsReported();

    void closeDatabaseQuestion_data();
    void closeDatabaseQuestion();
    void leaveQuestion_data();
    void leaveQuestion();

    void clockPanels();
    void clientPicture();
    void aboutWindow();

    void connectFromMenuEntry();
    void menuEntrySwitchesDatabases();
    void failedMenuConnectionLeavesNothingOpen_data();
    void failedMenuConnectionLeavesNothingOpen();
    void tableListIsSingleInstance();
    void newSqlWindowEachTime();
    void exitCommitsPendingWork();

private:
    void writeConexoes(const QStringList& connections);
    void createWindow();
    // The window started with db as its only "Conexões" entry, connected through it.
    void openThroughMenu(TempDatabase& db);
    // The rows of T in the database, read by a separate attachment.
    static QString rowsOf(TempDatabase& db) { return db.column("select ID from T order by ID").join(','); }
    static void insertPending(int id);
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TdM> m_dm;
    std::unique_ptr<TPrincipal> m_win;
};

namespace {
const QStringList kTable{QStringLiteral("create table T (ID integer not null primary key)")};

// A line of Conexoes.New: server (15), protocol (1), path (100), connection string (100).
QString conexoesLine(const QString& connection, const QString& path = QStringLiteral("c:\\dados\\x.gdb")) {
    return QStringLiteral("%1%2%3%4")
        .arg(QStringLiteral("localhost"), -15)
        .arg(QStringLiteral("3"), -1)
        .arg(path, -100)
        .arg(connection, -100);
}

QStringList actionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* a : actions) texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QStringList actionNames(const QList<QAction*>& actions) {
    QStringList names;
    for (QAction* a : actions) names.append(a->menu() ? a->menu()->objectName() : a->objectName());
    return names;
}
} // namespace

void TestPrincipal::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    initResources();
}

void TestPrincipal::init() {
    for (QString* v : {&CurrentDatabase, &CurrentTable, &BrowseSelect}) v->clear();
    m_appDir = std::make_unique<QTemporaryDir>();
    setApplicationDirectory(m_appDir->path());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_dm = std::make_unique<TdM>();
}

void TestPrincipal::cleanup() {
    m_win.reset();
    flushDeletes();
    m_dm.reset();
    m_prompts.reset();
    setApplicationDirectory(QString());
    m_appDir.reset();
    CurrentDatabase.clear();
}

void TestPrincipal::writeConexoes(const QStringList& connections) {
    QStringList lines;
    for (const QString& c : connections) lines.append(conexoesLine(c));
    QFile f(applicationFile(QStringLiteral("Conexoes.New")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(toCp1252(lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

void TestPrincipal::createWindow() {
    m_win = std::make_unique<TPrincipal>();
    m_win->show(); // FormShow fills "Conexões"
}

void TestPrincipal::openThroughMenu(TempDatabase& db) {
    writeConexoes({db.path()});
    createWindow();
    m_prompts->loginAnswers.append(ScriptedPrompts::Login{});
    m_win->findChild<QAction*>("MenuBancos0")->trigger();
    QVERIFY(m_dm->Banco->connected());
    m_prompts->clear();
}

void TestPrincipal::insertPending(int id) {
    Statement st(TdM::instance()->Banco, TdM::instance()->Trans);
    st.prepare(QStringLiteral("insert into T (ID) values (%1)").arg(id));
    st.execute();
}

// --- Menu and tool bar ----------------------------------------------------------------------------

void TestPrincipal::menuStructure_data() {
    QTest::addColumn<QString>("menu"); // "MM": the menu bar itself
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("MM") << "MM"
                        << QStringList{"Banco1", "AtualizaeseConsultas1", "Administracao1", "AcertaJanelas1",
                                       "Bancos", "Morvex1"}
                        << QStringList{"&Banco", "Atualizações e Consultas", "A&dministração", "Acerta Janelas",
                                       "Conexões", "Morvex"};
    QTest::newRow("Banco1") << "Banco1" << QStringList{"AbreBanco1", "FechaBanco1", "N1", "Sada1"}
                            << QStringList{"&Abre Banco", "&Fecha Banco", "-", "&Saída"};
    QTest::newRow("AtualizaeseConsultas1") << "AtualizaeseConsultas1" << QStringList{"ComandosSQL1", "Tabelas1"}
                                           << QStringList{"&Comandos SQL's", "&Tabelas"};
    QTest::newRow("Administracao1") << "Administracao1"
                                    << QStringList{"Backup1", "Restauracao1", "EstatisticasdoBanco1", "Manutencao1",
                                                   "PropriedadesdoBanco1", "N2", "Monitordeconexes1",
                                                   "Usuriosepermisses1", "N3", "ObjetosdoBanco1", "ExtraiDDL1"}
                                    << QStringList{"&Backup...", "&Restauração...", "&Estatísticas do banco",
                                                   "&Manutenção...", "&Propriedades do banco...", "-",
                                                   "M&onitor de conexões", "&Usuários e permissões", "-",
                                                   "Objetos do ban&co", "E&xtrai DDL..."};
}

void TestPrincipal::menuStructure() {
    QFETCH(QString, menu);
    QFETCH(QStringList, names);
    QFETCH(QStringList, captions);
    createWindow();
    QCOMPARE(m_win->objectName(), QStringLiteral("Principal"));
    QCOMPARE(m_win->windowTitle(), QStringLiteral("Administração de Bancos de Dados Firebird"));
    QCOMPARE(m_win->menuBar()->objectName(), QStringLiteral("MM"));

    const QList<QAction*> actions = menu == "MM" ? m_win->menuBar()->actions()
                                                 : m_win->findChild<QMenu*>(menu)->actions();
    QCOMPARE(actionNames(actions), names);
    QCOMPARE(actionTexts(actions), captions);
    if (menu == "MM") {
        // "Acerta Janelas" and "Morvex" act at once; the others open a menu.
        QVERIFY(!m_win->AcertaJanelas1->menu());
        QVERIFY(!m_win->Morvex1->menu());
        QVERIFY(m_win->Bancos->actions().isEmpty()); // no Conexoes.New yet
    }
}

void TestPrincipal::toolBar_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("subject");

    QTest::newRow("Tcon") << "Tcon" << "Conecta ao banco de dados" << "network-drive";
    QTest::newRow("Tdis") << "Tdis" << "Disconecta o banco de dados" << "network-drive-cross";
    QTest::newRow("TTab") << "TTab" << "Abre tabela" << "folder-check";
    QTest::newRow("TSql") << "TSql" << "Comandos SQL's" << "page-brush";
    QTest::newRow("ToolButton6") << "ToolButton6" << "" << "running-figure";
}

void TestPrincipal::toolBar() {
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QFETCH(QString, subject);
    createWindow();
    QToolBar* bar = m_win->findChild<QToolBar*>("ToolBar1");
    QVERIFY(bar);
    QStringList order;
    for (QAction* a : bar->actions()) order.append(bar->widgetForAction(a)->objectName());
    QCOMPARE(order, (QStringList{"Tcon", "Tdis", "TTab", "TSql", "ToolButton5", "ToolButton6"}));
    QCOMPARE(m_win->ToolButton5->width(), 79);

    auto* b = bar->findChild<QToolButton*>(name);
    QVERIFY(b);
    QCOMPARE(b->toolTip(), hint);
    QCOMPARE(b->size(), QSize(39, 38));
    QCOMPARE(b->iconSize(), QSize(32, 32));
    QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
    // The button shows the drawing of its subject.
    const QImage shown = b->icon().pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = subjectPixmap(subject, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!drawn.isNull());
    QCOMPARE(shown, drawn);
}

void TestPrincipal::handlerMessages_data() {
    QTest::addColumn<QString>("control"); // an action of the menu or a tool-bar button
    QTest::addColumn<QString>("currentDatabase");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");

    const int warning = int(MsgIcon::Warning), error = int(MsgIcon::Error);
    const QString connected = "Banco de Dados já está conectado !!!!";
    const QString notConnected = "Banco de Dados não está conectado !!!!";
    const QString neverConnected = "Banco não foi conectado....";
    for (const char* c : {"AbreBanco1", "Tcon"})
        QTest::newRow(c) << c << "x.fdb" << connected << "Atenção" << warning;
    for (const char* c : {"Tabelas1", "TTab", "ComandosSQL1", "TSql"}) {
        QTest::newRow(c) << c << "" << notConnected << "Atenção" << warning;
        QTest::addRow("%s blank", c) << c << "   " << notConnected << "Atenção" << warning;
    }
    for (const char* c : {"FechaBanco1", "Tdis"}) {
        QTest::newRow(c) << c << "" << neverConnected << "Erro" << error;
        QTest::addRow("%s blank", c) << c << "  " << neverConnected << "Erro" << error;
    }
    for (const char* c : {"Sada1", "ToolButton6"})
        QTest::newRow(c) << c << "" << "Sai do Sistema de Administração de Banco ????" << "Atenção" << warning;
}

void TestPrincipal::handlerMessages() {
    QFETCH(QString, control);
    QFETCH(QString, currentDatabase);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    createWindow();
    CurrentDatabase = currentDatabase;

    if (auto* b = m_win->findChild<QToolButton*>(control))
        b->click();
    else
        m_win->findChild<QAction*>(control)->trigger();

    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest& m = m_prompts->messages.first();
    QCOMPARE(m.text, text);
    QCOMPARE(m.caption, caption);
    QCOMPARE(int(m.icon), icon);
    QVERIFY(m_win->ClientArea->subWindowList().isEmpty());
    QVERIFY(m_win->isVisible()); // the exit question was answered with its default, "No"
}

// --- "Conexões" -------------------------------------------------------------------------------------

void TestPrincipal::conexoesMenu_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QStringList>("lines"); // whole lines of the file
    QTest::addColumn<QStringList>("captions");

    const QString a = "servidor:/dados/vendas.fdb", b = "\\\\serv\\c:\\dados\\estoque.gdb";
    QTest::newRow("three entries, duplicates kept")
        << true << QStringList{conexoesLine(a), conexoesLine(b), conexoesLine(a)} << QStringList{a, b, a};
    QTest::newRow("blanks trimmed, Windows-1252 text")
        << true << QStringList{conexoesLine("  São Paulo:/dados/ação.fdb  ")} << QStringList{"São Paulo:/dados/ação.fdb"};
    QTest::newRow("line shorter than 117 characters")
        << true << QStringList{QString(116, 'x'), conexoesLine(a)} << QStringList{"", a};
    QTest::newRow("line ending inside the field")
        << true << QStringList{QString(116, ' ') + "srv:/d.fdb"} << QStringList{"srv:/d.fdb"};
    QTest::newRow("only 100 characters are the field")
        << true << QStringList{QString(116, ' ') + QString(100, 'c') + "TAIL"} << QStringList{QString(100, 'c')};
    QTest::newRow("empty file") << true << QStringList{} << QStringList{};
    QTest::newRow("no file yet") << false << QStringList{} << QStringList{};
}

void TestPrincipal::conexoesMenu() {
    QFETCH(bool, fileExists);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, captions);
    if (fileExists) {
        QFile f(applicationFile("Conexoes.New"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (const QString& l : lines) f.write(toCp1252(l + "\r\n"));
    }
    createWindow();
    QVERIFY2(m_prompts->messages.isEmpty(), "no error box at start-up");

    const QList<QAction*> entries = m_win->Bancos->actions();
    QCOMPARE(entries.size(), captions.size());
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries[i]->objectName(), QStringLiteral("MenuBancos%1").arg(i));
        QCOMPARE(entries[i]->text(), captions[i]);
        QCOMPARE(entries[i]->data().toString(), captions[i]);
    }

    // Showing the window again does not fill the menu twice.
    m_win->hide();
    m_win->show();
    QCOMPARE(m_win->Bancos->actions().size(), captions.size());
}

void TestPrincipal::unreadableConexoesIsReported() {
    // A folder where the file should be: it exists, but cannot be read as a file.
    QVERIFY(QDir(m_appDir->path()).mkdir("Conexoes.New"));
    createWindow();
    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest& m = m_prompts->messages.first();
    const QString path = applicationFile("Conexoes.New");
    QVERIFY2(m.text.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)), qPrintable(m.text));
    QCOMPARE(m.caption, applicationTitle());
    QCOMPARE(m.icon, MsgIcon::Error);
    QCOMPARE(m.buttons, int(MbOk));
    QVERIFY(m_win->isVisible());
    QVERIFY(m_win->Bancos->actions().isEmpty());
}

// --- Closing the database and leaving ---------------------------------------------------------------

void TestPrincipal::closeDatabaseQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("disconnected");
    QTest::newRow("No keeps everything") << int(MbNo) << false;
    QTest::newRow("Yes disconnects") << int(MbYes) << true;
}

void TestPrincipal::closeDatabaseQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, disconnected);
    TempDatabase db(kTable);
    openThroughMenu(db);
    QVERIFY(m_dm->Banco->connected());
    insertPending(7);
    QCOMPARE(rowsOf(db), QString()); // not yet visible to others

    // A child window that must close with the database.
    auto* child = new QWidget;
    child->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> frame = showChild(child);
    QVERIFY(frame);

    m_prompts->clear();
    m_prompts->messageAnswers.append(MsgButton(answer));
    m_win->FechaBanco1->trigger();
    flushDeletes();

    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest& m = m_prompts->messages.first();
    QCOMPARE(m.text, QStringLiteral("Deseja disconectar o banco ") + db.path());
    QCOMPARE(m.caption, QStringLiteral("Erro"));
    QCOMPARE(m.icon, MsgIcon::Warning);
    QCOMPARE(m.buttons, int(MbYes | MbNo));
    QCOMPARE(m.defaultButton, MbNo);

    QCOMPARE(m_dm->Banco->connected(), !disconnected);
    QCOMPARE(CurrentDatabase.isEmpty(), disconnected);
    QCOMPARE(frame.isNull(), disconnected);
    QCOMPARE(rowsOf(db), disconnected ? QStringLiteral("7") : QString()); // pending work committed
}

void TestPrincipal::leaveQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("No keeps running") << int(MbNo) << false;
    QTest::newRow("Yes leaves") << int(MbYes) << true;
}

void TestPrincipal::leaveQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    createWindow();
    m_prompts->messageAnswers.append(MsgButton(answer));
    QCOMPARE(m_win->close(), closes);
    QCOMPARE(m_win->isVisible(), !closes);
    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest& m = m_prompts->messages.first();
    QCOMPARE(m.text, QStringLiteral("Sai do Sistema de Administração de Banco ????"));
    QCOMPARE(m.caption, QStringLiteral("Atenção"));
    QCOMPARE(m.icon, MsgIcon::Warning);
    QCOMPARE(m.buttons, int(MbYes | MbNo));
    QCOMPARE(m.defaultButton, MbNo);
}

// --- Clock, pictures, about window, tool windows ---------------------------------------------------

void TestPrincipal::clockPanels() {
    createWindow();
    m_win->currentTime = [] { return QTime(9, 5, 3); };
    QVERIFY(m_win->Timer1->isActive());
    QCOMPARE(m_win->Timer1->interval(), 1000);
    QCOMPARE(m_win->SBPanel0->width(), 100);
    QCOMPARE(m_win->SBPanel0->alignment(), Qt::AlignCenter);
    QCOMPARE(m_win->SBPanel1->alignment(), Qt::AlignCenter);
    // Both panels stay empty until the first tick.
    QCOMPARE(m_win->SBPanel0->text(), QString());
    QCOMPARE(m_win->SBPanel1->text(), QString());

    QSignalSpy ticks(m_win->Timer1, &QTimer::timeout);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(m_win->SBPanel0->text(), QStringLiteral("09:05:03"));
    QCOMPARE(m_win->SBPanel1->text(), QStringLiteral("Sistema de Administração de Base de Dados Firebird"));

    // The second panel takes the rest of the bar.
    m_win->resize(800, 600);
    QTRY_VERIFY(m_win->SBPanel1->width() > 600);

    m_win->currentTime = [] { return QTime(23, 59, 59); };
    m_win->Timer1Timer();
    QCOMPARE(m_win->SBPanel0->text(), QStringLiteral("23:59:59"));
    m_win->currentTime = [] { return QTime(0, 0, 0); };
    m_win->Timer1Timer();
    QCOMPARE(m_win->SBPanel0->text(), QStringLiteral("00:00:00"));
}

void TestPrincipal::clientPicture() {
    createWindow();
    m_win->resize(900, 700);
    QLabel* picture = m_win->findChild<QLabel*>("Image1");
    QVERIFY(picture);
    QCOMPARE(picture->alignment(), Qt::AlignCenter);
    QTRY_COMPARE(picture->geometry(), m_win->ClientArea->viewport()->rect());
    QCOMPARE(picture->pixmap().size(), QSize(204, 191));
    // Child windows are in front of the picture.
    auto* child = new QWidget;
    child->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* frame = showChild(child);
    const QObjectList order = m_win->ClientArea->viewport()->children();
    QVERIFY(order.indexOf(picture) < order.indexOf(frame));
}

void TestPrincipal::aboutWindow() {
    createWindow();
    QString title, name;
    QSize size;
    bool okFound = false;
    QTimer::singleShot(0, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        title = w->windowTitle();
        name = w->objectName();
        size = w->size();
        auto* ok = w->findChild<QPushButton*>("OKButton");
        okFound = ok != nullptr;
        if (ok)
            ok->click();
        else
            w->close();
    });
    m_win->Morvex1->trigger();
    QCOMPARE(name, QStringLiteral("Morvex"));
    QCOMPARE(title, QStringLiteral("Morvex - Informática"));
    QCOMPARE(size, QSize(572, 314));
    QVERIFY(okFound);
    QVERIFY(!m_win->findChild<TMorvex*>()); // released when it closed

    // Every line of text fits beside the picture, shadow included.
    const QFontMetrics fm(TMorvex::textFont());
    QCOMPARE(TMorvex::serviceLines().size(), 6);
    for (const QString& line : TMorvex::serviceLines())
        QVERIFY2(fm.horizontalAdvance(line) + 1 <= TMorvex::textArea().width(), qPrintable(line));
    QVERIFY(TMorvex::textArea().left() >= 8 + 204);
}

// --- Connecting from "Conexões" ------------------------------------------------------------------------

void TestPrincipal::connectFromMenuEntry() {
    TempDatabase db(kTable);
    writeConexoes({db.path()});
    createWindow();
    m_prompts->loginAnswers.append(ScriptedPrompts::Login{true, "SYSDBA", "masterkey"});

    m_win->findChild<QAction*>("MenuBancos0")->trigger();

    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(m_prompts->logins.size(), 1);
    QCOMPARE(m_prompts->logins.first().databaseName, db.path());
    QCOMPARE(m_prompts->logins.first().userName, QStringLiteral("SYSDBA"));
    QCOMPARE(CurrentDatabase, db.path());
    QVERIFY(m_dm->Banco->connected());
    QVERIFY(m_dm->Trans->inTransaction());
    // The password was used for this attach only.
    QVERIFY(!m_dm->Banco->params().join('\n').contains("masterkey"));

    // Now a database is open: the open-database dialog refuses.
    m_win->AbreBanco1->trigger();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.first().text, QStringLiteral("Banco de Dados já está conectado !!!!"));
}

void TestPrincipal::menuEntrySwitchesDatabases() {
    TempDatabase first(kTable, "UTF8", "first.fdb");
    TempDatabase second(kTable, "UTF8", "second.fdb");
    writeConexoes({first.path(), second.path()});
    createWindow();
    m_prompts->defaultLogin = ScriptedPrompts::Login{};

    m_win->findChild<QAction*>("MenuBancos0")->trigger();
    insertPending(1);
    auto* child = new QWidget;
    child->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> frame = showChild(child);

    m_win->findChild<QAction*>("MenuBancos1")->trigger();
    flushDeletes();

    QVERIFY2(m_prompts->messages.isEmpty(), "no question when switching");
    QCOMPARE(rowsOf(first), QStringLiteral("1")); // committed on the way out
    QVERIFY(frame.isNull());
    QCOMPARE(CurrentDatabase, second.path());
    QCOMPARE(m_dm->Banco->databaseName(), second.path());
    QVERIFY(m_dm->Banco->connected());
    insertPending(2);
    m_prompts->messageAnswers.append(MbYes);
    m_win->FechaBanco1Click();
    QCOMPARE(rowsOf(second), QStringLiteral("2"));
    QCOMPARE(rowsOf(first), QStringLiteral("1"));
}

void TestPrincipal::failedMenuConnectionLeavesNothingOpen_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("message"); // empty: the server's own
    QTest::newRow("login cancelled") << true << "Operation cancelled at user's request.";
    QTest::newRow("no such database") << false << "";
}

void TestPrincipal::failedMenuConnectionLeavesNothingOpen() {
    QFETCH(bool, cancel);
    QFETCH(QString, message);
    TempDatabase db(kTable);
    const QString target = cancel ? db.path() : db.dir() + "/missing.fdb";
    writeConexoes({target});
    createWindow();
    m_prompts->loginAnswers.append(ScriptedPrompts::Login{!cancel, "SYSDBA", ""});

    m_win->findChild<QAction*>("MenuBancos0")->trigger();

    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest& m = m_prompts->messages.first();
    if (!message.isEmpty()) QCOMPARE(m.text, message);
    QVERIFY(!m.text.isEmpty());
    QCOMPARE(m.caption, applicationTitle());
    QCOMPARE(m.icon, MsgIcon::Error);
    QVERIFY(!m_dm->Banco->connected());
    QCOMPARE(CurrentDatabase, QString());

    // The program is back at its start-up state: closing says nothing was connected, and the
    // entry can be tried again.
    m_prompts->clear();
    m_win->FechaBanco1->trigger();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.first().text, QStringLiteral("Banco não foi conectado...."));
    if (cancel) {
        m_prompts->clear();
        m_prompts->loginAnswers.append(ScriptedPrompts::Login{});
        m_win->findChild<QAction*>("MenuBancos0")->trigger();
        QVERIFY(m_prompts->messages.isEmpty());
        QVERIFY(m_dm->Banco->connected());
    }
}

void TestPrincipal::tableListIsSingleInstance() {
    TempDatabase db(kTable);
    openThroughMenu(db);

    m_win->Tabelas1->trigger();
    QPointer<QWidget> list = m_win->tabelasWindow();
    QVERIFY(qobject_cast<TTabelas*>(list));
    QVERIFY(TPrincipal::FormExists(list));
    QWidget* frame = childFrame(list);
    frame->showMinimized();
    QVERIFY(frame->isMinimized());

    m_win->TTab->click();
    QCOMPARE(m_win->tabelasWindow(), list.data());
    QCOMPARE(m_win->findChildren<TTabelas*>().size(), 1);
    QVERIFY(!frame->isMinimized());
    QCOMPARE(m_win->ClientArea->activeSubWindow(), frame);
    QVERIFY(m_win->updatesEnabled()); // drawing resumed

    // Once closed, the next request makes a new one.
    frame->close();
    flushDeletes();
    QVERIFY(list.isNull());
    QVERIFY(!TPrincipal::FormExists(m_win->tabelasWindow()));
    m_win->Tabelas1->trigger();
    QVERIFY(qobject_cast<TTabelas*>(m_win->tabelasWindow()));
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestPrincipal::newSqlWindowEachTime() {
    TempDatabase db(kTable);
    openThroughMenu(db);

    m_win->ComandosSQL1->trigger();
    m_win->TSql->click();
    const QList<QMdiSubWindow*> frames = m_win->ClientArea->subWindowList();
    QCOMPARE(m_win->findChildren<TFSql*>().size(), 2);
    QCOMPARE(frames.size(), 2);
    // Cascaded: the second one offset down and right from the first.
    QVERIFY(frames[1]->x() > frames[0]->x());
    QVERIFY(frames[1]->y() > frames[0]->y());
    QVERIFY(m_win->updatesEnabled());
    QVERIFY(m_prompts->messages.isEmpty());

    // Closing the database closes them.
    m_prompts->messageAnswers.append(MbYes);
    m_win->Tdis->click();
    flushDeletes();
    QCOMPARE(m_win->findChildren<TFSql*>().size(), 0);
}

void TestPrincipal::exitCommitsPendingWork() {
    TempDatabase db(kTable);
    openThroughMenu(db);
    insertPending(3);
    m_prompts->messageAnswers.append(MbYes);
    QVERIFY(m_win->close());
    // As main() ends: the windows go, then the connection holder.
    m_win.reset();
    m_dm.reset();
    QCOMPARE(rowsOf(db), QStringLiteral("3"));
}

QTEST_MAIN(TestPrincipal)
#include "test_principal.moc"
