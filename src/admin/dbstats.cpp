#include "admin/dbstats.h"
#include <QHash>
#include <QRegularExpression>

namespace {
// "Average record length: 27.87, total records: 20000" -> {"average record length": "27.87", ...}.
// Keys are compared in lower case: the first word of a line is capitalised, the others are not.
QHash<QString, QString> pairsOf(const QString& line) {
    QHash<QString, QString> out;
    for (const QString& part : line.split(',')) {
        const int colon = part.lastIndexOf(':');
        if (colon < 0) continue;
        out.insert(part.left(colon).trimmed().toLower(), part.mid(colon + 1).trimmed());
    }
    return out;
}

qint64 integer(const QString& text) {
    QString t = text;
    t.remove('%');
    return t.trimmed().toLongLong();
}

double decimal(const QString& text) {
    return text.trimmed().toDouble();
}

template <class T> void take(const QHash<QString, QString>& pairs, const char* key, T& field) {
    const auto it = pairs.constFind(QLatin1String(key));
    if (it == pairs.constEnd()) return;
    if constexpr (std::is_floating_point_v<T>)
        field = decimal(*it);
    else
        field = static_cast<T>(integer(*it));
}

// "T (128)" or "    Index RDB$PRIMARY1 (0)": the name and the number in brackets at the end.
bool nameAndId(const QString& text, QString* name, int* id) {
    static const QRegularExpression re(QStringLiteral("^(.*) \\((\\d+)\\)$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return false;
    *name = m.captured(1);
    *id = m.captured(2).toInt();
    return true;
}

void readHeaderEntry(HeaderPage& h, const QString& name, const QString& value) {
    h.entries.append({name, value});
    const QString key = name.toLower();
    if (key == QLatin1String("page size"))
        h.pageSize = value.toInt();
    else if (key == QLatin1String("ods version"))
        h.odsVersion = value;
    else if (key == QLatin1String("database dialect"))
        h.dialect = value.toInt();
    else if (key == QLatin1String("oldest transaction"))
        h.oldestTransaction = value.toLongLong();
    else if (key == QLatin1String("oldest active"))
        h.oldestActive = value.toLongLong();
    else if (key == QLatin1String("oldest snapshot"))
        h.oldestSnapshot = value.toLongLong();
    else if (key == QLatin1String("next transaction"))
        h.nextTransaction = value.toLongLong();
    else if (key == QLatin1String("page buffers"))
        h.pageBuffers = value.toLongLong();
    else if (key == QLatin1String("sweep interval"))
        h.sweepInterval = value.toLongLong();
    else if (key == QLatin1String("creation date"))
        h.creationDate = value;
    else if (key == QLatin1String("implementation"))
        h.implementation = value;
    else if (key == QLatin1String("attributes")) {
        h.attributes = value;
        const QStringList attrs = value.split(',', Qt::SkipEmptyParts);
        for (const QString& raw : attrs) {
            const QString a = raw.trimmed().toLower();
            if (a == QLatin1String("force write"))
                h.forcedWrites = true;
            else if (a == QLatin1String("read only"))
                h.readOnly = true;
            else if (a == QLatin1String("full shutdown"))
                h.shutdown = ShutdownMode::Full;
            else if (a == QLatin1String("single-user maintenance"))
                h.shutdown = ShutdownMode::Single;
            else if (a == QLatin1String("multi-user maintenance"))
                h.shutdown = ShutdownMode::Multi;
        }
    }
}

// A header line: a tab, the name, tabs, the value ("\tPage size\t\t8192"); in the variable data
// the name ends with ":" ("\tSweep interval:\t\t5000").
bool splitHeaderLine(const QString& line, QString* name, QString* value) {
    const QString t = line.trimmed();
    const int tab = t.indexOf('\t');
    if (tab < 0) {
        *name = t;
        value->clear();
        return !t.isEmpty();
    }
    *name = t.left(tab).trimmed();
    if (name->endsWith(':')) name->chop(1);
    *value = t.mid(tab).trimmed();
    return true;
}
} // namespace

qint64 HeaderPage::activeGap() const {
    return oldestActive < 0 || oldestTransaction < 0 ? -1 : oldestActive - oldestTransaction;
}

qint64 HeaderPage::snapshotGap() const {
    return oldestSnapshot < 0 || oldestTransaction < 0 ? -1 : oldestSnapshot - oldestTransaction;
}

qint64 HeaderPage::nextGap() const {
    return nextTransaction < 0 || oldestActive < 0 ? -1 : nextTransaction - oldestActive;
}

DbStatistics parseStatistics(const QString& text) {
    QStringList lines = text.split('\n');
    for (QString& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return parseStatistics(lines);
}

DbStatistics parseStatistics(const QStringList& lines) {
    DbStatistics s;
    enum Section { Start, Header, Variable, Files, Pages, End } section = Start;
    static const QRegularExpression databaseLine(QStringLiteral("^Database \"(.*)\"$"));
    static const QRegularExpression band(QStringLiteral("^(\\d+)\\s*-\\s*(\\d+)%\\s*=\\s*(\\d+)$"));
    FillDistribution* fill = nullptr; // the distribution being read, while its lines come
    int bandsRead = 0;

    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) continue;
        if (line.startsWith(QLatin1String("Gstat execution time")) ||
            line.startsWith(QLatin1String("Gstat completion time"))) {
            if (line.startsWith(QLatin1String("Gstat completion"))) section = End;
            continue;
        }
        if (const QRegularExpressionMatch m = databaseLine.match(line); m.hasMatch() && section == Start) {
            s.header.databaseFile = m.captured(1);
            continue;
        }
        if (line == QLatin1String("Database header page information:")) {
            section = Header;
            s.hasHeader = true;
            continue;
        }
        if (line == QLatin1String("Variable header data:")) {
            section = Variable;
            continue;
        }
        if (line == QLatin1String("Database file sequence:")) {
            section = Files;
            continue;
        }
        if (line.startsWith(QLatin1String("Analyzing database pages"))) {
            section = Pages;
            continue;
        }

        switch (section) {
        case Header:
        case Variable: {
            if (line == QLatin1String("*END*")) continue;
            QString name, value;
            if (splitHeaderLine(raw, &name, &value)) readHeaderEntry(s.header, name, value);
            continue;
        }
        case Files:
            continue;
        case Pages:
            break;
        case Start:
        case End:
            s.unread.append(raw);
            continue;
        }

        // Database pages: tables, their indexes, fill distributions.
        if (fill) {
            if (const QRegularExpressionMatch m = band.match(line); m.hasMatch()) {
                const int from = m.captured(1).toInt();
                const int slot = std::clamp(from / 20, 0, 4);
                (*fill)[static_cast<size_t>(slot)] = m.captured(3).toLongLong();
                if (++bandsRead == 5) fill = nullptr;
                continue;
            }
            fill = nullptr;
        }
        QString name;
        int id = 0;
        if (!raw.isEmpty() && !raw.at(0).isSpace() && nameAndId(raw, &name, &id)) {
            TableStats t;
            t.name = name;
            t.id = id;
            s.tables.append(t);
            continue;
        }
        if (line.startsWith(QLatin1String("Index ")) && nameAndId(line.mid(6), &name, &id) && !s.tables.isEmpty()) {
            IndexStats i;
            i.table = s.tables.last().name;
            i.name = name;
            i.id = id;
            s.indexes.append(i);
            continue;
        }
        if (line == QLatin1String("Fill distribution:")) {
            const bool ofIndex = !s.indexes.isEmpty() && !s.tables.isEmpty() &&
                                 s.indexes.last().table == s.tables.last().name &&
                                 raw.startsWith('\t'); // index items are indented with a tab
            if (ofIndex)
                fill = &s.indexes.last().fill;
            else if (!s.tables.isEmpty())
                fill = &s.tables.last().fill;
            bandsRead = 0;
            continue;
        }
        if (s.tables.isEmpty()) {
            s.unread.append(raw);
            continue;
        }
        const QHash<QString, QString> p = pairsOf(line);
        if (p.isEmpty()) {
            s.unread.append(raw);
            continue;
        }
        // Index items are indented with a tab, table items with blanks.
        const bool indexItem = raw.startsWith('\t') && !s.indexes.isEmpty() &&
                               s.indexes.last().table == s.tables.last().name;
        if (indexItem) {
            IndexStats& i = s.indexes.last();
            take(p, "root page", i.rootPage);
            take(p, "depth", i.depth);
            take(p, "leaf buckets", i.leafBuckets);
            take(p, "nodes", i.nodes);
            take(p, "average node length", i.averageNodeLength);
            take(p, "total dup", i.totalDup);
            take(p, "max dup", i.maxDup);
            take(p, "average key length", i.averageKeyLength);
            take(p, "compression ratio", i.compressionRatio);
            take(p, "average prefix length", i.averagePrefixLength);
            take(p, "average data length", i.averageDataLength);
            take(p, "clustering factor", i.clusteringFactor);
            take(p, "ratio", i.clusteringRatio);
        } else {
            TableStats& t = s.tables.last();
            take(p, "primary pointer page", t.primaryPointerPage);
            take(p, "index root page", t.indexRootPage);
            take(p, "total formats", t.totalFormats);
            take(p, "used formats", t.usedFormats);
            take(p, "average record length", t.averageRecordLength);
            take(p, "total records", t.totalRecords);
            take(p, "average version length", t.averageVersionLength);
            take(p, "total versions", t.totalVersions);
            take(p, "max versions", t.maxVersions);
            take(p, "average fragment length", t.averageFragmentLength);
            take(p, "total fragments", t.totalFragments);
            take(p, "max fragments", t.maxFragments);
            take(p, "average unpacked length", t.averageUnpackedLength);
            take(p, "compression ratio", t.compressionRatio);
            take(p, "pointer pages", t.pointerPages);
            take(p, "data page slots", t.dataPageSlots);
            take(p, "data pages", t.dataPages);
            take(p, "average fill", t.averageFill);
            take(p, "primary pages", t.primaryPages);
            take(p, "secondary pages", t.secondaryPages);
            take(p, "swept pages", t.sweptPages);
            take(p, "empty pages", t.emptyPages);
            take(p, "full pages", t.fullPages);
            take(p, "blobs", t.blobs);
            take(p, "total length", t.blobsLength);
            take(p, "blob pages", t.blobPages);
        }
    }
    return s;
}

QString shutdownText(ShutdownMode mode) {
    switch (mode) {
    case ShutdownMode::Online:
        return QStringLiteral("Normal (online)");
    case ShutdownMode::Multi:
        return QStringLiteral("Desligado: manutenção com vários usuários");
    case ShutdownMode::Single:
        return QStringLiteral("Desligado: manutenção com um usuário");
    case ShutdownMode::Full:
        return QStringLiteral("Desligado por completo");
    }
    return {};
}
