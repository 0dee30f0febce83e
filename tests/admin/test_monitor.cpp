// The connection monitor on the loopback server: other programs' attachments (made here by the
// test) are listed with their running statements, ended or cancelled after a question; the
// program's own attachments are marked and never ended; a user who is not an administrator is told
// that the list holds only their own attachments.
#include "admin/monitormodels.h"
#include "admin/monitorsession.h"
#include "admin/ui/fmonitor.h"
#include "connection/connectionjob.h"
#include "connection/dm.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "platform/ui/icons.h"
#include "shell/ui/principal.h"
#include "support/adminfixture.h"
#include "support/connectedholder.h"
#include "support/errortext.h"
#include "support/files.h"
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void listsAnotherAttachmentAndEndsIt();
    void cancelsALongStatementAndShowsItsPlan();
    void refusesToEndTheProgramsOwnAttachments();
    void refreshesByItselfWhenAsked();
    void marksTheTransactionHoldingTheOldestActiveBack();
    void userWhoIsNotAdministratorIsTold();
    void menuOpensOneMonitor();
    void worksOnALocalFile();

private:
    // Another program's attachment running a long statement, and the monitor showing it chosen.
    struct OtherProgram {
        std::unique_ptr<TestConnection> connection;
        qint64 id = 0;
        QString sql;
        std::unique_ptr<RunningStatement> running;
    };
    void startOtherProgram(OtherProgram& other, TFMonitor& w);
    // The program logged in to the test's database as `user`.
    void connectProgram(const QString& user = QStringLiteral("SYSDBA"), const QString& password = QString());
    // Refreshes until `id` is listed with a statement whose text is `sql` (the other program may
    // not have sent it yet).
    bool waitForStatement(TFMonitor& w, qint64 id, const QString& sql);
    void refreshAndWait(TFMonitor& w);

    std::unique_ptr<ServerDatabase> m_db;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TdM> m_dm;
};

void TestMonitor::init() {
    resetConnectionState();
    m_db = std::make_unique<ServerDatabase>(QStringList{QStringLiteral("create table T (ID integer)")});
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_dm = std::make_unique<TdM>();
}

void TestMonitor::cleanup() {
    try {
        if (m_dm->Banco->connected()) m_dm->DisconnectDatabase();
    } catch (...) {
    }
    m_dm.reset();
    m_prompts.reset();
    m_db.reset();
    resetConnectionState();
}

void TestMonitor::connectProgram(const QString& user, const QString& password) {
    m_prompts->defaultLogin =
        ScriptedPrompts::Login{true, user, password.isNull() ? testServerPassword() : password};
    CurrentDatabase = m_db->connectionString();
    m_dm->ConnectDatabase(CurrentDatabase);
    QVERIFY(m_dm->Banco->attachmentId() > 0);
    m_prompts->clear();
}

void TestMonitor::refreshAndWait(TFMonitor& w) {
    QSignalSpy refreshed(w.session(), &MonitorSession::refreshed);
    w.BAtualiza->click();
    QVERIFY(refreshed.wait(20000));
}

bool TestMonitor::waitForStatement(TFMonitor& w, qint64 id, const QString& sql) {
    for (int i = 0; i < 100; ++i) {
        refreshAndWait(w);
        for (const MonStatement& s : w.session()->snapshot().statementsOf(id))
            if (s.text == sql) return true;
        QTest::qWait(100);
    }
    return false;
}

void TestMonitor::startOtherProgram(OtherProgram& other, TFMonitor& w) {
    other.connection = serverConnection(m_db->connectionString());
    other.connection->open();
    other.id = other.connection->db.attachmentId();
    other.sql = longStatement();
    other.running = std::make_unique<RunningStatement>(*other.connection, other.sql);
    w.show();
    QVERIFY(waitForStatement(w, other.id, other.sql));
    QVERIFY(w.selectAttachment(other.id));
}

