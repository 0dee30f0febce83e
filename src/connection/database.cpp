#include "connection/database.h"
#include "connection/connectionjob.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/transaction.h"
#include "platform/prompts.h"
#include <QThread>
#include <algorithm>

namespace {
thread_local const Database* t_workingFor = nullptr;

void addDpbString(std::string& dpb, char item, const QByteArray& value) {
    dpb += item;
    dpb += static_cast<char>(std::min<qsizetype>(value.size(), 255));
    dpb.append(value.constData(), std::min<qsizetype>(value.size(), 255));
}
} // namespace

Database::Database(QObject* parent) : QObject(parent) {
    loadClientLibrary();
    m_metadata = std::make_unique<Transaction>();
    m_metadata->setDefaultDatabase(this);
}

Database::~Database() {
    try {
        doDisconnect();
    } catch (...) {
        // Nobody is left to report to: undo what could not be committed and let the attachment go.
        for (Transaction* t : m_transactions) {
            if (t && t->inTransaction()) {
                try {
                    t->rollback();
                } catch (...) {
                }
            }
        }
        ISC_STATUS_ARRAY status = {};
        if (m_handle) fbApi().isc_detach_database(status, &m_handle);
        m_handle = 0;
    }
    forgetLogin();
    m_metadata.reset();
    for (Transaction* t : m_transactions)
        if (t) t->setDefaultDatabase(nullptr);
}

Transaction* Database::defaultTransaction() const {
    return m_defaultTransaction;
}
void Database::setDefaultTransaction(Transaction* t) {
    m_defaultTransaction = t;
}

void Database::setDatabaseName(const QString& name) {
    if (name == m_databaseName) return;
    if (connected()) throw AppError(QStringLiteral("Cannot perform operation -- DB is currently open"));
    m_databaseName = name;
}

void Database::setConnected(bool on) {
    if (on == connected()) return;
    if (on)
        doConnect();
    else
        doDisconnect();
}

void Database::checkConnected() const {
    if (!connected()) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
}

QString connectionBusyMessage() {
    return QStringLiteral("Um comando SQL está em execução nesta conexão. Aguarde o seu término ou "
                          "cancele-o (botão \"Cancelar\" da janela de comandos SQL).");
}

void Database::setWorkingThread(const Database* db) {
    t_workingFor = db;
}

bool Database::usableHere() const {
    return !m_job.load() || t_workingFor == this;
}

void Database::checkFree() const {
    if (usableHere()) return;
    // A short job of courtesy is waited for rather than refused.
    for (ConnectionJob* job = m_job.load(); job && job->yields() && QThread::currentThread() == job->thread();
         job = m_job.load())
        job->finishNow();
    if (!usableHere()) throw AppError(connectionBusyMessage());
}

void Database::hold(ConnectionJob* job) {
    m_job = job;
    emit busyChanged(true);
}

void Database::release(ConnectionJob* job) {
    if (m_job.load() != job) return;
    m_job = nullptr;
    // Statements that windows let go of meanwhile.
    const std::vector<isc_stmt_handle> handles = std::exchange(m_dropLater, {});
    for (isc_stmt_handle h : handles) {
        ISC_STATUS_ARRAY status = {};
        if (m_handle) fbApi().isc_dsql_free_statement(status, &h, DSQL_drop);
    }
    emit busyChanged(false);
}

void Database::stopJob() {
    ConnectionJob* job = m_job.load();
    if (!job || t_workingFor == this) return;
    job->cancel();
    job->finishNow();
}

bool Database::cancelOperation() {
    if (!m_handle) return false;
    ISC_STATUS_ARRAY status = {};
    fbApi().fb_cancel_operation(status, &m_handle, fb_cancel_raise);
    return !statusFailed(status);
}

void Database::dropLater(isc_stmt_handle handle) {
    if (handle) m_dropLater.push_back(handle);
}

QString Database::paramValue(const QString& name) const {
    for (const QString& line : m_params) {
        const int eq = line.indexOf('=');
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        if (key.compare(name, Qt::CaseInsensitive) == 0) return eq < 0 ? QString() : line.mid(eq + 1);
    }
    return {};
}

void Database::setParamValue(const QString& name, const QString& value) {
    for (QString& line : m_params) {
        const int eq = line.indexOf('=');
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            line = name + '=' + value;
            return;
        }
    }
    m_params.append(name + '=' + value);
}

void Database::doConnect() {
    if (m_databaseName.isEmpty()) throw AppError(QStringLiteral("Database name is missing"));

    QString user = paramValue(QStringLiteral("user_name"));
    QString password = paramValue(QStringLiteral("password"));
    if (m_loginPrompt) {
        LoginRequest req;
        req.databaseName = m_databaseName;
        req.userName = user;
        QString typedUser, typedPassword;
        if (!Prompts::instance().login(req, &typedUser, &typedPassword))
            throw AppError(QStringLiteral("Operation cancelled at user's request"));
        // The next login of this run proposes the name typed now; the password stays in memory only.
        setParamValue(QStringLiteral("user_name"), typedUser);
        user = typedUser;
        password = typedPassword;
    }

    attachWith(user, password);
    password.fill(QChar(' '));
    emit connectedChanged(true);
}

