#include "admin/scratchtable.h"
#include "admin/statsmodel.h"
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"

namespace {
QString quoted(const QString& name) {
    return '"' + QString(name).replace('"', QStringLiteral("\"\"")) + '"';
}

QString columnType(const StatsModel& model, int column) {
    const StatsModel::Column& c = model.columns()[static_cast<size_t>(column)];
    if (c.decimals == 0) return QStringLiteral("bigint");
    if (c.decimals > 0) return QStringLiteral("numeric(18,%1)").arg(c.decimals);
    qsizetype longest = 1;
    for (int r = 0; r < model.rowCount(); ++r)
        longest = std::max(longest, model.value(r, column).toString().size());
    return QStringLiteral("varchar(%1)").arg(std::min<qsizetype>(longest, 8000));
}

void createDatabaseFile(const QString& path) {
    const QByteArray sql = QStringLiteral("create database '%1' user 'SYSDBA' default character set UTF8")
                               .arg(QString(path).replace('\'', QStringLiteral("''")))
                               .toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    fbApi().isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr);
    checkStatus(status);
    fbApi().isc_detach_database(status, &db);
    checkStatus(status);
}
} // namespace

ScratchTable::ScratchTable(const StatsModel& model)
    : m_db(std::make_unique<Database>()), m_tr(std::make_unique<Transaction>()),
      m_dataSet(std::make_unique<DataSet>()) {
    if (!m_dir.isValid()) throw AppError(QStringLiteral("Não foi possível criar uma pasta temporária"));
    const QString path = m_dir.filePath(QStringLiteral("estatisticas.fdb"));
    createDatabaseFile(path);

    m_db->setLoginPrompt(false);
    m_db->setDatabaseName(path);
    m_db->setDefaultTransaction(m_tr.get());
    m_tr->setDefaultDatabase(m_db.get());
    m_db->connectAs(QStringLiteral("SYSDBA"), QString());

    QStringList columns;
    QStringList markers;
    for (int c = 0; c < model.columnCount(); ++c) {
        columns.append(quoted(model.columns()[static_cast<size_t>(c)].field) + ' ' + columnType(model, c));
        markers.append(QStringLiteral("?"));
    }
    m_tr->start();
    executeImmediate(m_db.get(), m_tr.get(),
                     QStringLiteral("create table ESTATISTICAS (%1)").arg(columns.join(QStringLiteral(", "))));
    m_tr->commit();
    m_tr->start();
    {
        Statement insert(m_db.get(), m_tr.get());
        insert.prepare(QStringLiteral("insert into ESTATISTICAS values (%1)").arg(markers.join(',')));
        for (int r = 0; r < model.rowCount(); ++r) {
            for (int c = 0; c < model.columnCount(); ++c)
                insert.in().setValue(c, model.value(r, c));
            insert.execute();
        }
    }
    m_tr->commit();

    m_dataSet->setDatabase(m_db.get());
    m_dataSet->setTransaction(m_tr.get());
    m_dataSet->setSelectSQL({QStringLiteral("select * from ESTATISTICAS")});
    m_dataSet->open();
}

ScratchTable::~ScratchTable() {
    m_dataSet.reset();
    m_tr.reset();
    m_db.reset();
}