void TestMonitor::listsAnotherAttachmentAndEndsIt() {
    connectProgram();
    TFMonitor w;
    OtherProgram o;
    startOtherProgram(o, w);
    if (QTest::currentTestFailed()) return;
    const qint64 otherId = o.id;
    const QString& sql = o.sql;
    TestConnection* other = o.connection.get();
    RunningStatement& running = *o.running;

    // The other attachment, with its user and process, and the statement it runs.
    const int row = w.Conexoes->rowOf(otherId);
    const QAbstractItemModel* m = w.GConexoes->model();
    QCOMPARE(m->index(row, 0).data().toString(), QString::number(otherId));
    QCOMPARE(m->index(row, 1).data().toString(), QStringLiteral("SYSDBA"));
    QCOMPARE(m->index(row, 7).data().toString(), QStringLiteral("TCPv4"));
    QCOMPARE(m->index(row, 5).data().toString(), QString::number(QCoreApplication::applicationPid()));
    QCOMPARE(w.Comandos->rowCount(), 1);
    QCOMPARE(w.GComandos->model()->index(0, 2).data().toString(), QStringLiteral("Em execução"));
    QCOMPARE(w.GComandos->model()->index(0, 5).data().toString(), sql);
    QCOMPARE(w.MemoComando->toPlainText(), sql);
    QVERIFY(w.Transacoes->rowCount() >= 1);
    // The engine's own attachments are not listed.
    for (const MonAttachment& a : w.session()->snapshot().attachments) {
        QVERIFY(a.user != QLatin1String("Cache Writer"));
        QVERIFY(a.user != QLatin1String("Garbage Collector"));
    }

    // Ended after a question that names it.
    m_prompts->messageAnswers << MbYes;
    QSignalSpy refreshed(w.session(), &MonitorSession::refreshed);
    w.BEncerra->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    const MessageRequest q = m_prompts->messages.first();
    QCOMPARE(q.caption, QStringLiteral("Atenção"));
    QCOMPARE(q.buttons, int(MbYes | MbNo));
    QCOMPARE(q.defaultButton, MbNo);
    QVERIFY2(q.text.startsWith(QStringLiteral("Encerrar a conexão nº %1 do usuário SYSDBA (").arg(otherId)),
             qPrintable(q.text));
    QVERIFY(refreshed.wait(20000));

    // Its owner's statement fails with the lost connection, and so does anything it sends after.
    const std::exception_ptr error = running.wait();
    QVERIFY(error);
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        QVERIFY2(e.connectionLost(), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("connection shutdown")), qPrintable(e.message()));
    } catch (const std::exception& e) {
        QFAIL(e.what());
    }
    try {
        Statement st(&other->db, &other->tr);
        st.prepare(QStringLiteral("select 1 from RDB$DATABASE"));
        QFAIL("the ended attachment still answers");
    } catch (const DbError& e) {
        QVERIFY2(e.connectionLost(), qPrintable(e.message()));
    } catch (const std::exception& e) {
        QFAIL(e.what());
    }
    QTRY_VERIFY_WITH_TIMEOUT((refreshAndWait(w), w.Conexoes->rowOf(otherId) < 0), 20000);
    QVERIFY(m_prompts->errorReports().isEmpty());
    // The program's own connection is untouched.
    QVERIFY(w.Conexoes->rowOf(m_dm->Banco->attachmentId()) >= 0);
}