void Database::attachWith(const QString& user, const QString& password) {
    std::string dpb;
    dpb += static_cast<char>(isc_dpb_version1);
    addDpbString(dpb, isc_dpb_user_name, user.toUtf8());
    if (!password.isEmpty()) addDpbString(dpb, isc_dpb_password, password.toUtf8());
    addDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"));
    const QString role = paramValue(QStringLiteral("sql_role_name"));
    if (!role.isEmpty()) {
        // Read by the rules of dialect 3: a name in double quotes exactly, any other in upper case.
        // Without the dialect the server upper-cases a quoted name too and finds no such role.
        addDpbString(dpb, isc_dpb_sql_role_name, role.toUtf8());
        const char dialect3[] = {isc_dpb_sql_dialect, 4, 3, 0, 0, 0};
        dpb.append(dialect3, sizeof dialect3);
    }
    dpb += static_cast<char>(isc_dpb_utf8_filename);
    dpb += static_cast<char>(0);
    // Other parameter lines that the client knows by name are passed on as strings.

    const QByteArray name = m_databaseName.toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle h = 0;
    fbApi().isc_attach_database(status, static_cast<short>(name.size()), name.constData(), &h,
                                static_cast<short>(dpb.size()), dpb.data());
    std::fill(dpb.begin(), dpb.end(), '\0');
    if (statusFailed(status)) raiseStatus(status);
    m_handle = h;

    // Dialect of the database and the number of this attachment.
    const char items[] = {isc_info_db_sql_dialect, isc_info_attachment_id, isc_info_end};
    char result[64] = {};
    m_dialect = 3;
    m_attachmentId = 0;
    fbApi().isc_database_info(status, &m_handle, sizeof items, items, sizeof result, result);
    for (const char* p = result; !statusFailed(status) && p < result + sizeof result - 3 && *p != isc_info_end;) {
        const char item = *p;
        const short len = static_cast<short>(fbApi().isc_vax_integer(p + 1, 2));
        if (len < 0 || p + 3 + len > result + sizeof result) break;
        const qint64 value = fbApi().isc_vax_integer(p + 3, len);
        if (item == isc_info_db_sql_dialect && value > 0 && value < 3) m_dialect = static_cast<int>(value);
        if (item == isc_info_attachment_id) m_attachmentId = value;
        p += 3 + len;
    }
    if (m_loginPassword != password) {
        m_loginPassword.fill(QChar(' '));
        m_loginPassword = password;
    }
    m_loginUser = user;
}

void Database::reconnect() {
    connectAs(m_loginUser, m_loginPassword);
}

void Database::connectAs(const QString& user, const QString& password) {
    if (connected()) return;
    if (m_databaseName.isEmpty()) throw AppError(QStringLiteral("Database name is missing"));
    attachWith(user, password);
    emit connectedChanged(true);
}

void Database::forgetLogin() {
    m_loginPassword.fill(QChar(' '));
    m_loginPassword.clear();
    m_loginUser.clear();
}

void Database::doDisconnect() {
    if (!connected()) return;
    // 0. A statement still running on the server is cancelled and its end taken first.
    stopJob();
    // 1. Close every dataset and query of the connection.
    const auto attached = m_attached;
    for (AttachedObject* o : attached)
        if (std::find(m_attached.begin(), m_attached.end(), o) != m_attached.end()) o->closeAttached();
    // 2. End every transaction still active by its default action. A commit that fails stops the
    //    disconnect: the work is still pending and the connection stays, so nothing is lost unseen.
    //    When the server is gone, though, no commit can ever succeed: the connection is let go and
    //    the user told that the pending work is lost, instead of a connection that cannot close.
    const auto transactions = m_transactions;
    try {
        for (Transaction* t : transactions)
            if (t && t->inTransaction()) t->endByDefaultAction();
    } catch (const DbError& e) {
        if (!e.connectionLost()) throw;
        for (Transaction* t : transactions)
            if (t) t->abandon();
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_detach_database(status, &m_handle);
        m_handle = 0;
        forgetAttachment();
        emit connectedChanged(false);
        throw DbError(connectionLostMessage() + QStringLiteral("\r\n") + e.message(), e.sqlCode(),
                      e.engineCode(), true);
    }
    // 3. Detach.
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_detach_database(status, &m_handle);
    const bool failed = statusFailed(status);
    m_handle = 0; // the attachment is gone either way
    forgetAttachment();
    emit connectedChanged(false);
    if (failed) raiseStatus(status);
}

void Database::forgetAttachment() {
    m_dialect = 3;
    m_attachmentId = 0;
}

QString Database::connectionLostMessage() {
    return QStringLiteral("A conexão com o banco de dados foi perdida: as alterações pendentes não foram "
                          "gravadas (o commit não pôde ser feito) e se perderam");
}

void Database::attach(AttachedObject* o) {
    if (std::find(m_attached.begin(), m_attached.end(), o) == m_attached.end()) m_attached.push_back(o);
}

void Database::detach(AttachedObject* o) {
    std::erase(m_attached, o);
}

void Database::addTransaction(Transaction* t) {
    if (std::find(m_transactions.begin(), m_transactions.end(), t) == m_transactions.end())
        m_transactions.push_back(t);
}

void Database::removeTransaction(Transaction* t) {
    std::erase(m_transactions, t);
}
