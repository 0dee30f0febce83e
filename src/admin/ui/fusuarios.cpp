#include "admin/ui/fusuarios.h"
#include "admin/privilegegrid.h"
#include "admin/securityadmin.h"
#include "admin/ui/adminlook.h"
#include "admin/ui/usuariodialog.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/windowplace.h"
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QTableWidget* listGrid(QWidget* parent, const char* name, const QStringList& headers) {
    auto* g = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setHorizontalHeaderLabels(headers);
    styleAdminGrid(g);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

void setRow(QTableWidget* g, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c)
        g->setItem(row, c, new QTableWidgetItem(cells[c]));
}

QString yesNo(bool on) {
    return on ? QStringLiteral("Sim") : QStringLiteral("Não");
}

QString cellText(const QTableWidget* g, int column) {
    const int row = g->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : g->item(row, column);
    return item ? item->text() : QString();
}

bool selectByText(QTableWidget* g, const QString& text) {
    for (int r = 0; r < g->rowCount(); ++r)
        if (g->item(r, 0) && g->item(r, 0)->text() == text) {
            reselectRow(g, r);
            return true;
        }
    return false;
}

const QString kAttention = QStringLiteral("Atenção");
} // namespace

TFUsuarios::TFUsuarios(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FUsuarios"));
    setWindowTitle(QStringLiteral("Usuários e permissões"));
    setAttribute(Qt::WA_DeleteOnClose);
    paintAdminWindow(this);
    resize(sizeHint());

    m_admin = std::make_unique<SecurityAdmin>(AdminLogin::of(TdM::instance() ? TdM::instance()->Banco : nullptr));

    auto* layout = new QVBoxLayout(this);
    PCUsuarios = new QTabWidget(this);
    PCUsuarios->setObjectName(QStringLiteral("PCUsuarios"));
    layout->addWidget(PCUsuarios, 1);

    // Users.
    auto* users = new QWidget;
    auto* usersLayout = new QVBoxLayout(users);
    GUsuarios = listGrid(users, "GUsuarios",
                         {QStringLiteral("Usuário"), QStringLiteral("Primeiro nome"), QStringLiteral("Nome do meio"),
                          QStringLiteral("Último nome"), QStringLiteral("Ativo"), QStringLiteral("Administrador"),
                          QStringLiteral("Plug-in")});
    usersLayout->addWidget(GUsuarios, 1);
    auto* userButtons = new QHBoxLayout;
    BNovo = adminButton(users, "BNovo", QStringLiteral("&Novo..."), QStringLiteral("page-plus"));
    BAltera = adminButton(users, "BAltera", QStringLiteral("&Altera..."), QStringLiteral("pencil"));
    BAtiva = adminButton(users, "BAtiva", QStringLiteral("A&tiva / desativa"), QStringLiteral("check"));
    BExclui = adminButton(users, "BExclui", QStringLiteral("&Exclui"), QStringLiteral("page-minus"));
    for (QPushButton* b : {BNovo, BAltera, BAtiva, BExclui})
        userButtons->addWidget(b);
    userButtons->addStretch(1);
    usersLayout->addLayout(userButtons);
    PCUsuarios->addTab(users, QStringLiteral("Usuários"));

    // Roles.
    auto* roles = new QWidget;
    auto* rolesLayout = new QHBoxLayout(roles);
    auto* roleSide = new QVBoxLayout;
    roleSide->addWidget(new QLabel(QStringLiteral("Papéis do banco:"), roles));
    GPapeis = listGrid(roles, "GPapeis", {QStringLiteral("Papel"), QStringLiteral("Dono")});
    roleSide->addWidget(GPapeis, 1);
    auto* roleButtons = new QHBoxLayout;
    BNovoPapel = adminButton(roles, "BNovoPapel", QStringLiteral("Novo &papel..."), QStringLiteral("page-plus"));
    BExcluiPapel = adminButton(roles, "BExcluiPapel", QStringLiteral("E&xclui papel"), QStringLiteral("page-minus"));
    roleButtons->addWidget(BNovoPapel);
    roleButtons->addWidget(BExcluiPapel);
    roleButtons->addStretch(1);
    roleSide->addLayout(roleButtons);
    rolesLayout->addLayout(roleSide, 1);
    auto* memberSide = new QVBoxLayout;
    memberSide->addWidget(new QLabel(QStringLiteral("Usuários que têm o papel escolhido:"), roles));
    GMembros = listGrid(roles, "GMembros",
                        {QStringLiteral("Usuário"), QStringLiteral("Opção de administração"),
                         QStringLiteral("Concedido por")});
    memberSide->addWidget(GMembros, 1);
    auto* memberButtons = new QHBoxLayout;
    CBMembro = new QComboBox(roles);
    CBMembro->setObjectName(QStringLiteral("CBMembro"));
    CBMembro->setMinimumContentsLength(16);
    CKOpcaoAdmin = new QCheckBox(QStringLiteral("com opção de a&dministração"), roles);
    CKOpcaoAdmin->setObjectName(QStringLiteral("CKOpcaoAdmin"));
    BConcede = adminButton(roles, "BConcede", QStringLiteral("&Concede"), QStringLiteral("check"));
    BRevoga = adminButton(roles, "BRevoga", QStringLiteral("&Revoga"), QStringLiteral("cross"));
    memberButtons->addWidget(CBMembro, 1);
    memberButtons->addWidget(CKOpcaoAdmin);
    memberButtons->addWidget(BConcede);
    memberButtons->addWidget(BRevoga);
    memberSide->addLayout(memberButtons);
    rolesLayout->addLayout(memberSide, 1);
    PCUsuarios->addTab(roles, QStringLiteral("Papéis"));

    // Privileges.
    auto* privileges = new QWidget;
    auto* privilegesLayout = new QVBoxLayout(privileges);
    auto* granteeLine = new QHBoxLayout;
    granteeLine->addWidget(new QLabel(QStringLiteral("Privilégios de:"), privileges));
    CBConcessionario = new QComboBox(privileges);
    CBConcessionario->setObjectName(QStringLiteral("CBConcessionario"));
    CBConcessionario->setMinimumContentsLength(24);
    granteeLine->addWidget(CBConcessionario);
    granteeLine->addStretch(1);
    privilegesLayout->addLayout(granteeLine);
    Privilegios = new PrivilegeGrid(this);
    GPrivilegios = new QTableView(privileges);
    GPrivilegios->setObjectName(QStringLiteral("GPrivilegios"));
    GPrivilegios->setModel(Privilegios);
    styleAdminGrid(GPrivilegios);
    GPrivilegios->setSelectionBehavior(QAbstractItemView::SelectItems);
    privilegesLayout->addWidget(GPrivilegios, 1);
    LLegenda = new QLabel(QStringLiteral("Um clique (ou a barra de espaço) numa casa passa de não concedido a \"Sim\", "
                                         "a \"Sim + opção\" (com opção de concessão, WITH GRANT OPTION) e de volta. "
                                         "As alterações, em amarelo, só valem depois de \"Aplica\"."),
                          privileges);
    LLegenda->setObjectName(QStringLiteral("LLegenda"));
    LLegenda->setWordWrap(true);
    privilegesLayout->addWidget(LLegenda);
    auto* gridButtons = new QHBoxLayout;
    BAplica = adminButton(privileges, "BAplica", QStringLiteral("A&plica..."), QStringLiteral("ticked-sheet-pen"));
    BDesfaz = adminButton(privileges, "BDesfaz", QStringLiteral("&Desfaz"), QStringLiteral("undo-arrow"));
    gridButtons->addWidget(BAplica);
    gridButtons->addWidget(BDesfaz);
    gridButtons->addStretch(1);
    privilegesLayout->addLayout(gridButtons);
    PCUsuarios->addTab(privileges, QStringLiteral("Privilégios"));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    BAtualiza = adminButton(this, "BAtualiza", QStringLiteral("Atuali&za"), QStringLiteral("folder-open"));
    BFecha = adminButton(this, "BFecha", QStringLiteral("&Fecha"), QStringLiteral("door-arrow"));
    bottom->addWidget(BAtualiza);
    bottom->addWidget(BFecha);
    layout->addLayout(bottom);

    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), GPrivilegios);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, guarded([this] { GPrivilegiosClick(GPrivilegios->currentIndex()); }));
    connect(GPrivilegios, &QTableView::clicked, this, [this](const QModelIndex& i) { runGuarded([&] { GPrivilegiosClick(i); }); });
    connect(BNovo, &QPushButton::clicked, this, guarded([this] { BNovoClick(); }));
    connect(BAltera, &QPushButton::clicked, this, guarded([this] { BAlteraClick(); }));
    connect(BAtiva, &QPushButton::clicked, this, guarded([this] { BAtivaClick(); }));
    connect(BExclui, &QPushButton::clicked, this, guarded([this] { BExcluiClick(); }));
    connect(BNovoPapel, &QPushButton::clicked, this, guarded([this] { BNovoPapelClick(); }));
    connect(BExcluiPapel, &QPushButton::clicked, this, guarded([this] { BExcluiPapelClick(); }));
    connect(BConcede, &QPushButton::clicked, this, guarded([this] { BConcedeClick(); }));
    connect(BRevoga, &QPushButton::clicked, this, guarded([this] { BRevogaClick(); }));
    connect(BAplica, &QPushButton::clicked, this, guarded([this] { BAplicaClick(); }));
    connect(BDesfaz, &QPushButton::clicked, this, guarded([this] { BDesfazClick(); }));
    connect(BAtualiza, &QPushButton::clicked, this, guarded([this] { BAtualizaClick(); }));
    connect(BFecha, &QPushButton::clicked, this, guarded([this] { BFechaClick(); }));
    connect(GPapeis, &QTableWidget::currentCellChanged, this, guarded([this] { fillMembers(); }));
    connect(CBConcessionario, &QComboBox::activated, this, guarded([this] { CBConcessionarioChange(); }));
}

