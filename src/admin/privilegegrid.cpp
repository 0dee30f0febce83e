#include "admin/privilegegrid.h"
#include "platform/wincolor.h"
#include <QFont>

namespace {
constexpr quint32 kChangedColour = 12648447; // light yellow: a change not applied yet
constexpr quint32 kNotApplicableColour = 14211288;
} // namespace

QString privilegeStateText(PrivilegeGrid::State s) {
    switch (s) {
    case PrivilegeGrid::Granted: return QStringLiteral("Sim");
    case PrivilegeGrid::WithOption: return QStringLiteral("Sim + opção");
    case PrivilegeGrid::SomeColumns: return QStringLiteral("Colunas");
    default: return QString();
    }
}

PrivilegeGrid::PrivilegeGrid(QObject* parent) : QAbstractTableModel(parent) {}

void PrivilegeGrid::load(const Grantee& grantee, const QList<DbObject>& objects, const QList<GrantedPrivilege>& held,
                         int dialect) {
    beginResetModel();
    m_grantee = grantee;
    m_dialect = dialect;
    m_rows.clear();
    for (const DbObject& o : objects) {
        Row r{o, {}, {}};
        r.held.fill(NotApplicable);
        for (Privilege p : privilegesOf(o.kind))
            r.held[static_cast<size_t>(p)] = None;
        for (const GrantedPrivilege& g : held) {
            if (g.object != o.name || !objectTypeMatches(o.kind, g.objectType)) continue;
            State& s = r.held[static_cast<size_t>(g.privilege)];
            if (s == NotApplicable) continue;
            const State now = g.columnsOnly ? SomeColumns : g.grantOption ? WithOption : Granted;
            // A grant on the whole object outranks one on some columns; with option outranks without.
            if (s == None || s == SomeColumns || (s == Granted && now == WithOption)) s = now;
        }
        r.wanted = r.held;
        m_rows.append(r);
    }
    endResetModel();
}

int PrivilegeGrid::rowOf(ObjectKind kind, const QString& name) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].object.kind == kind && m_rows[i].object.name == name) return i;
    return -1;
}

PrivilegeGrid::State PrivilegeGrid::state(int row, Privilege p) const {
    return m_rows.at(row).wanted[static_cast<size_t>(p)];
}

PrivilegeGrid::State PrivilegeGrid::heldState(int row, Privilege p) const {
    return m_rows.at(row).held[static_cast<size_t>(p)];
}

bool PrivilegeGrid::privilegeAt(const QModelIndex& index, Privilege* p) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return false;
    const int c = index.column() - FirstPrivilegeColumn;
    if (c < 0 || c >= kPrivilegeCount) return false;
    *p = static_cast<Privilege>(c);
    return true;
}

bool PrivilegeGrid::setState(int row, Privilege p, State s) {
    if (row < 0 || row >= m_rows.size()) return false;
    State& cell = m_rows[row].wanted[static_cast<size_t>(p)];
    if (cell == NotApplicable || s == NotApplicable) return false;
    // Some columns only is what the server holds, never something to ask for.
    if (s == SomeColumns && m_rows[row].held[static_cast<size_t>(p)] != SomeColumns) return false;
    cell = s;
    const QModelIndex i = index(row, columnOf(p));
    emit dataChanged(i, i);
    return true;
}

bool PrivilegeGrid::cycle(const QModelIndex& index) {
    Privilege p;
    if (!privilegeAt(index, &p)) return false;
    const State now = state(index.row(), p);
    State next = None;
    switch (now) {
    case None:
    case SomeColumns: next = Granted; break;
    case Granted: next = WithOption; break;
    case WithOption: next = None; break;
    case NotApplicable: return false;
    }
    return setState(index.row(), p, next);
}

bool PrivilegeGrid::changed() const {
    for (const Row& r : m_rows)
        if (r.held != r.wanted) return true;
    return false;
}

void PrivilegeGrid::discardChanges() {
    beginResetModel();
    for (Row& r : m_rows)
        r.wanted = r.held;
    endResetModel();
}

