#include "admin/monitormodels.h"
#include "platform/wincolor.h"
#include <QFont>
#include <QLocale>

namespace {
constexpr quint32 kMarkedColour = 12058551; // the grids' title colour

QString count(qint64 n) {
    static const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    return brazil.toString(n);
}

QString yesNo(bool on) {
    return on ? QStringLiteral("Sim") : QStringLiteral("Não");
}
} // namespace

QString monitorTimeText(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) : QString();
}

MonitorTableModel::MonitorTableModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

int MonitorTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int MonitorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant MonitorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant MonitorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows() || index.column() >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return numeric(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (marked(index.row())) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::BackgroundRole:
        if (marked(index.row())) return winColor(kMarkedColour);
        return {};
    default: return {};
    }
}

qint64 MonitorTableModel::idAt(int row) const {
    return row >= 0 && row < rows() ? rowId(row) : -1;
}

int MonitorTableModel::rowOf(qint64 id) const {
    for (int r = 0; r < rows(); ++r)
        if (rowId(r) == id) return r;
    return -1;
}

AttachmentsModel::AttachmentsModel(QObject* parent)
    : MonitorTableModel({QStringLiteral("Conexão"), QStringLiteral("Usuário"), QStringLiteral("Papel"),
                         QStringLiteral("Endereço remoto"), QStringLiteral("Processo remoto"), QStringLiteral("PID"),
                         QStringLiteral("Máquina"), QStringLiteral("Protocolo"), QStringLiteral("Versão do cliente"),
                         QStringLiteral("Início"), QStringLiteral("Estado"), QStringLiteral("Conj. de caracteres"),
                         QStringLiteral("Leituras"), QStringLiteral("Gravações"), QStringLiteral("Acessos"),
                         QStringLiteral("Memória usada"), QStringLiteral("Memória alocada")},
                        parent) {}

void AttachmentsModel::setSnapshot(const MonitorSnapshot& s) {
    beginResetModel();
    m_rows = s.attachments;
    endResetModel();
}

QVariant AttachmentsModel::cell(int row, int column) const {
    const MonAttachment& a = m_rows.at(row);
    switch (column) {
    case 0:
        switch (a.own) {
        case MonAttachment::Program: return QStringLiteral("%1 (este programa)").arg(a.id);
        case MonAttachment::Monitor: return QStringLiteral("%1 (este monitor)").arg(a.id);
        default: return QString::number(a.id);
        }
    case 1: return a.user;
    case 2: return a.role;
    case 3: return a.protocol.isEmpty() ? QStringLiteral("(local)") : a.remoteAddress;
    case 4: return a.remoteProcess;
    case 5: return a.remotePid ? QString::number(a.remotePid) : QString();
    case 6: return a.remoteHost;
    case 7: return a.protocol.isEmpty() ? QStringLiteral("embutido") : a.protocol;
    case 8: return a.clientVersion;
    case 9: return monitorTimeText(a.started);
    case 10: return a.active ? QStringLiteral("Ativa") : QStringLiteral("Ociosa");
    case 11: return a.charset;
    case 12: return count(a.pageReads);
    case 13: return count(a.pageWrites);
    case 14: return count(a.pageFetches);
    case 15: return count(a.memoryUsed);
    case 16: return count(a.memoryAllocated);
    }
    return {};
}

bool AttachmentsModel::numeric(int column) const {
    return column == 5 || column >= 12;
}

TransactionsModel::TransactionsModel(QObject* parent)
    : MonitorTableModel({QStringLiteral("Transação"), QStringLiteral("Início"), QStringLiteral("Estado"),
                         QStringLiteral("Isolamento"), QStringLiteral("Somente leitura"), QStringLiteral("Bloqueios"),
                         QStringLiteral("Autocommit")},
                        parent) {}

void TransactionsModel::setRows(const QList<MonTransaction>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QVariant TransactionsModel::cell(int row, int column) const {
    const MonTransaction& t = m_rows.at(row);
    switch (column) {
    case 0:
        return t.oldestActive ? QStringLiteral("%1 (mais antiga ativa)").arg(t.id) : QString::number(t.id);
    case 1: return monitorTimeText(t.started);
    case 2: return t.active ? QStringLiteral("Em execução") : QStringLiteral("Ociosa");
    case 3: return isolationText(t.isolation);
    case 4: return yesNo(t.readOnly);
    case 5: return lockTimeoutText(t.lockTimeout);
    case 6: return yesNo(t.autoCommit);
    }
    return {};
}

StatementsModel::StatementsModel(QObject* parent)
    : MonitorTableModel({QStringLiteral("Comando"), QStringLiteral("Transação"), QStringLiteral("Estado"),
                         QStringLiteral("Início"), QStringLiteral("Decorrido"), QStringLiteral("Texto")},
                        parent) {}

void StatementsModel::setRows(const QList<MonStatement>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QVariant StatementsModel::cell(int row, int column) const {
    const MonStatement& s = m_rows.at(row);
    switch (column) {
    case 0: return QString::number(s.id);
    case 1: return s.transactionId ? QString::number(s.transactionId) : QString();
    case 2: return s.state == 1 ? QStringLiteral("Em execução") : QStringLiteral("Parado entre leituras");
    case 3: return monitorTimeText(s.started);
    case 4: return durationText(s.elapsedMs);
    case 5: {
        QString text = s.text.simplified();
        if (text.size() > 200) text = text.left(200) + QStringLiteral("...");
        return text;
    }
    }
    return {};
}
