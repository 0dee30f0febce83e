#include "admin/statsmodel.h"
#include "platform/wincolor.h"
#include <QLocale>

StatsModel::StatsModel(QObject* parent) : QAbstractTableModel(parent) {}

void StatsModel::reset(std::vector<Column> columns, QList<QVariantList> rows, QList<bool> warnings) {
    beginResetModel();
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_warnings = std::move(warnings);
    endResetModel();
}

QVariant StatsModel::value(int row, int column) const {
    if (row < 0 || row >= m_rows.size()) return {};
    return m_rows[row].value(column);
}

int StatsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StatsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant StatsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Column& c = m_columns[static_cast<size_t>(index.column())];
    const QVariant v = value(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (!v.isValid()) return QString();
        if (c.decimals < 0) return v.toString();
        const QLocale locale;
        if (c.decimals == 0) return locale.toString(v.toLongLong());
        return locale.toString(v.toDouble(), 'f', c.decimals);
    }
    case Qt::EditRole:
        return v;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (c.decimals < 0 ? Qt::AlignLeft : Qt::AlignRight));
    case Qt::ForegroundRole:
        if (warning(index.row())) return warningText();
        break;
    case Qt::BackgroundRole:
        if (warning(index.row())) return warningBackground();
        break;
    default:
        break;
    }
    return {};
}

QVariant StatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= columnCount()) return {};
    return m_columns[static_cast<size_t>(section)].title;
}

QColor StatsModel::warningText() {
    return winColor(128); // dark red
}

QColor StatsModel::warningBackground() {
    return winColor(10079487); // light orange
}

qint64 defaultGapLimit(const HeaderPage& header) {
    const qint64 interval = header.effectiveSweepInterval();
    return interval > 0 ? interval : HeaderPage::kDefaultSweepInterval;
}

namespace {
QString yesNo(bool on) {
    return on ? QStringLiteral("Sim") : QStringLiteral("Não");
}
QVariant number(qint64 n) {
    return n < 0 ? QVariant() : QVariant(n);
}
} // namespace

void fillHeaderModel(StatsModel& model, const HeaderPage& h, qint64 gapLimit) {
    QList<QVariantList> rows;
    QList<bool> warnings;
    auto add = [&](const QString& item, const QVariant& value, const QString& note = {}, bool warn = false) {
        rows.append({item, value, note});
        warnings.append(warn);
    };
    auto gap = [&](const QString& item, qint64 g, const QString& meaning) {
        const bool warn = g >= 0 && g > gapLimit;
        add(item, number(g),
            warn ? QStringLiteral("Acima do limite (%1): %2").arg(QLocale().toString(gapLimit), meaning) : meaning, warn);
    };
    const QLocale locale;
    add(QStringLiteral("Arquivo"), h.databaseFile);
    add(QStringLiteral("Tamanho da página"), h.pageSize, QStringLiteral("bytes"));
    add(QStringLiteral("Versão ODS"), h.odsVersion);
    add(QStringLiteral("Dialeto SQL"), h.dialect);
    add(QStringLiteral("Transação de interesse mais antiga (OIT)"), number(h.oldestTransaction));
    add(QStringLiteral("Transação ativa mais antiga (OAT)"), number(h.oldestActive));
    add(QStringLiteral("Snapshot mais antigo (OST)"), number(h.oldestSnapshot));
    add(QStringLiteral("Próxima transação"), number(h.nextTransaction));
    gap(QStringLiteral("Diferença OAT - OIT"), h.activeGap(),
        QStringLiteral("transações presas entre a de interesse mais antiga e a ativa mais antiga"));
    gap(QStringLiteral("Diferença OST - OIT"), h.snapshotGap(),
        QStringLiteral("o que dispara o sweep automático"));
    gap(QStringLiteral("Diferença Próxima - OAT"), h.nextGap(),
        QStringLiteral("quanto a transação ativa mais antiga está atrasada"));
    add(QStringLiteral("Intervalo de sweep"), h.effectiveSweepInterval(),
        h.sweepInterval < 0       ? QStringLiteral("padrão do servidor")
        : h.sweepInterval == 0 ? QStringLiteral("sweep automático desligado")
                                  : QString());
    add(QStringLiteral("Gravação forçada"), yesNo(h.forcedWrites));
    add(QStringLiteral("Buffers de página"), h.pageBuffers,
        h.pageBuffers == 0 ? QStringLiteral("padrão do servidor") : QString());
    add(QStringLiteral("Somente leitura"), yesNo(h.readOnly));
    add(QStringLiteral("Estado"), shutdownText(h.shutdown));
    add(QStringLiteral("Data de criação"), h.creationDate);
    add(QStringLiteral("Implementação"), h.implementation);
    Q_UNUSED(locale);
    model.reset({{QStringLiteral("Item"), QStringLiteral("ITEM"), -1},
                 {QStringLiteral("Valor"), QStringLiteral("VALOR"), -1},
                 {QStringLiteral("Observação"), QStringLiteral("OBSERVACAO"), -1}},
                rows, warnings);
}

