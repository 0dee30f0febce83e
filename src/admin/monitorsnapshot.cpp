#include "admin/monitorsnapshot.h"
#include "admin/adminconnection.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include <algorithm>

namespace {
constexpr int kMostColumns = 24;

const char* const kDatabaseQuery =
    "select d.MON$OLDEST_TRANSACTION, d.MON$OLDEST_ACTIVE, d.MON$OLDEST_SNAPSHOT, d.MON$NEXT_TRANSACTION, "
    "d.MON$OWNER, current_connection, current_user, current_role, current_timestamp from MON$DATABASE d";

const char* const kAttachmentsQuery =
    "select a.MON$ATTACHMENT_ID, a.MON$USER, a.MON$ROLE, a.MON$REMOTE_ADDRESS, a.MON$REMOTE_PROCESS, "
    "a.MON$REMOTE_HOST, a.MON$REMOTE_OS_USER, a.MON$REMOTE_PID, a.MON$REMOTE_PROTOCOL, a.MON$CLIENT_VERSION, "
    "a.MON$AUTH_METHOD, c.RDB$CHARACTER_SET_NAME, a.MON$TIMESTAMP, a.MON$STATE, io.MON$PAGE_READS, "
    "io.MON$PAGE_WRITES, io.MON$PAGE_FETCHES, io.MON$PAGE_MARKS, m.MON$MEMORY_USED, m.MON$MEMORY_ALLOCATED "
    "from MON$ATTACHMENTS a "
    "left join RDB$CHARACTER_SETS c on c.RDB$CHARACTER_SET_ID = a.MON$CHARACTER_SET_ID "
    "left join MON$IO_STATS io on io.MON$STAT_ID = a.MON$STAT_ID "
    "left join MON$MEMORY_USAGE m on m.MON$STAT_ID = a.MON$STAT_ID "
    "where a.MON$SYSTEM_FLAG = 0 order by a.MON$ATTACHMENT_ID";

const char* const kTransactionsQuery =
    "select t.MON$TRANSACTION_ID, t.MON$ATTACHMENT_ID, t.MON$STATE, t.MON$TIMESTAMP, t.MON$ISOLATION_MODE, "
    "t.MON$LOCK_TIMEOUT, t.MON$READ_ONLY, t.MON$AUTO_COMMIT from MON$TRANSACTIONS t "
    "order by t.MON$TRANSACTION_ID";

// Idle prepared statements (every open window keeps some) and the reader's own are left out.
const char* const kStatementsQuery =
    "select s.MON$STATEMENT_ID, s.MON$ATTACHMENT_ID, s.MON$TRANSACTION_ID, s.MON$STATE, s.MON$TIMESTAMP, "
    "datediff(millisecond from s.MON$TIMESTAMP to current_timestamp), s.MON$SQL_TEXT from MON$STATEMENTS s "
    "where s.MON$STATE <> 0 and s.MON$ATTACHMENT_ID <> current_connection "
    "order by s.MON$ATTACHMENT_ID, s.MON$STATEMENT_ID";

QString text(const SqlDa& r, int i) {
    return r.isNull(i) ? QString() : r.value(i).toString().trimmed();
}
qint64 number(const SqlDa& r, int i) {
    if (r.isNull(i)) return 0;
    const QVariant v = r.value(i);
    return v.typeId() == QMetaType::Double ? static_cast<qint64>(v.toDouble()) : v.toLongLong();
}
QDateTime when(const SqlDa& r, int i) {
    return r.isNull(i) ? QDateTime() : r.value(i).toDateTime();
}

// Every row of a query without parameters. The client library's own calls, as few as a query can
// take: the description comes with the prepare into a descriptor area large enough for every
// column, and the handle is dropped once at the end. A refresh runs four of these, and each call
// to the server costs a round trip; the general statement class asks more (the parameters' and
// the statement's kind, a separate close) than the monitoring queries need.
template <class F> void eachRow(Database* db, Transaction* tr, const char* sql, F onRow) {
    struct Handle {
        isc_stmt_handle h = 0;
        ~Handle() {
            ISC_STATUS_ARRAY status = {};
            if (h) fbApi().isc_dsql_free_statement(status, &h, DSQL_drop);
        }
    } st;
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    db->checkConnected();
    api.isc_dsql_alloc_statement2(status, db->handle(), &st.h);
    checkStatus(status);
    SqlDa out;
    out.reserve(kMostColumns);
    api.isc_dsql_prepare(status, tr->handle(), &st.h, 0, sql, static_cast<unsigned short>(db->sqlDialect()),
                         out.da());
    checkStatus(status);
    if (out.count() > kMostColumns) throw AppError(QStringLiteral("monitoring query of too many columns"));
    out.allocate();
    api.isc_dsql_execute(status, tr->handle(), &st.h, 1, nullptr);
    checkStatus(status);
    while (api.isc_dsql_fetch(status, &st.h, 1, out.da()) == 0)
        onRow(out);
    if (statusFailed(status)) raiseStatus(status);
}

// The open transaction with the lowest number holds the marker back, running a request or idle;
// a read-only read committed one does not (the server takes it as committed from its start).
void markOldestActive(QList<MonTransaction>& list) {
    MonTransaction* oldest = nullptr;
    for (MonTransaction& t : list) {
        const bool holdsBack = !(t.readOnly && (t.isolation == 2 || t.isolation == 3));
        if (holdsBack && (!oldest || t.id < oldest->id)) oldest = &t;
    }
    if (oldest) oldest->oldestActive = true;
}
} // namespace