TFUsuarios::~TFUsuarios() = default;

void TFUsuarios::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    placeChildInCentre(this);
    runGuarded([this] { FormShow(); });
}

void TFUsuarios::FormShow() {
    readAll();
}

void TFUsuarios::readAll() {
    AdminConnection& c = m_admin->connection();
    m_users = readUsers(c);
    m_roles = readRoles(c);
    m_members = readRoleMembers(c);
    fillUsers();
    fillRoles();
    fillGrantees();
}

void TFUsuarios::fillUsers() {
    const QString chosen = currentUser();
    GUsuarios->setRowCount(static_cast<int>(m_users.size()));
    for (int r = 0; r < m_users.size(); ++r) {
        const UserFields& u = m_users[r];
        setRow(GUsuarios, r,
               {u.name, u.firstName, u.middleName, u.lastName, yesNo(u.active), yesNo(u.admin), u.plugin});
    }
    GUsuarios->resizeColumnsToContents();
    if (!selectUser(chosen) && GUsuarios->rowCount() > 0) reselectRow(GUsuarios, 0);

    const QString member = CBMembro->currentText();
    CBMembro->clear();
    for (const UserFields& u : m_users)
        CBMembro->addItem(u.name);
    CBMembro->setCurrentIndex(std::max(0, CBMembro->findText(member)));
}

