#pragma once
#include "admin/securitycatalog.h"
#include <QWidget>
#include <memory>

class PrivilegeGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class SecurityAdmin;

// "Usuários e permissões": users of the security database, roles of the open database and who
// holds them, and the privileges of a user or role as a grid whose changes run as GRANT and
// REVOKE statements shown first. Works through an attachment of its own. A child of the main
// window, destroyed when closed.
class TFUsuarios : public QWidget {
    Q_OBJECT
public:
    explicit TFUsuarios(QWidget* parent = nullptr);
    ~TFUsuarios() override;

    QTabWidget* PCUsuarios;
    // Users.
    QTableWidget* GUsuarios;
    QPushButton* BNovo;
    QPushButton* BAltera;
    QPushButton* BAtiva;
    QPushButton* BExclui;
    // Roles and who holds them.
    QTableWidget* GPapeis;
    QTableWidget* GMembros;
    QPushButton* BNovoPapel;
    QPushButton* BExcluiPapel;
    QComboBox* CBMembro;
    QCheckBox* CKOpcaoAdmin;
    QPushButton* BConcede;
    QPushButton* BRevoga;
    // Privileges.
    QComboBox* CBConcessionario;
    QTableView* GPrivilegios;
    PrivilegeGrid* Privilegios;
    QPushButton* BAplica;
    QPushButton* BDesfaz;
    QLabel* LLegenda;

    QPushButton* BAtualiza;
    QPushButton* BFecha;

    QSize sizeHint() const override { return QSize(820, 540); }

    void FormShow();
    void BNovoClick();
    void BAlteraClick();
    void BAtivaClick();
    void BExcluiClick();
    void BNovoPapelClick();
    void BExcluiPapelClick();
    void BConcedeClick();
    void BRevogaClick();
    void CBConcessionarioChange();
    void BAplicaClick();
    void BDesfazClick();
    void BAtualizaClick();
    void BFechaClick();
    // A click (or the space bar) on a privilege cell.
    void GPrivilegiosClick(const QModelIndex& index);

    // The name in the chosen row of the users' and roles' grids (empty when none).
    QString currentUser() const;
    QString currentRole() const;
    bool selectUser(const QString& name);
    bool selectRole(const QString& name);
    // Chooses a grantee in the privileges' tab (false when it is not in the list).
    bool selectGrantee(const Grantee& grantee);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void readAll();
    void fillUsers();
    void fillRoles();
    void fillMembers();
    void fillGrantees();
    // Shows the statements that are about to run; true when the user agrees.
    bool askToRun(const QStringList& statements);
    // Shows the statements and runs them when the user agrees; false when the user declined.
    bool confirmAndRun(const QStringList& statements);
    // Pending grid changes are dropped only when the user agrees.
    bool mayDropGridChanges();
    Grantee currentGrantee() const;

    std::unique_ptr<SecurityAdmin> m_admin;
    QList<UserFields> m_users;
    QList<RoleInfo> m_roles;
    QList<RoleMember> m_members;
    Grantee m_shownGrantee;
    bool m_shown = false;
};
