// Users, roles and privileges through their window, held against the server: a user created here
// logs in, gets a role and SELECT grants that the server enforces, loses them and is dropped; bad
// input is refused with a message and leaves nothing half-done. Every user made here is dropped
// again, also when a check fails.
#include "admin/privilegegrid.h"
#include "admin/securityadmin.h"
#include "admin/ui/fusuarios.h"
#include "admin/ui/usuariodialog.h"
#include "connection/dm.h"
#include "connection/fberror.h"
#include "connection/statement.h"
#include "platform/ui/icons.h"
#include "support/adminfixture.h"
#include "support/connectedholder.h"
#include "support/errortext.h"
#include "support/modal.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {
// Typed key by key, accents too.
void typeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(w, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}
} // namespace

class TestUsuarios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void userLogsInGetsRoleAndGrantsLosesThemAndIsDropped();
    void changedAndDeactivatedUsersAsTheServerSeesThem();
    void namesAreQuotedAsTheServerStoresThem_data();
    void namesAreQuotedAsTheServerStoresThem();
    void gridChangesReachTheServer_data();
    void gridChangesReachTheServer();
    void roleAdminOptionComesAndGoes();
    void badInputIsRefused();
    void aGrantThatFailsLeavesNothingDone();
    void serverRefusesANonAdministrator();

private:
    void connectProgram(const QString& user = QStringLiteral("SYSDBA"), const QString& password = QString());
    // Types a new user into the dialog that "Novo..." opens and clicks OK.
    void typeNewUser(TFUsuarios& w, const QString& name, const QString& password, const QString& confirmation,
                     const QString& firstName = QString());
    void clickCell(TFUsuarios& w, ObjectKind kind, const QString& object, Privilege p);
    // The first column of a SELECT run by `user` (with `role`), or the server's refusal.
    QString readAs(const QString& user, const QString& password, const QString& role, const QString& select);
    // RDB$USER_PRIVILEGES of a grantee, as "S0 T" lines (privilege, grant option, object).
    QStringList privilegesHeld(const QString& grantee);

    std::unique_ptr<ServerDatabase> m_db;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TdM> m_dm;
    std::unique_ptr<TestUsers> m_users;
};

void TestUsuarios::init() {
    resetConnectionState();
    m_db = std::make_unique<ServerDatabase>(QStringList{
        QStringLiteral("create table T (ID integer)"), QStringLiteral("create table U (NOME varchar(10))"),
        QStringLiteral("insert into T values (7)"), QStringLiteral("insert into U values ('u')")});
    m_users = std::make_unique<TestUsers>(m_db->connectionString());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_dm = std::make_unique<TdM>();
}

void TestUsuarios::cleanup() {
    try {
        if (m_dm->Banco->connected()) m_dm->DisconnectDatabase();
    } catch (...) {
    }
    m_dm.reset();
    m_prompts.reset();
    m_users.reset(); // drops the users made here
    m_db.reset();
    resetConnectionState();
}

void TestUsuarios::connectProgram(const QString& user, const QString& password) {
    m_prompts->defaultLogin = ScriptedPrompts::Login{true, user, password.isNull() ? testServerPassword() : password};
    CurrentDatabase = m_db->connectionString();
    m_dm->ConnectDatabase(CurrentDatabase);
    m_prompts->clear();
}

void TestUsuarios::typeNewUser(TFUsuarios& w, const QString& name, const QString& password,
                               const QString& confirmation, const QString& firstName) {
    onNextModal(&w, [=](QWidget* m) {
        auto* d = qobject_cast<TUsuarioDialog*>(m);
        QVERIFY(d);
        QCOMPARE(d->ESenha->echoMode(), QLineEdit::Password);
        QCOMPARE(d->EConfirma->echoMode(), QLineEdit::Password);
        typeText(d->ENome, name);
        typeText(d->ESenha, password);
        typeText(d->EConfirma, confirmation);
        typeText(d->EPrimeiro, firstName);
        d->BOk->click();
    });
    w.BNovo->click();
}

void TestUsuarios::clickCell(TFUsuarios& w, ObjectKind kind, const QString& object, Privilege p) {
    const int row = w.Privilegios->rowOf(kind, object);
    QVERIFY2(row >= 0, qPrintable(object));
    const QModelIndex i = w.Privilegios->index(row, PrivilegeGrid::columnOf(p));
    w.GPrivilegios->scrollTo(i);
    QTest::mouseClick(w.GPrivilegios->viewport(), Qt::LeftButton, {}, w.GPrivilegios->visualRect(i).center());
}

