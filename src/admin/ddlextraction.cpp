#include "admin/ddlextraction.h"
#include "admin/ddlwriter.h"
#include "connection/connectionjob.h"
#include "connection/database.h"
#include "platform/apperror.h"
#include "sql/scriptfile.h"
#include <QDir>
#include <QFileInfo>

DdlExtraction::DdlExtraction(Database* db, QObject* parent) : QObject(parent), m_db(db) {}

DdlExtraction::~DdlExtraction() {
    delete m_job;
}

bool DdlExtraction::running() const {
    return m_job && m_job->running();
}

void DdlExtraction::start(const QString& path) {
    Database* db = m_db;
    if (!db) throw AppError(QStringLiteral("Database not assigned"));
    db->checkFree();
    if (!db->connected()) db->setConnected(true); // the login, here on the interface thread
    if (!m_job) m_job = new ConnectionJob(db, this);
    m_job->start([db, path] { writeDdlFile(path, extractDdl(db)); },
                 [this](std::exception_ptr error) { emit finished(errorMessage(error)); });
}

QString ddlFileProposal(const QString& connectionString) {
    QString path = connectionString.trimmed();
    path.replace(QChar('\\'), QChar('/'));
    QString base = QFileInfo(path.mid(path.lastIndexOf(QChar('/')) + 1)).completeBaseName();
    if (base.contains(QChar(':'))) base = base.mid(base.lastIndexOf(QChar(':')) + 1);
    if (base.isEmpty()) base = QStringLiteral("banco");
    return QDir(ScriptDirectory()).filePath(base + QStringLiteral(".sql"));
}