QStringList monitorQueries() {
    return {QString::fromLatin1(kDatabaseQuery), QString::fromLatin1(kAttachmentsQuery),
            QString::fromLatin1(kTransactionsQuery), QString::fromLatin1(kStatementsQuery)};
}

const MonAttachment* MonitorSnapshot::attachment(qint64 id) const {
    for (const MonAttachment& a : attachments)
        if (a.id == id) return &a;
    return nullptr;
}

const MonStatement* MonitorSnapshot::statement(qint64 id) const {
    for (const MonStatement& s : statements)
        if (s.id == id) return &s;
    return nullptr;
}

QList<MonTransaction> MonitorSnapshot::transactionsOf(qint64 attachmentId) const {
    QList<MonTransaction> out;
    for (const MonTransaction& t : transactions)
        if (t.attachmentId == attachmentId) out.append(t);
    return out;
}

QList<MonStatement> MonitorSnapshot::statementsOf(qint64 attachmentId) const {
    QList<MonStatement> out;
    for (const MonStatement& s : statements)
        if (s.attachmentId == attachmentId) out.append(s);
    return out;
}

MonitorSnapshot readMonitorSnapshot(Database* db, Transaction* tr, qint64 programAttachment) {
    MonitorSnapshot snap;
    eachRow(db, tr, kDatabaseQuery, [&](const SqlDa& r) {
        snap.oldestTransaction = number(r, 0);
        snap.oldestActive = number(r, 1);
        snap.oldestSnapshot = number(r, 2);
        snap.nextTransaction = number(r, 3);
        snap.owner = text(r, 4);
        snap.monitorAttachment = number(r, 5);
        snap.user = text(r, 6);
        snap.role = text(r, 7);
        snap.serverTime = when(r, 8);
    });
    snap.administrator = snap.user == QLatin1String("SYSDBA") || snap.user == snap.owner ||
                         snap.role == QLatin1String("RDB$ADMIN");

    eachRow(db, tr, kAttachmentsQuery, [&](const SqlDa& r) {
        MonAttachment a;
        a.id = number(r, 0);
        a.user = text(r, 1);
        a.role = text(r, 2);
        a.remoteAddress = text(r, 3);
        a.remoteProcess = text(r, 4);
        a.remoteHost = text(r, 5);
        a.osUser = text(r, 6);
        a.remotePid = number(r, 7);
        a.protocol = text(r, 8);
        a.clientVersion = text(r, 9);
        a.authMethod = text(r, 10);
        a.charset = text(r, 11);
        a.started = when(r, 12);
        a.active = number(r, 13) == 1;
        a.pageReads = number(r, 14);
        a.pageWrites = number(r, 15);
        a.pageFetches = number(r, 16);
        a.pageMarks = number(r, 17);
        a.memoryUsed = number(r, 18);
        a.memoryAllocated = number(r, 19);
        if (a.id == snap.monitorAttachment)
            a.own = MonAttachment::Monitor;
        else if (a.id == programAttachment && programAttachment != 0)
            a.own = MonAttachment::Program;
        snap.attachments.append(a);
    });

    eachRow(db, tr, kTransactionsQuery, [&](const SqlDa& r) {
        MonTransaction t;
        t.id = number(r, 0);
        t.attachmentId = number(r, 1);
        t.active = number(r, 2) == 1;
        t.started = when(r, 3);
        t.isolation = static_cast<int>(number(r, 4));
        t.lockTimeout = static_cast<int>(number(r, 5));
        t.readOnly = number(r, 6) == 1;
        t.autoCommit = number(r, 7) == 1;
        snap.transactions.append(t);
    });
    markOldestActive(snap.transactions);

    eachRow(db, tr, kStatementsQuery, [&](const SqlDa& r) {
        MonStatement s;
        s.id = number(r, 0);
        s.attachmentId = number(r, 1);
        s.transactionId = number(r, 2);
        s.state = static_cast<int>(number(r, 3));
        s.started = when(r, 4);
        s.elapsedMs = r.isNull(5) ? -1 : number(r, 5);
        if (!r.isNull(6))
            s.text = QString::fromUtf8(readBlob(db, tr, blobIdFromInt(r.value(6).toULongLong())));
        snap.statements.append(s);
    });
    return snap;
}