QString TestUsuarios::readAs(const QString& user, const QString& password, const QString& role, const QString& select) {
    try {
        auto c = serverConnection(m_db->connectionString(), user, password, role);
        c->open();
        Statement st(&c->db, &c->tr);
        st.prepare(select);
        st.execute();
        QStringList out;
        while (st.fetch())
            out << st.out().text(0);
        return out.join(',');
    } catch (const AppError& e) {
        return e.message();
    }
}

QStringList TestUsuarios::privilegesHeld(const QString& grantee) {
    auto c = serverConnection(m_db->connectionString());
    c->open();
    Statement st(&c->db, &c->tr);
    st.prepare(QStringLiteral("select trim(RDB$PRIVILEGE) || RDB$GRANT_OPTION || ' ' || trim(RDB$RELATION_NAME) "
                              "from RDB$USER_PRIVILEGES where RDB$USER = ? order by 1"));
    st.in().setValue(0, grantee);
    st.execute();
    QStringList out;
    while (st.fetch())
        out << st.out().text(0);
    return out;
}

void TestUsuarios::userLogsInGetsRoleAndGrantsLosesThemAndIsDropped() {
    connectProgram();
    TFUsuarios w;
    w.show();
    QVERIFY(m_prompts->errorReports().isEmpty());

    // Created as typed: a regular name in lower case is stored in upper case; the password keeps
    // its quote, blank and accent.
    const QString user = m_users->name(QStringLiteral("A"));
    m_users->remember(user);
    const QString password = QStringLiteral("se'nha ç");
    typeNewUser(w, user.toLower(), password, password, QStringLiteral("João"));
    QVERIFY(m_prompts->errorReports().isEmpty());
    QVERIFY(m_users->exists(user));
    QVERIFY(w.selectUser(user));
    QCOMPARE(w.GUsuarios->item(w.GUsuarios->currentRow(), 1)->text(), QStringLiteral("João"));
    QCOMPARE(w.GUsuarios->item(w.GUsuarios->currentRow(), 4)->text(), QStringLiteral("Sim"));

    // Logs in, and may read nothing yet.
    const QString noSelectOnT = QStringLiteral("no permission for SELECT access to TABLE T");
    QVERIFY(readAs(user, password, {}, QStringLiteral("select ID from T")).contains(noSelectOnT));
    QVERIFY(readAs(user, QStringLiteral("wrong"), {}, QStringLiteral("select ID from T"))
                .contains(QStringLiteral("Your user name and password are not defined")));

    // A role with a blank in its name, SELECT on T for it, and the role for the user.
    const QString role = QStringLiteral("Leitor %1").arg(QCoreApplication::applicationPid());
    m_prompts->inputAnswers << role;
    m_prompts->messageAnswers << MbYes;
    w.BNovoPapel->click();
    QCOMPARE(m_prompts->messages.last().text,
             QStringLiteral("Serão executados no banco os comandos:\r\n\r\nCREATE ROLE \"%1\";\r\n\r\nConfirma?").arg(role));
    QCOMPARE(w.currentRole(), role);

    QVERIFY(w.selectGrantee(Grantee{Grantee::Role, role}));
    w.CBConcessionarioChange();
    clickCell(w, ObjectKind::Table, QStringLiteral("T"), Privilege::Select);
    QCOMPARE(w.Privilegios->data(w.Privilegios->index(w.Privilegios->rowOf(ObjectKind::Table, QStringLiteral("T")),
                                                      PrivilegeGrid::columnOf(Privilege::Select)),
                                 Qt::DisplayRole)
                 .toString(),
             QStringLiteral("Sim"));
    m_prompts->messageAnswers << MbYes;
    w.BAplica->click();
    QCOMPARE(m_prompts->messages.last().text,
             QStringLiteral("Serão executados no banco os comandos:\r\n\r\nGRANT SELECT ON TABLE T TO ROLE \"%1\";"
                            "\r\n\r\nConfirma?")
                 .arg(role));
    QVERIFY(!w.Privilegios->changed());

    QVERIFY(w.selectRole(role));
    w.CBMembro->setCurrentIndex(w.CBMembro->findText(user));
    m_prompts->messageAnswers << MbYes;
    w.BConcede->click();
    QCOMPARE(m_prompts->messages.last().text,
             QStringLiteral("Serão executados no banco os comandos:\r\n\r\nGRANT \"%1\" TO USER %2;\r\n\r\nConfirma?")
                 .arg(role, user));
    QCOMPARE(w.GMembros->rowCount(), 1);
    QCOMPARE(w.GMembros->item(0, 0)->text(), user);
    QVERIFY(m_prompts->errorReports().isEmpty());

    // The server enforces them: T through the role (when logged in with it), U granted directly.
    const QString quotedRole = '"' + role + '"';
    QCOMPARE(readAs(user, password, quotedRole, QStringLiteral("select ID from T")), QStringLiteral("7"));
    QVERIFY(readAs(user, password, {}, QStringLiteral("select ID from T")).contains(noSelectOnT));
    QVERIFY(w.selectGrantee(Grantee{Grantee::User, user}));
    w.CBConcessionarioChange();
    clickCell(w, ObjectKind::Table, QStringLiteral("U"), Privilege::Select);
    m_prompts->messageAnswers << MbYes;
    w.BAplica->click();
    QCOMPARE(readAs(user, password, {}, QStringLiteral("select NOME from U")), QStringLiteral("u"));

    // Loses them.
    QVERIFY(w.selectRole(role));
    w.GMembros->setCurrentCell(0, 0);
    m_prompts->messageAnswers << MbYes;
    w.BRevoga->click();
    QCOMPARE(m_prompts->messages.last().text,
             QStringLiteral("Serão executados no banco os comandos:\r\n\r\nREVOKE \"%1\" FROM USER %2;\r\n\r\nConfirma?")
                 .arg(role, user));
    clickCell(w, ObjectKind::Table, QStringLiteral("U"), Privilege::Select); // with grant option
    clickCell(w, ObjectKind::Table, QStringLiteral("U"), Privilege::Select); // not granted
    m_prompts->messageAnswers << MbYes;
    w.BAplica->click();
    QVERIFY(m_prompts->messages.last().text.contains(QStringLiteral("REVOKE SELECT ON TABLE U FROM USER %1;").arg(user)));
    QVERIFY(readAs(user, password, quotedRole, QStringLiteral("select ID from T")).contains(noSelectOnT));
    QVERIFY(readAs(user, password, {}, QStringLiteral("select NOME from U"))
                .contains(QStringLiteral("no permission for SELECT access to TABLE U")));
    QCOMPARE(privilegesHeld(user), QStringList());

    // The role goes, and then the user, each after a question that names it.
    QVERIFY(w.selectRole(role));
    m_prompts->messageAnswers << MbYes;
    w.BExcluiPapel->click();
    QVERIFY(!w.selectRole(role));
    QVERIFY(w.selectUser(user));
    m_prompts->messageAnswers << MbYes;
    w.BExclui->click();
    QVERIFY(m_prompts->messages.last().text.startsWith(QStringLiteral("Excluir o usuário %1 do servidor?").arg(user)));
    QCOMPARE(m_prompts->messages.last().defaultButton, MbNo);
    QVERIFY(!m_users->exists(user));
    QVERIFY(!w.selectUser(user));
    QVERIFY(readAs(user, password, {}, QStringLiteral("select ID from T"))
                .contains(QStringLiteral("Your user name and password are not defined")));
    QVERIFY(m_prompts->errorReports().isEmpty());
}

