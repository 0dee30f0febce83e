#include "support/adminfixture.h"
#include "admin/adminsql.h"
#include "connection/statement.h"
#include <QCoreApplication>
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