void TFUsuarios::fillRoles() {
    const QString chosen = currentRole();
    {
        const QSignalBlocker quiet(GPapeis);
        GPapeis->setRowCount(static_cast<int>(m_roles.size()));
        for (int r = 0; r < m_roles.size(); ++r)
            setRow(GPapeis, r, {m_roles[r].name, m_roles[r].owner});
        GPapeis->resizeColumnsToContents();
        if (!selectRole(chosen) && GPapeis->rowCount() > 0) reselectRow(GPapeis, 0);
    }
    fillMembers();
}

void TFUsuarios::fillMembers() {
    const QString role = currentRole();
    GMembros->setRowCount(0);
    for (const RoleMember& m : m_members) {
        if (m.role != role) continue;
        const int r = GMembros->rowCount();
        GMembros->insertRow(r);
        setRow(GMembros, r, {m.user, yesNo(m.adminOption), m.grantor});
    }
    GMembros->resizeColumnsToContents();
}

void TFUsuarios::fillGrantees() {
    {
        const QSignalBlocker quiet(CBConcessionario);
        CBConcessionario->clear();
        for (const UserFields& u : m_users)
            CBConcessionario->addItem(QStringLiteral("Usuário ") + u.name, QStringList{QStringLiteral("U"), u.name});
        for (const RoleInfo& r : m_roles)
            CBConcessionario->addItem(QStringLiteral("Papel ") + r.name, QStringList{QStringLiteral("R"), r.name});
    }
    if (Privilegios->changed()) {
        // What was changed in the grid and not applied yet stays; the combo shows whose it is.
        selectGrantee(m_shownGrantee);
        return;
    }
    if (!selectGrantee(m_shownGrantee) && CBConcessionario->count() > 0) CBConcessionario->setCurrentIndex(0);
    m_shownGrantee = currentGrantee();
    if (m_shownGrantee.name.isEmpty()) {
        Privilegios->load(Grantee(), {}, {});
        return;
    }
    m_admin->loadPrivileges(*Privilegios, m_shownGrantee);
    GPrivilegios->resizeColumnsToContents();
}