QString readStatementPlan(AdminConnection& c, qint64 statementId) {
    bool found = false;
    QString plan;
    c.readOnly([&](Transaction& tr) {
        Statement st(&c.db(), &tr);
        st.prepare(QStringLiteral("select s.MON$EXPLAINED_PLAN from MON$STATEMENTS s where s.MON$STATEMENT_ID = ?"));
        st.in().setValue(0, statementId);
        st.execute();
        if (st.fetch()) {
            found = true;
            if (!st.out().isNull(0))
                plan = QString::fromUtf8(readBlob(&c.db(), &tr, blobIdFromInt(st.out().value(0).toULongLong())));
        }
    });
    if (!found)
        throw AppError(QStringLiteral("O comando nº %1 já terminou: não há plano a mostrar.").arg(statementId));
    plan = plan.trimmed();
    if (plan.isEmpty()) return QStringLiteral("O servidor não informou o plano deste comando.");
    return plan;
}

QString attachmentDescription(const MonAttachment& a) {
    QString where;
    if (a.protocol.isEmpty())
        where = QStringLiteral("local");
    else
        where = a.remoteAddress;
    if (!a.remoteProcess.isEmpty()) where += QStringLiteral(", ") + a.remoteProcess;
    if (a.remotePid) where += QStringLiteral(", processo %1").arg(a.remotePid);
    return QStringLiteral("conexão nº %1 do usuário %2 (%3)").arg(a.id).arg(a.user, where);
}

QString endAttachmentQuestion(const MonAttachment& a) {
    return QStringLiteral("Encerrar a %1?\r\nAs transações abertas dessa conexão serão desfeitas e o programa "
                          "dela perderá a conexão.")
        .arg(attachmentDescription(a));
}

QString cancelStatementQuestion(const MonStatement& s, const MonAttachment* owner) {
    QString text = s.text.simplified();
    if (text.size() > 300) text = text.left(300) + QStringLiteral("...");
    const QString whose = owner ? attachmentDescription(*owner) : QStringLiteral("conexão nº %1").arg(s.attachmentId);
    QString q = QStringLiteral("Cancelar o comando nº %1 da %2").arg(s.id).arg(whose);
    if (s.elapsedMs >= 0) q += QStringLiteral(", em execução há %1").arg(durationText(s.elapsedMs));
    q += QStringLiteral("?\r\n\r\n") + text;
    return q;
}

void checkCanEnd(const MonAttachment& a) {
    if (a.own == MonAttachment::Program)
        throw AppError(QStringLiteral("A conexão nº %1 é a do próprio programa e não pode ser encerrada pelo monitor. "
                                      "Para fechá-la, use \"Fecha Banco\".")
                           .arg(a.id));
    if (a.own == MonAttachment::Monitor)
        throw AppError(QStringLiteral("A conexão nº %1 é a do próprio monitor e não pode ser encerrada por ele.")
                           .arg(a.id));
}

void endAttachment(AdminConnection& c, qint64 attachmentId) {
    const qint64 rows = c.executeCounting(
        QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = ? and MON$SYSTEM_FLAG = 0 "
                       "and MON$ATTACHMENT_ID <> current_connection and MON$ATTACHMENT_ID <> ?"),
        {attachmentId, c.login().programAttachment});
    if (rows == 0)
        throw AppError(QStringLiteral("A conexão nº %1 não foi encerrada: ela já não existe ou é do próprio programa.")
                           .arg(attachmentId));
}

void cancelStatement(AdminConnection& c, qint64 statementId) {
    const qint64 rows = c.executeCounting(
        QStringLiteral("delete from MON$STATEMENTS where MON$STATEMENT_ID = ? and MON$STATE <> 0"), {statementId});
    if (rows == 0)
        throw AppError(QStringLiteral("O comando nº %1 já não está em execução.").arg(statementId));
}

QString durationText(qint64 ms) {
    if (ms < 0) return {};
    const qint64 s = ms / 1000;
    QString out = QStringLiteral("%1:%2:%3")
                      .arg((s / 3600) % 24, 2, 10, QChar('0'))
                      .arg((s / 60) % 60, 2, 10, QChar('0'))
                      .arg(s % 60, 2, 10, QChar('0'));
    if (s >= 86400) out = QStringLiteral("%1d ").arg(s / 86400) + out;
    return out;
}

QString isolationText(int isolation) {
    switch (isolation) {
    case 0: return QStringLiteral("Consistency (exclusiva)");
    case 1: return QStringLiteral("Snapshot (concurrency)");
    case 2: return QStringLiteral("Read committed (record version)");
    case 3: return QStringLiteral("Read committed (no record version)");
    default: return QString::number(isolation);
    }
}

QString lockTimeoutText(int timeout) {
    if (timeout < 0) return QStringLiteral("espera");
    if (timeout == 0) return QStringLiteral("não espera");
    return QStringLiteral("espera %1 s").arg(timeout);
}
