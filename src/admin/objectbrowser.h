#pragma once
#include "admin/catalog.h"
#include "admin/dbobjects.h"
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class ConnectionJob;
class Database;

// The object window's work with the server, off the interface thread: the catalogue read whole,
// an object's dependencies, and the actions (each in a transaction of its own, after which the
// catalogue is read again). One piece of work at a time; a read asked for while the connection is
// busy elsewhere waits until it is free, and what other windows ask of the connection while a read
// goes on waits for it rather than being refused.
class ObjectBrowser : public QObject {
    Q_OBJECT
public:
    explicit ObjectBrowser(Database* db, QObject* parent = nullptr);
    ~ObjectBrowser() override; // work in progress is cancelled and waited for

    Database* database() const { return m_db; }
    const Catalog& catalog() const { return *m_catalog; }
    bool loaded() const { return m_loaded; }
    bool working() const;

    void reload();
    // Only the latest request is kept while others wait.
    void readDependencies(const ObjectEntry& entry);
    // Raises the busy message at once when another window's statement holds the connection.
    void run(const QString& statement);

signals:
    void catalogLoaded();
    void dependenciesRead(const ObjectEntry& entry, const Dependencies& dependencies);
    void actionDone();
    void failed(const QString& message);

private:
    struct Work {
        std::function<void()> serverPart;   // on the job's thread
        std::function<void(bool ok)> after; // back here
    };
    void enqueue(Work work);
    void startNext();

    QPointer<Database> m_db;
    ConnectionJob* m_job = nullptr;
    std::shared_ptr<Catalog> m_catalog;
    bool m_loaded = false;
    QList<Work> m_queue;
    std::optional<ObjectEntry> m_wantedDependencies;
};
