// The connection monitor against the loopback server while 50 other attachments each run a
// statement (an UPDATE waiting for a row that one more attachment holds): a monitor refresh (its
// own read-only transaction, the monitoring queries, the statements' texts, the snapshot handed to
// the grids' models) against the same queries through the raw client loop in the same run; and
// the longest wait of the event loop (which draws the windows) during a refresh.
#include "admin/monitormodels.h"
#include "admin/monitorsession.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "platform/apperror.h"
#include "stallmeter.h"
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {
constexpr int kOthers = 50;
constexpr int kRuns = 15;
constexpr int kTickMs = 5;

QString serverPassword() {
    const QString p = qEnvironmentVariable("FBADMIN_TEST_PASSWORD");
    return p.isEmpty() ? QStringLiteral("fbadmin-test") : p;
}

std::string dpbFor(const QString& password) {
    std::string dpb;
    dpb += static_cast<char>(isc_dpb_version1);
    auto add = [&](char item, const QByteArray& v) {
        dpb += item;
        dpb += static_cast<char>(v.size());
        dpb.append(v.constData(), v.size());
    };
    add(isc_dpb_user_name, "SYSDBA");
    add(isc_dpb_password, password.toUtf8());
    add(isc_dpb_lc_ctype, "UTF8");
    return dpb;
}

// A plain attachment of the client library, detached when it goes.
struct RawAttachment {
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    RawAttachment(const QString& name, const QString& password) {
        std::string dpb = dpbFor(password);
        const QByteArray n = name.toUtf8();
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_attach_database(status, 0, n.constData(), &db, static_cast<short>(dpb.size()), dpb.data());
        checkStatus(status);
    }
    ~RawAttachment() {
        ISC_STATUS_ARRAY status = {};
        if (tr) fbApi().isc_rollback_transaction(status, &tr);
        if (db) fbApi().isc_detach_database(status, &db);
    }
    void start(std::initializer_list<char> items) {
        std::vector<char> tpb{static_cast<char>(isc_tpb_version3)};
        tpb.insert(tpb.end(), items);
        FbTeb teb{&db, static_cast<long>(tpb.size()), tpb.data()};
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_start_multiple(status, &tr, 1, &teb);
        checkStatus(status);
    }
    void exec(const char* sql) {
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, sql, 3, nullptr);
        checkStatus(status);
    }
};

void createDatabase(const QString& path) {
    if (QFile::exists(path)) return;
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const QByteArray create =
        QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' DEFAULT CHARACTER SET UTF8").arg(path).toUtf8();
    fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, create.constData(), 3, nullptr);
    checkStatus(status);
    const char* const statements[] = {"create table CONTA (ID integer not null primary key, SALDO integer)",
                                      "insert into CONTA values (1, 0)"};
    for (const char* s : statements) {
        char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
        FbTeb teb{&db, sizeof tpb, tpb};
        fbApi().isc_start_multiple(status, &tr, 1, &teb);
        checkStatus(status);
        fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, s, 3, nullptr);
        checkStatus(status);
        fbApi().isc_commit_transaction(status, &tr);
        checkStatus(status);
    }
    fbApi().isc_detach_database(status, &db);
    checkStatus(status);
}

// The monitoring queries through the client library's own calls, every row fetched and every
// statement's text read, nothing kept; in a new read-only transaction as the monitor does.
qint64 rawRead(RawAttachment& a) {
    const FbApi& api = fbApi();
    ISC_STATUS_ARRAY status = {};
    a.start({isc_tpb_read, isc_tpb_concurrency, isc_tpb_nowait});
    qint64 rows = 0;
    const QStringList queries = monitorQueries();
    for (int q = 0; q < queries.size(); ++q) {
        SqlDa out;
        out.reserve(24);
        isc_stmt_handle st = 0;
        api.isc_dsql_alloc_statement2(status, &a.db, &st);
        checkStatus(status);
        const QByteArray sql = queries[q].toUtf8();
        api.isc_dsql_prepare(status, &a.tr, &st, 0, sql.constData(), 3, out.da());
        checkStatus(status);
        out.allocate();
        api.isc_dsql_execute(status, &a.tr, &st, 1, nullptr);
        checkStatus(status);
        const bool texts = q == queries.size() - 1;
        while (api.isc_dsql_fetch(status, &st, 1, out.da()) == 0) {
            ++rows;
            if (!texts || out.isNull(out.count() - 1)) continue;
            ISC_QUAD id;
            std::memcpy(&id, out.var(out.count() - 1).sqldata, sizeof id);
            isc_blob_handle blob = 0;
            api.isc_open_blob2(status, &a.db, &a.tr, &blob, &id, 0, nullptr);
            checkStatus(status);
            char buf[32768];
            unsigned short got = 0;
            ISC_STATUS rc;
            while ((rc = api.isc_get_segment(status, &blob, &got, sizeof buf, buf)) == 0 || rc == isc_segment) {
            }
            api.isc_close_blob(status, &blob);
        }
        api.isc_dsql_free_statement(status, &st, DSQL_drop);
    }
    api.isc_commit_transaction(status, &a.tr);
    checkStatus(status);
    return rows;
}