QStringList PrivilegeGrid::statements() const {
    QStringList out;
    for (const Row& r : m_rows) {
        QList<Privilege> revoke, revokeOption, grant, grantOption;
        for (Privilege p : privilegesOf(r.object.kind)) {
            const State was = r.held[static_cast<size_t>(p)];
            const State want = r.wanted[static_cast<size_t>(p)];
            if (was == want) continue;
            if (want == None)
                revoke.append(p);
            else if (want == Granted && was == WithOption)
                revokeOption.append(p);
            else if (want == Granted)
                grant.append(p);
            else if (want == WithOption)
                grantOption.append(p);
        }
        const ObjectKind k = r.object.kind;
        const QString& n = r.object.name;
        if (!revoke.isEmpty()) out.append(revokeStatement(revoke, k, n, m_grantee, false, m_dialect));
        if (!revokeOption.isEmpty()) out.append(revokeStatement(revokeOption, k, n, m_grantee, true, m_dialect));
        if (!grant.isEmpty()) out.append(grantStatement(grant, k, n, m_grantee, false, m_dialect));
        if (!grantOption.isEmpty()) out.append(grantStatement(grantOption, k, n, m_grantee, true, m_dialect));
    }
    return out;
}

QStringList PrivilegeGrid::differences(const PrivilegeGrid& asked, const PrivilegeGrid& held) {
    QStringList out;
    for (const Row& r : asked.m_rows) {
        const int row = held.rowOf(r.object.kind, r.object.name);
        for (Privilege p : privilegesOf(r.object.kind)) {
            const State want = r.wanted[static_cast<size_t>(p)];
            const State now = row < 0 ? None : held.heldState(row, p);
            if (want != now)
                out.append(QStringLiteral("%1 %2: %3 (%4)")
                               .arg(objectKindCaption(r.object.kind), r.object.name, privilegeCaption(p),
                                    now == None ? QStringLiteral("não concedido") : privilegeStateText(now)));
        }
    }
    return out;
}

int PrivilegeGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PrivilegeGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstPrivilegeColumn + kPrivilegeCount;
}

QVariant PrivilegeGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0) return QStringLiteral("Tipo");
    if (section == 1) return QStringLiteral("Objeto");
    if (section >= FirstPrivilegeColumn && section < FirstPrivilegeColumn + kPrivilegeCount)
        return privilegeCaption(static_cast<Privilege>(section - FirstPrivilegeColumn));
    return {};
}

QVariant PrivilegeGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const Row& r = m_rows.at(index.row());
    Privilege p;
    if (!privilegeAt(index, &p)) {
        if (role != Qt::DisplayRole) return {};
        return index.column() == 0 ? objectKindCaption(r.object.kind) : r.object.name;
    }
    const State want = r.wanted[static_cast<size_t>(p)];
    const State was = r.held[static_cast<size_t>(p)];
    switch (role) {
    case Qt::DisplayRole: return privilegeStateText(want);
    case Qt::EditRole: return static_cast<int>(want);
    case Qt::TextAlignmentRole: return QVariant(Qt::AlignCenter);
    case Qt::BackgroundRole:
        if (want == NotApplicable) return winColor(kNotApplicableColour);
        if (want != was) return winColor(kChangedColour);
        return {};
    case Qt::FontRole:
        if (want != was) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::ToolTipRole:
        if (want == SomeColumns) return QStringLiteral("Concedido só em algumas colunas");
        if (want == WithOption) return QStringLiteral("Concedido com opção de concessão (WITH GRANT OPTION)");
        return {};
    default: return {};
    }
}

Qt::ItemFlags PrivilegeGrid::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Privilege p;
    if (privilegeAt(index, &p) && state(index.row(), p) == NotApplicable) return Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool PrivilegeGrid::setData(const QModelIndex& index, const QVariant& value, int role) {
    Privilege p;
    if (role != Qt::EditRole || !privilegeAt(index, &p)) return false;
    return setState(index.row(), p, static_cast<State>(value.toInt()));
}