Grantee TFUsuarios::currentGrantee() const {
    const QStringList data = CBConcessionario->currentData().toStringList();
    if (data.size() != 2) return {};
    return Grantee{data[0] == QLatin1String("R") ? Grantee::Role : Grantee::User, data[1]};
}

bool TFUsuarios::selectGrantee(const Grantee& grantee) {
    const QSignalBlocker quiet(CBConcessionario);
    const QStringList wanted{grantee.kind == Grantee::Role ? QStringLiteral("R") : QStringLiteral("U"), grantee.name};
    const int i = CBConcessionario->findData(wanted);
    if (i < 0) return false;
    CBConcessionario->setCurrentIndex(i);
    return true;
}

QString TFUsuarios::currentUser() const {
    return cellText(GUsuarios, 0);
}

QString TFUsuarios::currentRole() const {
    return cellText(GPapeis, 0);
}

bool TFUsuarios::selectUser(const QString& name) {
    return selectByText(GUsuarios, name);
}

bool TFUsuarios::selectRole(const QString& name) {
    return selectByText(GPapeis, name);
}

bool TFUsuarios::askToRun(const QStringList& statements) {
    const QString text = QStringLiteral("Serão executados no banco os comandos:\r\n\r\n") +
                         statements.join(QStringLiteral(";\r\n")) + QStringLiteral(";\r\n\r\nConfirma?");
    return showMessage(text, kAttention, MsgIcon::Question, MbYes | MbNo, MbYes) == MbYes;
}

bool TFUsuarios::confirmAndRun(const QStringList& statements) {
    if (!askToRun(statements)) return false;
    m_admin->run(statements);
    return true;
}

