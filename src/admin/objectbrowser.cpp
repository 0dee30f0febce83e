#include "admin/objectbrowser.h"
#include "connection/connectionjob.h"
#include "connection/database.h"
#include "platform/apperror.h"

ObjectBrowser::ObjectBrowser(Database* db, QObject* parent)
    : QObject(parent), m_db(db), m_catalog(std::make_shared<Catalog>()) {
    if (db)
        connect(db, &Database::busyChanged, this, [this](bool busy) {
            if (!busy) QMetaObject::invokeMethod(this, [this] { startNext(); }, Qt::QueuedConnection);
        });
}

ObjectBrowser::~ObjectBrowser() {
    delete m_job;
}

bool ObjectBrowser::working() const {
    return (m_job && m_job->running()) || !m_queue.isEmpty() || m_wantedDependencies;
}

void ObjectBrowser::reload() {
    auto fresh = std::make_shared<Catalog>();
    Database* db = m_db;
    enqueue(Work{[db, fresh] { *fresh = readCatalog(db); },
                 [this, fresh](bool ok) {
                     if (!ok) return;
                     m_catalog = fresh;
                     m_loaded = true;
                     emit catalogLoaded();
                 }});
}

void ObjectBrowser::readDependencies(const ObjectEntry& entry) {
    m_wantedDependencies = entry;
    startNext();
}

void ObjectBrowser::run(const QString& statement) {
    if (m_db) m_db->checkFree();
    Database* db = m_db;
    enqueue(Work{[db, statement] { runOwnTransaction(db, statement); },
                 [this](bool ok) {
                     if (ok) emit actionDone();
                 }});
    reload();
}

void ObjectBrowser::enqueue(Work work) {
    m_queue.append(std::move(work));
    startNext();
}

void ObjectBrowser::startNext() {
    Database* db = m_db;
    if (!db || (m_job && m_job->running()) || db->busy()) return;
    Work work;
    if (!m_queue.isEmpty()) {
        work = m_queue.takeFirst();
    } else if (m_wantedDependencies) {
        const ObjectEntry entry = *m_wantedDependencies;
        m_wantedDependencies.reset();
        auto result = std::make_shared<Dependencies>();
        work = Work{[db, entry, result] { *result = ::readDependencies(db, entry); },
                    [this, entry, result](bool ok) {
                        if (ok) emit dependenciesRead(entry, *result);
                    }};
    } else {
        return;
    }
    if (!m_job) {
        m_job = new ConnectionJob(db, this);
        // Short reads of courtesy: whoever needs the connection meanwhile waits for them.
        m_job->setYields(true);
    }
    try {
        m_job->start(work.serverPart, [this, after = work.after](std::exception_ptr error) {
            after(!error);
            if (error) emit failed(errorMessage(error));
            QMetaObject::invokeMethod(this, [this] { startNext(); }, Qt::QueuedConnection);
        });
    } catch (const std::exception& e) {
        // Not connected, or taken meanwhile: the work waits for the next chance.
        m_queue.prepend(work);
        if (!db->connected()) {
            m_queue.clear();
            emit failed(errorMessage(e));
        }
    }
}