void TestMonitor::cancelsALongStatementAndShowsItsPlan() {
    connectProgram();
    TFMonitor w;
    OtherProgram o;
    startOtherProgram(o, w);
    if (QTest::currentTestFailed()) return;
    const qint64 otherId = o.id;
    const QString& sql = o.sql;
    TestConnection* other = o.connection.get();
    RunningStatement& running = *o.running;
    const qint64 statementId = w.Comandos->idAt(0);
    QVERIFY(w.selectStatement(statementId));

    // The plan, on request, under the statement's text.
    QSignalSpy planned(w.session(), &MonitorSession::planRead);
    w.BPlano->click();
    QVERIFY(planned.wait(20000));
    QVERIFY2(w.MemoComando->toPlainText().startsWith(sql + QStringLiteral("\n\n-- Plano:\n")),
             qPrintable(w.MemoComando->toPlainText()));
    QVERIFY(w.MemoComando->toPlainText().contains(QStringLiteral("Table \"RDB$TYPES\" as \"D\" Full Scan")));

    // "No" leaves it running.
    m_prompts->messageAnswers << MbNo;
    w.BCancela->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages[0].text.startsWith(
                 QStringLiteral("Cancelar o comando nº %1 da conexão nº %2 do usuário SYSDBA").arg(statementId).arg(otherId)),
             qPrintable(m_prompts->messages[0].text));
    QVERIFY(m_prompts->messages[0].text.endsWith(QStringLiteral("?\r\n\r\n") + sql));
    QCOMPARE(m_prompts->messages[0].defaultButton, MbNo);
    QTest::qWait(300);
    QVERIFY(!running.finished());

    m_prompts->messageAnswers << MbYes;
    w.BCancela->click();
    const std::exception_ptr error = running.wait();
    QVERIFY(ConnectionJob::isCancellation(error));
    // The attachment lives on and answers.
    QCOMPARE(errorText([&] {
                 Statement st(&other->db, &other->tr);
                 st.prepare(QStringLiteral("select 1 from RDB$DATABASE"));
                 st.execute();
                 st.fetch();
             }),
             QStringLiteral("<no error>"));
    QTRY_VERIFY_WITH_TIMEOUT((refreshAndWait(w), w.session()->snapshot().statement(statementId) == nullptr ||
                                                     w.session()->snapshot().statement(statementId)->text != sql),
                             20000);
    QVERIFY(w.Conexoes->rowOf(otherId) >= 0);
    QVERIFY(m_prompts->errorReports().isEmpty());
}

void TestMonitor::refusesToEndTheProgramsOwnAttachments() {
    connectProgram();
    TFMonitor w;
    w.show();
    refreshAndWait(w);
    const MonitorSnapshot& s = w.session()->snapshot();
    const qint64 program = m_dm->Banco->attachmentId();
    const qint64 monitor = s.monitorAttachment;
    QVERIFY(monitor != program);
    QCOMPARE(w.GConexoes->model()->index(w.Conexoes->rowOf(program), 0).data().toString(),
             QStringLiteral("%1 (este programa)").arg(program));
    QCOMPARE(w.GConexoes->model()->index(w.Conexoes->rowOf(monitor), 0).data().toString(),
             QStringLiteral("%1 (este monitor)").arg(monitor));

    const struct {
        qint64 id;
        QString refusal;
    } cases[] = {
        {program, QStringLiteral("A conexão nº %1 é a do próprio programa e não pode ser encerrada pelo monitor. "
                                 "Para fechá-la, use \"Fecha Banco\".")
                      .arg(program)},
        {monitor,
         QStringLiteral("A conexão nº %1 é a do próprio monitor e não pode ser encerrada por ele.").arg(monitor)},
    };
    for (const auto& c : cases) {
        m_prompts->clear();
        QVERIFY(w.selectAttachment(c.id));
        w.BEncerra->click();
        QCOMPARE(m_prompts->messages.size(), 1); // no question asked
        QCOMPARE(m_prompts->messages[0].text, c.refusal);
        QCOMPARE(m_prompts->messages[0].caption, QStringLiteral("Erro"));
        QCOMPARE(m_prompts->messages[0].icon, MsgIcon::Error);
    }
    // The server refuses as well, should the list be out of date.
    QCOMPARE(errorText([&] { endAttachment(w.session()->connection(), program); }),
             QStringLiteral("A conexão nº %1 não foi encerrada: ela já não existe ou é do próprio programa.").arg(program));
    refreshAndWait(w);
    QVERIFY(w.Conexoes->rowOf(program) >= 0);
    QVERIFY(w.Conexoes->rowOf(monitor) >= 0);
    QCOMPARE(errorText([&] { executeImmediate(m_dm->Banco, m_dm->Trans, QStringLiteral("insert into T values (1)")); }),
             QStringLiteral("<no error>"));
}

void TestMonitor::refreshesByItselfWhenAsked() {
    connectProgram();
    TFMonitor w;
    w.show();
    refreshAndWait(w);
    QSignalSpy refreshed(w.session(), &MonitorSession::refreshed);
    w.SEIntervalo->setValue(1);
    w.CBAutomatico->click();
    QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 3, 20000);
    w.CBAutomatico->click();
    QVERIFY(!w.Timer1->isActive());
}