void TestUsuarios::changedAndDeactivatedUsersAsTheServerSeesThem() {
    connectProgram();
    const QString old = QStringLiteral("velha");
    const QString user = m_users->create(old, QStringLiteral("ALT"));
    TFUsuarios w;
    w.show();
    QVERIFY(w.selectUser(user));

    // A new password typed twice and a last name; the name cannot be changed.
    const QString fresh = QStringLiteral("nova'senha");
    onNextModal(&w, [&](QWidget* m) {
        auto* d = qobject_cast<TUsuarioDialog*>(m);
        QVERIFY(d);
        QCOMPARE(d->ENome->text(), user);
        QVERIFY(d->ENome->isReadOnly());
        QCOMPARE(d->ESenha->text(), QString());
        typeText(d->ESenha, fresh);
        typeText(d->EConfirma, fresh);
        typeText(d->EUltimo, QStringLiteral("Araújo"));
        d->BOk->click();
    });
    w.BAltera->click();
    QVERIFY(m_prompts->errorReports().isEmpty());
    QVERIFY(w.selectUser(user));
    QCOMPARE(w.GUsuarios->item(w.GUsuarios->currentRow(), 3)->text(), QStringLiteral("Araújo"));
    const QString refused = QStringLiteral("Your user name and password are not defined");
    QCOMPARE(readAs(user, fresh, {}, QStringLiteral("select count(*) from RDB$DATABASE")), QStringLiteral("1"));
    QVERIFY(readAs(user, old, {}, QStringLiteral("select count(*) from RDB$DATABASE")).contains(refused));

    // Changed again with the password left blank: it stays.
    onNextModal(&w, [&](QWidget* m) {
        auto* d = qobject_cast<TUsuarioDialog*>(m);
        QVERIFY(d);
        d->EPrimeiro->setText(QStringLiteral("Ana"));
        d->BOk->click();
    });
    w.BAltera->click();
    QCOMPARE(readAs(user, fresh, {}, QStringLiteral("select count(*) from RDB$DATABASE")), QStringLiteral("1"));

    // Deactivated after a question: the server keeps it out until it is active again.
    m_prompts->messageAnswers << MbYes;
    w.BAtiva->click();
    QCOMPARE(m_prompts->messages.last().text,
             QStringLiteral("Desativar o usuário %1? Ele não poderá entrar no servidor enquanto estiver desativado.")
                 .arg(user));
    QVERIFY(w.selectUser(user));
    QCOMPARE(w.GUsuarios->item(w.GUsuarios->currentRow(), 4)->text(), QStringLiteral("Não"));
    QVERIFY(readAs(user, fresh, {}, QStringLiteral("select count(*) from RDB$DATABASE")).contains(refused));
    w.BAtiva->click();
    QCOMPARE(readAs(user, fresh, {}, QStringLiteral("select count(*) from RDB$DATABASE")), QStringLiteral("1"));
    QVERIFY(m_prompts->errorReports().isEmpty());
}

