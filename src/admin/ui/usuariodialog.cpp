#include "admin/ui/usuariodialog.h"
#include "admin/ui/adminlook.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int maxLength) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}

void wipe(QLineEdit* e) {
    // Over the old characters first, so the old text is not left whole in the box's memory.
    e->setText(QString(e->text().size(), QChar(' ')));
    e->clear();
}
} // namespace

TUsuarioDialog::TUsuarioDialog(const UserFields& user, bool creating, QWidget* parent)
    : QDialog(parent), m_user(user), m_creating(creating) {
    setObjectName(QStringLiteral("UsuarioDialog"));
    setWindowTitle(creating ? QStringLiteral("Novo usuário") : QStringLiteral("Altera o usuário ") + user.name);
    paintAdminWindow(this);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    ENome = edit(this, "ENome", user.name, 63);
    ENome->setReadOnly(!creating);
    ESenha = edit(this, "ESenha", QString(), 255);
    ESenha->setEchoMode(QLineEdit::Password);
    EConfirma = edit(this, "EConfirma", QString(), 255);
    EConfirma->setEchoMode(QLineEdit::Password);
    EPrimeiro = edit(this, "EPrimeiro", user.firstName, 32);
    EMeio = edit(this, "EMeio", user.middleName, 32);
    EUltimo = edit(this, "EUltimo", user.lastName, 32);
    CKAtivo = new QCheckBox(QStringLiteral("&Ativo (pode entrar)"), this);
    CKAtivo->setObjectName(QStringLiteral("CKAtivo"));
    CKAtivo->setChecked(user.active);
    CKAdmin = new QCheckBox(QStringLiteral("Ad&ministrador (papel RDB$ADMIN no servidor)"), this);
    CKAdmin->setObjectName(QStringLiteral("CKAdmin"));
    CKAdmin->setChecked(user.admin);
    form->addRow(QStringLiteral("&Nome:"), ENome);
    form->addRow(QStringLiteral("&Senha:"), ESenha);
    form->addRow(QStringLiteral("&Confirmação:"), EConfirma);
    if (!creating) {
        auto* hint = new QLabel(QStringLiteral("Deixe a senha em branco para mantê-la."), this);
        form->addRow(QString(), hint);
    }
    form->addRow(QStringLiteral("&Primeiro nome:"), EPrimeiro);
    form->addRow(QStringLiteral("Nome do m&eio:"), EMeio);
    form->addRow(QStringLiteral("Ú&ltimo nome:"), EUltimo);
    form->addRow(QString(), CKAtivo);
    form->addRow(QString(), CKAdmin);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BOk = adminButton(this, "BOk", QStringLiteral("&OK"), QStringLiteral("check"));
    BOk->setDefault(true);
    BCancela = adminButton(this, "BCancela", QStringLiteral("&Cancela"), QStringLiteral("cross"));
    buttons->addWidget(BOk);
    buttons->addWidget(BCancela);
    layout->addLayout(buttons);
    (creating ? ENome : ESenha)->setFocus();

    connect(BOk, &QPushButton::clicked, this, guarded([this] { BOkClick(); }));
    connect(BCancela, &QPushButton::clicked, this, &QDialog::reject);
}

TUsuarioDialog::~TUsuarioDialog() {
    wipe(ESenha);
    wipe(EConfirma);
}

UserFields TUsuarioDialog::fields() const {
    UserFields u = m_user;
    if (m_creating) u.name = storedName(ENome->text());
    u.firstName = EPrimeiro->text();
    u.middleName = EMeio->text();
    u.lastName = EUltimo->text();
    u.active = CKAtivo->isChecked();
    u.admin = CKAdmin->isChecked();
    return u;
}

QString TUsuarioDialog::takePassword() {
    QString p = ESenha->text();
    wipe(ESenha);
    wipe(EConfirma);
    return p;
}

void TUsuarioDialog::BOkClick() {
    // A refusal leaves the dialog open with what was typed, for the user to correct.
    try {
        checkUserInput(fields().name, ESenha->text(), EConfirma->text(), m_creating);
    } catch (const AppError& e) {
        showMessage(e.message(), QStringLiteral("Erro"), MsgIcon::Error);
        return;
    }
    accept();
}
