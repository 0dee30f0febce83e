#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>

// The statistics of a database as the service manager (and fbstat) write them, read into
// numbers. One parser for every use: the statistics window, the properties window and the
// maintenance window's state all read the same text.

// Pages in each fifth of fullness: 0-19%, 20-39%, 40-59%, 60-79%, 80-99%.
using FillDistribution = std::array<qint64, 5>;

enum class ShutdownMode { Online, Multi, Single, Full };

struct HeaderPage {
    QString databaseFile; // Database "..."
    // Every "name value" line of the header page and of its variable data, as written.
    QList<QPair<QString, QString>> entries;

    int pageSize = 0;
    QString odsVersion;
    int dialect = 0;
    qint64 oldestTransaction = -1; // OIT
    qint64 oldestActive = -1;      // OAT
    qint64 oldestSnapshot = -1;    // OST
    qint64 nextTransaction = -1;
    qint64 pageBuffers = 0; // 0: the server's default
    qint64 sweepInterval = -1; // -1: not in the header, the engine's default applies
    QString attributes;
    bool forcedWrites = false;
    bool readOnly = false;
    ShutdownMode shutdown = ShutdownMode::Online;
    QString creationDate;
    QString implementation;

    // Firebird's sweep interval when the header holds none.
    static constexpr qint64 kDefaultSweepInterval = 20000;
    qint64 effectiveSweepInterval() const { return sweepInterval < 0 ? kDefaultSweepInterval : sweepInterval; }

    // The gaps an administrator watches (-1 when a marker is missing).
    qint64 activeGap() const;   // OAT - OIT: transactions stuck between the oldest interesting and the oldest active
    qint64 snapshotGap() const; // OST - OIT: what an automatic sweep is measured against
    qint64 nextGap() const;     // Next - OAT: how far the oldest active lags behind
};

struct TableStats {
    QString name;
    int id = -1;
    qint64 primaryPointerPage = 0, indexRootPage = 0;
    qint64 totalFormats = 0, usedFormats = 0;
    double averageRecordLength = 0;
    qint64 totalRecords = 0;
    double averageVersionLength = 0;
    qint64 totalVersions = 0, maxVersions = 0;
    double averageFragmentLength = 0;
    qint64 totalFragments = 0, maxFragments = 0;
    double averageUnpackedLength = 0, compressionRatio = 0;
    qint64 pointerPages = 0, dataPageSlots = 0, dataPages = 0;
    int averageFill = 0; // percent
    qint64 primaryPages = 0, secondaryPages = 0, sweptPages = 0, emptyPages = 0, fullPages = 0;
    qint64 blobs = 0, blobsLength = 0, blobPages = 0;
    FillDistribution fill{};
};

struct IndexStats {
    QString table;
    QString name;
    int id = -1;
    qint64 rootPage = 0;
    int depth = 0;
    qint64 leafBuckets = 0, nodes = 0;
    double averageNodeLength = 0;
    qint64 totalDup = 0, maxDup = 0;
    double averageKeyLength = 0, compressionRatio = 0;
    double averagePrefixLength = 0, averageDataLength = 0;
    qint64 clusteringFactor = 0;
    double clusteringRatio = 0;
    FillDistribution fill{};
    // RDB$INDICES.RDB$STATISTICS (1 / distinct keys) as the catalogue holds it; -1 when not read.
    double selectivity = -1;
};

struct DbStatistics {
    HeaderPage header;
    QList<TableStats> tables;
    QList<IndexStats> indexes;
    bool hasHeader = false;
    // Lines the parser did not place (new items of another server version), kept for the record.
    QStringList unread;
};

// Reads the text of the statistics action (or of fbstat), whole or line by line.
DbStatistics parseStatistics(const QStringList& lines);
DbStatistics parseStatistics(const QString& text);

// The shutdown state in Portuguese, as the windows show it.
QString shutdownText(ShutdownMode mode);