// One refresh as the window asks for it, waited for in an event loop, and the snapshot handed to
// the grids' models; returns the longest gap between two ticks of a timer on that loop.
qint64 refreshOnce(MonitorSession& session, AttachmentsModel& attachments, TransactionsModel& transactions,
                   StatementsModel& statements) {
    QEventLoop loop;
    StallMeter stall(kTickMs);
    QString error;
    const auto c1 = QObject::connect(&session, &MonitorSession::refreshed, [&] {
        const MonitorSnapshot& s = session.snapshot();
        attachments.setSnapshot(s);
        const qint64 first = s.attachments.isEmpty() ? 0 : s.attachments.last().id;
        transactions.setRows(s.transactionsOf(first));
        statements.setRows(s.statementsOf(first));
        loop.quit();
    });
    const auto c2 = QObject::connect(&session, &MonitorSession::failed, [&](const QString& m) {
        error = m;
        loop.quit();
    });
    stall.start();
    session.refresh();
    loop.exec();
    const qint64 longest = stall.longestMs();
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    if (!error.isEmpty()) throw AppError(error);
    return longest;
}

double best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

void runMonitorBench(const QString& dataFolder) {
    const QString path = QDir(dataFolder).absoluteFilePath(QStringLiteral("bench-monitor.fdb"));
    createDatabase(path);
    const QString name = QStringLiteral("127.0.0.1:") + path;
    const QString password = serverPassword();

    // One attachment holds the row; fifty others wait for it, each inside its UPDATE.
    RawAttachment holder(name, password);
    holder.start({isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
    holder.exec("update CONTA set SALDO = SALDO + 1 where ID = 1");
    std::vector<std::unique_ptr<RawAttachment>> others;
    for (int i = 0; i < kOthers; ++i) {
        others.push_back(std::make_unique<RawAttachment>(name, password));
        others.back()->start({isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait});
    }
    std::atomic<int> ended{0};
    std::vector<std::thread> waiting;
    for (auto& o : others)
        waiting.emplace_back([&ended, a = o.get()] {
            ISC_STATUS_ARRAY status = {};
            fbApi().isc_dsql_execute_immediate(status, &a->db, &a->tr, 0,
                                               "update CONTA set SALDO = SALDO + 1 where ID = 1", 3, nullptr);
            ++ended;
        });

    AdminLogin login;
    login.database = name;
    login.user = QStringLiteral("SYSDBA");
    login.password = password;
    MonitorSession session(login);
    AttachmentsModel attachments;
    TransactionsModel transactions;
    StatementsModel statements;
    RawAttachment raw(name, password);

    // Until every other attachment is inside its statement; the monitor's attachment is made here.
    for (int i = 0; i < 200; ++i) {
        refreshOnce(session, attachments, transactions, statements);
        if (session.snapshot().statements.size() >= kOthers) break;
        QThread::msleep(50);
    }
    const int listed = static_cast<int>(session.snapshot().attachments.size());
    const int running = static_cast<int>(session.snapshot().statements.size());
    if (running < kOthers || ended.load() != 0) throw AppError(QStringLiteral("monitor bench: the statements did not start"));

    std::vector<double> rawRuns, monitorRuns, readRuns;
    qint64 stall = 0;
    qint64 rawRows = 0;
    // Interleaved, so that both see the same machine, and each first in turn.
    for (int i = 0; i < 2 * kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        if ((i % 2 == 0) == (i / 2 % 2 == 0)) {
            rawRows = rawRead(raw);
            rawRuns.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        } else {
            stall = std::max(stall, refreshOnce(session, attachments, transactions, statements));
            monitorRuns.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            readRuns.push_back(static_cast<double>(session.lastReadMs()));
        }
    }

    // The waiting statements are stopped and their attachments go.
    for (auto& o : others) {
        ISC_STATUS_ARRAY status = {};
        fbApi().fb_cancel_operation(status, &o->db, fb_cancel_raise);
    }
    for (std::thread& t : waiting)
        t.join();
    others.clear();

    std::printf("# monitor: %d attachments listed, %d statements running, %lld rows read raw per refresh\n", listed,
                running, static_cast<long long>(rawRows));
    std::printf("# monitor runs (ms): raw best %.2f median %.2f; monitor refresh best %.2f median %.2f "
                "(server part median %.0f) of %d runs\n",
                best(rawRuns), median(rawRuns), best(monitorRuns), median(monitorRuns), median(readRuns), kRuns);
    std::printf("# monitor: ratio of medians %.3f; event-loop ticks every %d ms\n",
                median(monitorRuns) / median(rawRuns), kTickMs);
    std::printf("monitor_refresh_vs_raw: %.3f\n", best(monitorRuns) / best(rawRuns));
    std::printf("monitor_longest_ui_stall_ms: %lld\n", static_cast<long long>(stall));
}