// The program's default transaction, open and idle since the login, is older than the other's and
// than the monitor's own reading.
void TestMonitor::marksTheTransactionHoldingTheOldestActiveBack() {
    connectProgram();
    auto other = serverConnection(m_db->connectionString());
    other->open();
    TFMonitor w;
    w.show();
    refreshAndWait(w);
    const MonitorSnapshot& s = w.session()->snapshot();
    QList<MonTransaction> marked;
    for (const MonTransaction& t : s.transactions)
        if (t.oldestActive) marked << t;
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked[0].attachmentId, m_dm->Banco->attachmentId());
    QCOMPARE(marked[0].id, s.oldestActive);
    QVERIFY(!marked[0].active); // idle, not running anything
    QVERIFY(w.selectAttachment(m_dm->Banco->attachmentId()));
    const QModelIndex first = w.GTransacoes->model()->index(w.Transacoes->rowOf(marked[0].id), 0);
    QCOMPARE(first.data().toString(), QStringLiteral("%1 (mais antiga ativa)").arg(marked[0].id));
    QCOMPARE(first.siblingAtColumn(2).data().toString(), QStringLiteral("Ociosa"));
}

void TestMonitor::userWhoIsNotAdministratorIsTold() {
    TestUsers users(m_db->connectionString());
    const QString password = QStringLiteral("pa'ss");
    const QString user = users.create(password, QStringLiteral("MON"));
    // SYSDBA's attachment, which the user may not see.
    auto sysdba = serverConnection(m_db->connectionString());
    sysdba->open();
    connectProgram(user, password);

    TFMonitor w;
    w.show();
    refreshAndWait(w);
    QVERIFY(!w.LAviso->isHidden());
    QCOMPARE(w.LAviso->text(), QStringLiteral("O usuário %1 não é administrador deste banco: a lista mostra só as "
                                              "conexões dele. Entre como SYSDBA, como dono do banco ou com o papel "
                                              "RDB$ADMIN para ver todas.")
                                   .arg(user));
    QVERIFY(w.Conexoes->rowOf(sysdba->db.attachmentId()) < 0);
    for (const MonAttachment& a : w.session()->snapshot().attachments)
        QCOMPARE(a.user, user);
    QVERIFY(w.Conexoes->rowOf(m_dm->Banco->attachmentId()) >= 0);
}

void TestMonitor::menuOpensOneMonitor() {
    TempAppDirectory dir;
    TPrincipal win;
    win.show();
    emit win.Administracao1->aboutToShow();
    QVERIFY(!win.Monitordeconexes1->isEnabled());
    QVERIFY(!win.Usuriosepermisses1->isEnabled());
    connectProgram();
    emit win.Administracao1->aboutToShow();
    QVERIFY(win.Monitordeconexes1->isEnabled());
    QVERIFY(win.Usuriosepermisses1->isEnabled());
    win.Monitordeconexes1->trigger();
    win.Monitordeconexes1->trigger();
    QCOMPARE(win.findChildren<TFMonitor*>().size(), 1);
    TFMonitor* w = win.findChildren<TFMonitor*>().first();
    QSignalSpy refreshed(w->session(), &MonitorSession::refreshed);
    QVERIFY(refreshed.wait(20000));
    QVERIFY(m_prompts->errorReports().isEmpty());

    // Closing the database closes the monitor, and its attachment with it.
    m_prompts->messageAnswers << MbYes;
    win.FechaBanco1->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(win.findChildren<TFMonitor*>().isEmpty());
    QVERIFY(m_prompts->errorReports().isEmpty());
}

// A database opened as a local file goes through the embedded engine in this process; the
// monitor's attachment does too, and sees the program's.
void TestMonitor::worksOnALocalFile() {
    m_prompts->defaultLogin = ScriptedPrompts::Login{true, QStringLiteral("SYSDBA"), QString()};
    CurrentDatabase = m_db->file().path();
    m_dm->ConnectDatabase(CurrentDatabase);
    TFMonitor w;
    w.show();
    refreshAndWait(w);
    const int row = w.Conexoes->rowOf(m_dm->Banco->attachmentId());
    QVERIFY(row >= 0);
    QCOMPARE(w.GConexoes->model()->index(row, 7).data().toString(), QStringLiteral("embutido"));
    QCOMPARE(w.Conexoes->rowCount(), 2);
    QVERIFY(m_prompts->errorReports().isEmpty());
}

QTEST_MAIN(TestMonitor)
#include "test_monitor.moc"
