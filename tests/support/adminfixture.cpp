#include "support/adminfixture.h"
#include "admin/adminsql.h"
#include "connection/statement.h"
#include "platform/apperror.h"
#include "support/testconnection.h"
#include <QCoreApplication>
#include <QProcess>
#include <QThread>

ServerDatabase::ServerDatabase(const QStringList& ddl) : m_db(ddl) {}

QString ServerDatabase::connectionString() const {
    return testServerHost() + ':' + const_cast<TempDatabase&>(m_db).path();
}

std::unique_ptr<TestConnection> serverConnection(const QString& connectionString, const QString& user,
                                                 const QString& password, const QString& role) {
    auto c = std::make_unique<TestConnection>(connectionString);
    c->db.params() = QStringList{QStringLiteral("user_name=") + user,
                                 QStringLiteral("password=") + (password.isNull() ? testServerPassword() : password)};
    if (!role.isEmpty()) c->db.params() << QStringLiteral("sql_role_name=") + role;
    return c;
}

namespace {
int g_userCount = 0;
}

QString TestUsers::name(const QString& suffix) {
    return QStringLiteral("FBT_%1_%2%3")
        .arg(QCoreApplication::applicationPid())
        .arg(++g_userCount)
        .arg(suffix.isEmpty() ? QString() : '_' + suffix);
}

QString TestUsers::create(const QString& password, const QString& suffix) {
    const QString n = name(suffix);
    auto c = serverConnection(m_cs);
    c->open();
    executeImmediate(&c->db, &c->tr,
                     QStringLiteral("create user %1 password %2").arg(sqlName(n), sqlText(password)));
    c->tr.commit();
    m_names.append(n);
    return n;
}

bool TestUsers::exists(const QString& exactName) const {
    auto c = serverConnection(m_cs);
    c->open();
    Statement st(&c->db, &c->tr);
    st.prepare(QStringLiteral("select count(*) from SEC$USERS where SEC$USER_NAME = ?"));
    st.in().setValue(0, exactName);
    st.execute();
    st.fetch();
    return st.out().value(0).toInt() > 0;
}

TestUsers::~TestUsers() {
    for (const QString& n : std::as_const(m_names)) {
        try {
            if (!exists(n)) continue;
            auto c = serverConnection(m_cs);
            c->open();
            executeImmediate(&c->db, &c->tr, QStringLiteral("drop user %1").arg(sqlName(n)));
            c->tr.commit();
        } catch (const std::exception& e) {
            qWarning("could not drop the test user %s: %s", qPrintable(n), e.what());
        }
    }
}

RunningStatement::RunningStatement(TestConnection& c, const QString& sql) : m_c(c) {
    m_thread = std::thread([this, sql] {
        try {
            Statement st(&m_c.db, &m_c.tr);
            st.prepare(sql);
            st.execute();
            while (st.returnsRows() && st.fetch()) {
            }
        } catch (...) {
            m_error = std::current_exception();
        }
        m_done = true;
    });
}

RunningStatement::~RunningStatement() {
    while (!m_done.load()) {
        m_c.db.cancelOperation();
        QThread::msleep(50);
    }
    if (m_thread.joinable()) m_thread.join();
}

std::exception_ptr RunningStatement::wait() {
    if (m_thread.joinable()) m_thread.join();
    return m_error;
}

QString longStatement() {
    return QStringLiteral("select count(*) from RDB$TYPES a, RDB$TYPES b, RDB$TYPES c, RDB$TYPES d");
}

QStringList variedSchema() {
    return {
        QStringLiteral("create domain D_NOME varchar(40) character set UTF8"),
        QStringLiteral("create table CLIENTE (ID integer not null primary key, NOME D_NOME, SALDO numeric(15,2), "
                       "NASC date, HORA time, MOMENTO timestamp, ATIVO boolean, OBS blob sub_type text, "
                       "FOTO blob sub_type binary, VALOR double precision, GRANDE bigint, LETRA char(3))"),
        QStringLiteral("create index IX_CLIENTE_NOME on CLIENTE (NOME)"),
        QStringLiteral("create descending index IX_CLIENTE_SALDO on CLIENTE (SALDO)"),
        QStringLiteral("create table \"Tabela com espaço\" (\"Coluna\" varchar(10), N smallint)"),
        QStringLiteral("create table VAZIA (A integer)"),
        QStringLiteral("create view V_CLIENTE as select ID, NOME from CLIENTE"),
        QStringLiteral("create generator G_CLIENTE"),
        QStringLiteral("create procedure DOBRO (X integer) returns (Y integer) as begin Y = X * 2; suspend; end"),
        QStringLiteral(
            "execute block as declare i integer = 1; begin while (i <= 700) do begin "
            "insert into CLIENTE values (:i, iif(mod(:i, 10) = 0, null, 'Cliente ' || :i || ' ação'), "
            ":i * 12.34 - 5000, dateadd(:i day to date '2020-02-28'), dateadd(:i * 37 second to time '00:00:00'), "
            "dateadd(:i * 1234 millisecond to timestamp '2024-12-31 23:59:59.9999'), mod(:i, 3) = 0, "
            "iif(mod(:i, 7) = 0, null, 'Observação ' || :i || ' ' || lpad('', mod(:i, 50) * 20, 'x')), "
            "iif(mod(:i, 5) = 0, null, x'00FF10' || :i), :i / 7.0, 9223372036854775807 - :i, 'ab'); "
            "i = i + 1; end end"),
        QStringLiteral("insert into \"Tabela com espaço\" values ('um', 1)"),
        QStringLiteral("insert into \"Tabela com espaço\" values (null, null)"),
        QStringLiteral("set generator G_CLIENTE to 700"),
    };
}

