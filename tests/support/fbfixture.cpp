#include "support/fbfixture.h"
#include "connection/database.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"
#include "support/testconnection.h"
#include <QDir>
#include <QtTest>

namespace {
// A plain attachment used only by the fixture (never through the login prompt).
struct RawAttachment {
    isc_db_handle db = 0;
    explicit RawAttachment(const QString& path) {
        std::string dpb;
        dpb += static_cast<char>(isc_dpb_version1);
        dpb += static_cast<char>(isc_dpb_user_name);
        dpb += static_cast<char>(6);
        dpb += "SYSDBA";
        dpb += static_cast<char>(isc_dpb_lc_ctype);
        dpb += static_cast<char>(4);
        dpb += "UTF8";
        const QByteArray p = path.toUtf8();
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_attach_database(status, 0, p.constData(), &db, static_cast<short>(dpb.size()),
                                    dpb.data());
        checkStatus(status);
    }
    ~RawAttachment() {
        ISC_STATUS_ARRAY status = {};
        if (db) fbApi().isc_detach_database(status, &db);
    }
};
} // namespace

TempDatabase::TempDatabase(const QStringList& ddl, const QString& charset, const QString& fileName,
                           int dialect)
    : m_dialect(dialect) {
    if (!m_dir.isValid()) qFatal("no temporary directory");
    m_path = QDir(m_dir.path()).filePath(fileName);
    const QByteArray sql = QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' DEFAULT CHARACTER SET %2")
                               .arg(m_path, charset)
                               .toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(),
                                       static_cast<unsigned short>(dialect), nullptr);
    checkStatus(status);
    fbApi().isc_detach_database(status, &db);
    checkStatus(status);
    if (!ddl.isEmpty()) exec(ddl);
}

TempDatabase::~TempDatabase() {
    try {
        RawAttachment a(m_path);
        ISC_STATUS_ARRAY status = {};
        fbApi().isc_drop_database(status, &a.db);
        if (!statusFailed(status)) a.db = 0;
    } catch (...) {
    }
}

void TempDatabase::exec(const QStringList& statements) {
    RawAttachment a(m_path);
    ISC_STATUS_ARRAY status = {};
    isc_tr_handle tr = 0;
    char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
    FbTeb teb{&a.db, sizeof tpb, tpb};
    fbApi().isc_start_multiple(status, &tr, 1, &teb);
    checkStatus(status);
    for (const QString& s : statements) {
        const QByteArray sql = s.toUtf8();
        fbApi().isc_dsql_execute_immediate(status, &a.db, &tr, 0, sql.constData(),
                                           static_cast<unsigned short>(m_dialect), nullptr);
        if (statusFailed(status)) {
            const QString msg = statusMessage(status);
            ISC_STATUS_ARRAY s2 = {};
            fbApi().isc_rollback_transaction(s2, &tr);
            throw AppError(QStringLiteral("fixture statement failed: %1\n%2").arg(s, msg));
        }
        // DDL must be committed before later statements can use it.
        fbApi().isc_commit_retaining(status, &tr);
        checkStatus(status);
    }
    fbApi().isc_commit_transaction(status, &tr);
    checkStatus(status);
}

QStringList TempDatabase::column(const QString& select) {
    // Goes through the access layer's statement on a private connection without login prompt.
    TestConnection c(m_path);
    c.open();
    QStringList out;
    {
        Statement st(&c.db, &c.tr);
        st.prepare(select);
        st.execute();
        while (st.fetch())
            out.append(st.out().isNull(0) ? QStringLiteral("<null>") : st.out().text(0));
    }
    c.tr.commit();
    return out;
}

QString testServerHost() {
    const QString h = qEnvironmentVariable("FBADMIN_TEST_SERVER");
    return h.isEmpty() ? QStringLiteral("127.0.0.1") : h;
}

QString testServerPassword() {
    const QString p = qEnvironmentVariable("FBADMIN_TEST_PASSWORD");
    return p.isEmpty() ? QStringLiteral("fbadmin-test") : p;
}
