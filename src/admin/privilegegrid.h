#pragma once
#include "admin/securitycatalog.h"
#include <QAbstractTableModel>
#include <QList>
#include <array>

// The privileges of one user or role as a grid: a row per object, a column per privilege. A cell
// is changed by cycling it (not granted, granted, granted with grant option); the changes become
// the GRANT and REVOKE statements that make the server hold what the grid shows.
class PrivilegeGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    enum State { NotApplicable = -1, None = 0, Granted = 1, WithOption = 2, SomeColumns = 3 };
    static constexpr int FirstPrivilegeColumn = 2;

    explicit PrivilegeGrid(QObject* parent = nullptr);

    // The grid as the server holds it now; pending changes are dropped.
    void load(const Grantee& grantee, const QList<DbObject>& objects, const QList<GrantedPrivilege>& held,
              int dialect = 3);
    const Grantee& grantee() const { return m_grantee; }
    const DbObject& object(int row) const { return m_rows.at(row).object; }
    int rowOf(ObjectKind kind, const QString& name) const;
    static int columnOf(Privilege p) { return FirstPrivilegeColumn + static_cast<int>(p); }

    State state(int row, Privilege p) const;
    State heldState(int row, Privilege p) const;
    // Not granted -> granted -> with grant option -> not granted (a grant on some columns only
    // goes to granted on the whole table first). False for a cell that does not apply.
    bool cycle(const QModelIndex& index);
    bool setState(int row, Privilege p, State s);
    bool changed() const;
    void discardChanges();

    // The statements, one per object and kind of change: REVOKE, REVOKE GRANT OPTION FOR, GRANT,
    // GRANT ... WITH GRANT OPTION.
    QStringList statements() const;
    // After the statements ran and the grid was loaded again: the cells that the server does not
    // hold as asked (a privilege granted by someone else stays until its grantor revokes it), as
    // lines "TABELA T: Select".
    static QStringList differences(const PrivilegeGrid& asked, const PrivilegeGrid& held);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Qt::EditRole takes a State.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Row {
        DbObject object;
        std::array<State, kPrivilegeCount> held;
        std::array<State, kPrivilegeCount> wanted;
    };
    bool privilegeAt(const QModelIndex& index, Privilege* p) const;

    Grantee m_grantee;
    int m_dialect = 3;
    QList<Row> m_rows;
};

QString privilegeStateText(PrivilegeGrid::State s);