void TestUsuarios::namesAreQuotedAsTheServerStoresThem_data() {
    QTest::addColumn<QString>("suffix");  // typed after the unique prefix
    QTest::addColumn<bool>("upperCase");  // the server stores it in upper case
    QTest::newRow("regular, lower case") << QStringLiteral("_min") << true;
    QTest::newRow("blank inside") << QStringLiteral(" com espaço") << false;
    QTest::newRow("double quote inside") << QStringLiteral("_a\"b") << false;
    QTest::newRow("single quote inside") << QStringLiteral("_d'Ávila") << false;
}

void TestUsuarios::namesAreQuotedAsTheServerStoresThem() {
    QFETCH(QString, suffix);
    QFETCH(bool, upperCase);
    connectProgram();
    TFUsuarios w;
    w.show();
    const QString typed = m_users->name().toLower() + suffix;
    const QString stored = upperCase ? typed.toUpper() : typed;
    m_users->remember(stored);
    typeNewUser(w, typed, QStringLiteral("x\"y'z"), QStringLiteral("x\"y'z"));
    QVERIFY2(m_prompts->errorReports().isEmpty(), qPrintable(m_prompts->errorReports().join('\n')));
    QVERIFY(m_users->exists(stored));
    QVERIFY(w.selectUser(stored));
    m_prompts->messageAnswers << MbYes;
    w.BExclui->click();
    QVERIFY(m_prompts->errorReports().isEmpty());
    QVERIFY(!m_users->exists(stored));
}

void TestUsuarios::gridChangesReachTheServer_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("statements");
    const int none = PrivilegeGrid::None, granted = PrivilegeGrid::Granted, option = PrivilegeGrid::WithOption;
    QTest::newRow("grant") << none << granted << QStringLiteral("GRANT SELECT, UPDATE ON TABLE T TO USER %1");
    QTest::newRow("grant with option")
        << none << option << QStringLiteral("GRANT SELECT, UPDATE ON TABLE T TO USER %1 WITH GRANT OPTION");
    QTest::newRow("add the option")
        << granted << option << QStringLiteral("GRANT SELECT, UPDATE ON TABLE T TO USER %1 WITH GRANT OPTION");
    QTest::newRow("take the option")
        << option << granted << QStringLiteral("REVOKE GRANT OPTION FOR SELECT, UPDATE ON TABLE T FROM USER %1");
    QTest::newRow("revoke") << granted << none << QStringLiteral("REVOKE SELECT, UPDATE ON TABLE T FROM USER %1");
    QTest::newRow("revoke with option") << option << none << QStringLiteral("REVOKE SELECT, UPDATE ON TABLE T FROM USER %1");
}