namespace {
void addFill(QVariantList& row, const FillDistribution& fill) {
    for (qint64 f : fill)
        row.append(f);
}

void addFillColumns(std::vector<StatsModel::Column>& columns) {
    const char* const bands[] = {"0_19", "20_39", "40_59", "60_79", "80_99"};
    const char* const titles[] = {"0-19%", "20-39%", "40-59%", "60-79%", "80-99%"};
    for (int i = 0; i < 5; ++i)
        columns.push_back({QStringLiteral("Páginas %1").arg(QLatin1String(titles[i])),
                           QStringLiteral("FAIXA_") + QLatin1String(bands[i]), 0});
}
} // namespace

void fillTablesModel(StatsModel& model, const DbStatistics& stats) {
    std::vector<StatsModel::Column> columns{
        {QStringLiteral("Tabela"), QStringLiteral("TABELA"), -1},
        {QStringLiteral("Registros"), QStringLiteral("REGISTROS"), 0},
        {QStringLiteral("Tam. médio do registro"), QStringLiteral("TAM_MEDIO_REGISTRO"), 2},
        {QStringLiteral("Versões"), QStringLiteral("VERSOES"), 0},
        {QStringLiteral("Máx. versões"), QStringLiteral("MAX_VERSOES"), 0},
        {QStringLiteral("Tam. médio da versão"), QStringLiteral("TAM_MEDIO_VERSAO"), 2},
        {QStringLiteral("Fragmentos"), QStringLiteral("FRAGMENTOS"), 0},
        {QStringLiteral("Páginas de dados"), QStringLiteral("PAGINAS_DADOS"), 0},
        {QStringLiteral("Preenchimento médio %"), QStringLiteral("PREENCHIMENTO_MEDIO"), 0},
        {QStringLiteral("Páginas vazias"), QStringLiteral("PAGINAS_VAZIAS"), 0},
        {QStringLiteral("Páginas cheias"), QStringLiteral("PAGINAS_CHEIAS"), 0},
        {QStringLiteral("Blobs"), QStringLiteral("BLOBS"), 0},
        {QStringLiteral("Páginas de blobs"), QStringLiteral("PAGINAS_BLOBS"), 0},
        {QStringLiteral("Compressão"), QStringLiteral("COMPRESSAO"), 2},
    };
    addFillColumns(columns);
    QList<QVariantList> rows;
    for (const TableStats& t : stats.tables) {
        QVariantList row{t.name,           t.totalRecords,  t.averageRecordLength, t.totalVersions,
                         t.maxVersions,    t.averageVersionLength, t.totalFragments, t.dataPages,
                         t.averageFill,    t.emptyPages,    t.fullPages,           t.blobs,
                         t.blobPages,      t.compressionRatio};
        addFill(row, t.fill);
        rows.append(row);
    }
    model.reset(std::move(columns), rows);
}

void fillIndexesModel(StatsModel& model, const DbStatistics& stats) {
    std::vector<StatsModel::Column> columns{
        {QStringLiteral("Tabela"), QStringLiteral("TABELA"), -1},
        {QStringLiteral("Índice"), QStringLiteral("INDICE"), -1},
        {QStringLiteral("Profundidade"), QStringLiteral("PROFUNDIDADE"), 0},
        {QStringLiteral("Nós"), QStringLiteral("NOS"), 0},
        {QStringLiteral("Tam. médio da chave"), QStringLiteral("TAM_MEDIO_CHAVE"), 2},
        {QStringLiteral("Seletividade"), QStringLiteral("SELETIVIDADE"), 8},
        {QStringLiteral("Duplicados"), QStringLiteral("DUPLICADOS"), 0},
        {QStringLiteral("Máx. duplicados"), QStringLiteral("MAX_DUPLICADOS"), 0},
        {QStringLiteral("Páginas folha"), QStringLiteral("PAGINAS_FOLHA"), 0},
        {QStringLiteral("Fator de agrupamento"), QStringLiteral("FATOR_AGRUPAMENTO"), 0},
    };
    addFillColumns(columns);
    QList<QVariantList> rows;
    for (const IndexStats& i : stats.indexes) {
        QVariantList row{i.table,
                         i.name,
                         i.depth,
                         i.nodes,
                         i.averageKeyLength,
                         i.selectivity < 0 ? QVariant() : QVariant(i.selectivity),
                         i.totalDup,
                         i.maxDup,
                         i.leafBuckets,
                         i.clusteringFactor};
        addFill(row, i.fill);
        rows.append(row);
    }
    model.reset(std::move(columns), rows);
}