QMap<QString, TableSum> tableSums(const QString& connectionString, const QString& user, const QString& password) {
    TestConnection c(connectionString);
    c.db.params() = QStringList{QStringLiteral("user_name=") + user};
    if (!password.isEmpty()) c.db.params() << QStringLiteral("password=") + password;
    c.open();
    auto rows = [&](const QString& sql, const std::function<void(SqlDa&)>& onRow) {
        Statement st(&c.db, &c.tr);
        st.prepare(sql);
        st.execute();
        while (st.fetch())
            onRow(st.out());
    };
    QMap<QString, QStringList> columns;
    rows(QStringLiteral("select trim(r.RDB$RELATION_NAME), trim(f.RDB$FIELD_NAME) from RDB$RELATIONS r "
                        "join RDB$RELATION_FIELDS f on f.RDB$RELATION_NAME = r.RDB$RELATION_NAME "
                        "where r.RDB$SYSTEM_FLAG = 0 and r.RDB$VIEW_BLR is null "
                        "order by r.RDB$RELATION_NAME, f.RDB$FIELD_POSITION"),
         [&](SqlDa& r) { columns[r.text(0)].append(r.text(1)); });
    QMap<QString, TableSum> out;
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        // Every value's hash, weighted by its column's place, so that swapped values show.
        QStringList terms;
        for (int i = 0; i < it.value().size(); ++i)
            terms << QStringLiteral("%1 * mod(coalesce(hash(\"%2\"), 7), 1000003)").arg(i + 1).arg(it.value()[i]);
        const QString sql = QStringLiteral("select count(*), coalesce(sum(%1), 0) from \"%2\"")
                                .arg(terms.join(QStringLiteral(" + ")), it.key());
        rows(sql, [&](SqlDa& r) { out[it.key()] = {r.value(0).toLongLong(), r.value(1).toLongLong()}; });
    }
    c.tr.commit();
    return out;
}

QString JobRun::errorText() const {
    if (!error) return QStringLiteral("<no error>");
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return errorMessage(e);
    }
    return {};
}

JobRun runJob(const std::function<void(ServiceJob&)>& work, const std::function<void(ServiceJob&)>& whileRunning) {
    JobRun run;
    ServiceJob job;
    QObject::connect(&job, &ServiceJob::linesArrived, [&](const QStringList& l) { run.lines << l; });
    QObject::connect(&job, &ServiceJob::noteArrived, [&](const QString& n) { run.notes << n; });
    bool ended = false;
    job.start(work, [&](std::exception_ptr e) {
        run.error = e;
        ended = true;
    });
    if (whileRunning) whileRunning(job);
    // Generous: a backup under the sanitizers on a busy machine.
    if (!QTest::qWaitFor([&] { return ended; }, 240000)) qFatal("the service job did not end");
    return run;
}

void waitForLine(ServiceJob& job, const QString& line) {
    bool seen = false;
    const QMetaObject::Connection c = QObject::connect(&job, &ServiceJob::linesArrived, [&](const QStringList& l) {
        seen = seen || l.contains(line);
    });
    const bool ok = QTest::qWaitFor([&] { return seen || !job.running(); }, 120000);
    QObject::disconnect(c);
    QVERIFY2(ok && seen, qPrintable(QStringLiteral("no line \"%1\"").arg(line)));
}

namespace {
QString runTool(const QString& program, const QStringList& args, bool* ok) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    *ok = p.waitForFinished(240000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAll());
}
} // namespace

QString gbakRestore(const QString& backupFile, const QString& databasePath) {
    bool ok = false;
    const QString out =
        runTool(QStringLiteral("gbak"), {QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), backupFile, databasePath}, &ok);
    return ok ? QString() : (out.isEmpty() ? QStringLiteral("gbak failed") : out);
}

QString fbstat(const QStringList& options, const QString& databasePath) {
    bool ok = false;
    const QString out = runTool(QStringLiteral("fbstat"), QStringList(options) << databasePath, &ok);
    if (!ok) qWarning("fbstat failed: %s", qPrintable(out));
    return out;
}