void TestUsuarios::gridChangesReachTheServer() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, statements);
    connectProgram();
    const QString user = m_users->create(QStringLiteral("x"));
    SecurityAdmin admin(AdminLogin::of(m_dm->Banco));
    const Grantee grantee{Grantee::User, user};
    PrivilegeGrid grid;
    admin.loadPrivileges(grid, grantee);
    const int t = grid.rowOf(ObjectKind::Table, QStringLiteral("T"));
    for (Privilege p : {Privilege::Select, Privilege::Update})
        QVERIFY(grid.setState(t, p, PrivilegeGrid::State(from)));
    QVERIFY(admin.applyPrivileges(grid).isEmpty());
    for (Privilege p : {Privilege::Select, Privilege::Update}) {
        QCOMPARE(grid.heldState(t, p), PrivilegeGrid::State(from));
        QVERIFY(grid.setState(t, p, PrivilegeGrid::State(to)));
    }
    QCOMPARE(grid.statements(), QStringList{statements.arg(user)});
    QCOMPARE(admin.applyPrivileges(grid), QStringList());
    for (Privilege p : {Privilege::Select, Privilege::Update})
        QCOMPARE(grid.heldState(t, p), PrivilegeGrid::State(to));
    // What the catalogue holds, read apart from the program.
    QStringList expected;
    if (to != PrivilegeGrid::None)
        expected = QStringList{QStringLiteral("S%1 T").arg(to == PrivilegeGrid::WithOption),
                               QStringLiteral("U%1 T").arg(to == PrivilegeGrid::WithOption)};
    QCOMPARE(privilegesHeld(user), expected);
}

void TestUsuarios::roleAdminOptionComesAndGoes() {
    m_db->file().exec(QStringLiteral("create role GERENTE"));
    const QString user = m_users->create(QStringLiteral("x"));
    connectProgram();
    TFUsuarios w;
    w.show();
    QVERIFY(w.selectRole(QStringLiteral("GERENTE")));
    w.CBMembro->setCurrentIndex(w.CBMembro->findText(user));

    const struct {
        bool adminOption;
        QString statement, shown, held;
    } steps[] = {
        {true, QStringLiteral("GRANT GERENTE TO USER %1 WITH ADMIN OPTION"), QStringLiteral("Sim"), QStringLiteral("M2 GERENTE")},
        {false, QStringLiteral("REVOKE ADMIN OPTION FOR GERENTE FROM USER %1"), QStringLiteral("Não"), QStringLiteral("M0 GERENTE")},
    };
    for (const auto& step : steps) {
        w.CKOpcaoAdmin->setChecked(step.adminOption);
        m_prompts->messageAnswers << MbYes;
        w.BConcede->click();
        QCOMPARE(m_prompts->messages.last().text,
                 QStringLiteral("Serão executados no banco os comandos:\r\n\r\n%1;\r\n\r\nConfirma?")
                     .arg(step.statement.arg(user)));
        QCOMPARE(w.GMembros->rowCount(), 1);
        QCOMPARE(w.GMembros->item(0, 1)->text(), step.shown);
        QCOMPARE(privilegesHeld(user), QStringList{step.held});
    }
    // Asked again as it stands: nothing to run.
    m_prompts->clear();
    w.BConcede->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages[0].text, QStringLiteral("O usuário %1 já tem o papel GERENTE assim.").arg(user));
    QVERIFY(m_prompts->errorReports().isEmpty());
}