bool TFUsuarios::mayDropGridChanges() {
    if (!Privilegios->changed()) return true;
    const QString text = QStringLiteral("Os privilégios alterados de %1 ainda não foram aplicados. Descartar as "
                                        "alterações?")
                             .arg(m_shownGrantee.name);
    if (showMessage(text, kAttention, MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes) return false;
    Privilegios->discardChanges();
    return true;
}

namespace {
const UserFields* findUser(const QList<UserFields>& users, const QString& name) {
    for (const UserFields& u : users)
        if (u.name == name) return &u;
    return nullptr;
}

void chooseFirst(const QString& what) {
    showMessage(QStringLiteral("Escolha na lista %1.").arg(what), QStringLiteral("Atenção"), MsgIcon::Warning);
}
} // namespace

void TFUsuarios::BNovoClick() {
    TUsuarioDialog d(UserFields{}, true, this);
    if (d.exec() != QDialog::Accepted) return;
    const UserFields u = d.fields();
    QString password = d.takePassword();
    m_admin->createUser(u, password);
    readAll();
    selectUser(u.name);
}

void TFUsuarios::BAlteraClick() {
    const UserFields* before = findUser(m_users, currentUser());
    if (!before) return chooseFirst(QStringLiteral("o usuário a alterar"));
    const UserFields was = *before;
    TUsuarioDialog d(was, false, this);
    if (d.exec() != QDialog::Accepted) return;
    const UserFields after = d.fields();
    QString password = d.takePassword();
    if (!after.active && was.active) {
        const QString refusal = m_admin->lockOutRefusal(was.name, QStringLiteral("desativado"));
        if (!refusal.isEmpty()) {
            showMessage(refusal, QStringLiteral("Erro"), MsgIcon::Error);
            return;
        }
    }
    m_admin->alterUser(was, after, password);
    readAll();
}

void TFUsuarios::BAtivaClick() {
    const UserFields* u = findUser(m_users, currentUser());
    if (!u) return chooseFirst(QStringLiteral("o usuário a ativar ou desativar"));
    const QString name = u->name;
    const bool activate = !u->active;
    if (!activate) {
        const QString refusal = m_admin->lockOutRefusal(name, QStringLiteral("desativado"));
        if (!refusal.isEmpty()) {
            showMessage(refusal, QStringLiteral("Erro"), MsgIcon::Error);
            return;
        }
        if (showMessage(QStringLiteral("Desativar o usuário %1? Ele não poderá entrar no servidor enquanto estiver "
                                       "desativado.")
                            .arg(name),
                        kAttention, MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
            return;
    }
    m_admin->setUserActive(name, activate);
    readAll();
}

void TFUsuarios::BExcluiClick() {
    const QString name = currentUser();
    if (name.isEmpty()) return chooseFirst(QStringLiteral("o usuário a excluir"));
    const QString refusal = m_admin->lockOutRefusal(name, QStringLiteral("excluído"));
    if (!refusal.isEmpty()) {
        showMessage(refusal, QStringLiteral("Erro"), MsgIcon::Error);
        return;
    }
    if (showMessage(QStringLiteral("Excluir o usuário %1 do servidor? Ele não poderá mais entrar em nenhum banco "
                                   "deste servidor. Os privilégios e papéis dados a ele neste banco continuam "
                                   "registrados até serem revogados.")
                        .arg(name),
                    kAttention, MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;
    m_admin->dropUser(name);
    readAll();
}

void TFUsuarios::BNovoPapelClick() {
    QString typed;
    if (!Prompts::instance().input(InputRequest{QStringLiteral("Novo papel"), QStringLiteral("Nome do papel:"), QString()},
                                   &typed))
        return;
    const QStringList statements = m_admin->createRoleStatements(typed);
    if (!confirmAndRun(statements)) return;
    readAll();
    selectRole(storedName(typed));
    fillMembers();
}

void TFUsuarios::BExcluiPapelClick() {
    const QString role = currentRole();
    if (role.isEmpty()) return chooseFirst(QStringLiteral("o papel a excluir"));
    if (!confirmAndRun(m_admin->dropRoleStatements(role))) return;
    readAll();
}

void TFUsuarios::BConcedeClick() {
    const QString role = currentRole();
    if (role.isEmpty()) return chooseFirst(QStringLiteral("o papel a conceder"));
    const QString user = CBMembro->currentText();
    if (user.isEmpty()) return chooseFirst(QStringLiteral("o usuário que recebe o papel"));
    bool has = false, hadAdmin = false;
    for (const RoleMember& m : m_members)
        if (m.role == role && m.user == user) {
            has = true;
            hadAdmin = m.adminOption;
        }
    const QStringList statements =
        m_admin->grantRoleStatements(role, user, CKOpcaoAdmin->isChecked(), has, hadAdmin);
    if (statements.isEmpty()) {
        showMessage(QStringLiteral("O usuário %1 já tem o papel %2 assim.").arg(user, role), kAttention,
                    MsgIcon::Information);
        return;
    }
    if (!confirmAndRun(statements)) return;
    readAll();
}

void TFUsuarios::BRevogaClick() {
    const QString role = currentRole();
    const QString user = cellText(GMembros, 0);
    if (role.isEmpty() || user.isEmpty()) return chooseFirst(QStringLiteral("o usuário que perde o papel"));
    if (!confirmAndRun(m_admin->revokeRoleStatements(role, user))) return;
    readAll();
}

void TFUsuarios::CBConcessionarioChange() {
    const Grantee wanted = currentGrantee();
    if (wanted == m_shownGrantee) return;
    if (!mayDropGridChanges()) {
        selectGrantee(m_shownGrantee);
        return;
    }
    m_shownGrantee = wanted;
    m_admin->loadPrivileges(*Privilegios, m_shownGrantee);
    GPrivilegios->resizeColumnsToContents();
}

void TFUsuarios::GPrivilegiosClick(const QModelIndex& index) {
    Privilegios->cycle(index);
}

void TFUsuarios::BAplicaClick() {
    const QStringList statements = Privilegios->statements();
    if (statements.isEmpty()) {
        showMessage(QStringLiteral("Não há alterações de privilégios a aplicar."), kAttention, MsgIcon::Information);
        return;
    }
    if (!askToRun(statements)) return;
    const QStringList differences = m_admin->applyPrivileges(*Privilegios);
    if (!differences.isEmpty())
        showMessage(QStringLiteral("O servidor executou os comandos, mas estes privilégios não ficaram como pedido:"
                                   "\r\n\r\n%1\r\n\r\nUm privilégio concedido por outro usuário só é revogado por "
                                   "quem o concedeu.")
                        .arg(differences.join(QStringLiteral("\r\n"))),
                    kAttention, MsgIcon::Warning);
}

void TFUsuarios::BDesfazClick() {
    Privilegios->discardChanges();
}

void TFUsuarios::BAtualizaClick() {
    if (!mayDropGridChanges()) return;
    readAll();
}

void TFUsuarios::BFechaClick() {
    if (!mayDropGridChanges()) return;
    childFrame(this)->close();
}