void TestUsuarios::badInputIsRefused() {
    connectProgram();
    TFUsuarios w;
    w.show();
    const QString name = m_users->name(QStringLiteral("BAD"));
    m_users->remember(name);
    const struct {
        QString name, password, confirmation, message;
    } cases[] = {
        {name, QStringLiteral("abc"), QStringLiteral("abd"),
         QStringLiteral("A senha e a confirmação não conferem. Digite a senha de novo nos dois campos.")},
        {name, QString(), QString(), QStringLiteral("Informe a senha do novo usuário.")},
        {QStringLiteral("   "), QStringLiteral("abc"), QStringLiteral("abc"), QStringLiteral("Informe o nome do usuário.")},
    };
    for (const auto& c : cases) {
        m_prompts->clear();
        bool stayedOpen = false;
        onNextModal(&w, [&](QWidget* m) {
            auto* d = qobject_cast<TUsuarioDialog*>(m);
            QVERIFY(d);
            typeText(d->ENome, c.name);
            typeText(d->ESenha, c.password);
            typeText(d->EConfirma, c.confirmation);
            d->BOk->click();
            stayedOpen = d->isVisible();
            d->BCancela->click();
        });
        w.BNovo->click();
        QVERIFY(stayedOpen);
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages[0].text, c.message);
        QCOMPARE(m_prompts->messages[0].caption, QStringLiteral("Erro"));
        QVERIFY(!m_users->exists(name));
    }

    // Neither deactivated nor dropped: the user this program is logged in as.
    for (QPushButton* b : {w.BAtiva, w.BExclui}) {
        m_prompts->clear();
        QVERIFY(w.selectUser(QStringLiteral("SYSDBA")));
        b->click();
        QCOMPARE(m_prompts->messages.size(), 1); // no question asked
        QCOMPARE(m_prompts->messages[0].caption, QStringLiteral("Erro"));
        QVERIFY(m_prompts->messages[0].text.startsWith(QStringLiteral("O usuário SYSDBA é o desta conexão")));
    }
    QVERIFY(m_users->exists(QStringLiteral("SYSDBA")));
    QCOMPARE(readAs(QStringLiteral("SYSDBA"), testServerPassword(), {}, QStringLiteral("select ID from T")),
             QStringLiteral("7"));
}

void TestUsuarios::aGrantThatFailsLeavesNothingDone() {
    m_db->file().exec(QStringLiteral("create table ZZ_SOME (ID integer)"));
    connectProgram();
    const QString user = m_users->create(QStringLiteral("x"));
    TFUsuarios w;
    w.show();
    QVERIFY(w.selectGrantee(Grantee{Grantee::User, user}));
    w.CBConcessionarioChange();
    clickCell(w, ObjectKind::Table, QStringLiteral("T"), Privilege::Select);
    clickCell(w, ObjectKind::Table, QStringLiteral("ZZ_SOME"), Privilege::Select);
    // The table goes while the grid shows it.
    {
        auto other = serverConnection(m_db->connectionString());
        other->open();
        executeImmediate(&other->db, &other->tr, QStringLiteral("drop table ZZ_SOME"));
        other->tr.commit();
    }
    m_prompts->messageAnswers << MbYes;
    w.BAplica->click();
    const QStringList errors = m_prompts->errorReports();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(QStringLiteral("O servidor recusou o comando\r\nGRANT SELECT ON TABLE ZZ_SOME TO "
                                                 "USER %1\r\n")
                                      .arg(user)),
             qPrintable(errors[0]));
    QVERIFY(errors[0].contains(QStringLiteral("ZZ_SOME")));
    QVERIFY(errors[0].endsWith(QStringLiteral("Nada foi alterado.")));
    // The grant on T that ran before it was undone with it; the grid still shows what was asked.
    QCOMPARE(privilegesHeld(user), QStringList());
    QVERIFY(w.Privilegios->changed());
}

void TestUsuarios::serverRefusesANonAdministrator() {
    const QString password = QStringLiteral("x");
    const QString plain = m_users->create(password, QStringLiteral("PLAIN"));
    connectProgram(plain, password);
    TFUsuarios w;
    w.show();
    // Such a user sees only themselves.
    QCOMPARE(w.GUsuarios->rowCount(), 1);
    QCOMPARE(w.GUsuarios->item(0, 0)->text(), plain);
    const QString other = m_users->name(QStringLiteral("NOPE"));
    m_users->remember(other);
    typeNewUser(w, other, QStringLiteral("abc"), QStringLiteral("abc"));
    const QStringList errors = m_prompts->errorReports();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(QStringLiteral("O servidor recusou criar o usuário %1:\r\n").arg(other)),
             qPrintable(errors[0]));
    QVERIFY(errors[0].contains(QStringLiteral("no permission for INSERT access to TABLE PLG$SRP_VIEW")));
    QVERIFY(!errors[0].contains(QStringLiteral("abc")));
    QVERIFY(!m_users->exists(other));
    // The window goes on.
    m_prompts->clear();
    w.BAtualiza->click();
    QVERIFY(m_prompts->errorReports().isEmpty());
}

QTEST_MAIN(TestUsuarios)
#include "test_usuarios.moc"
