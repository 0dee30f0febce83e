#include "connection/ui/logindialog.h"
#include "platform/ui/uifont.h"
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TLoginDialog::TLoginDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Database Login"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(sansFont(11));
    setFixedSize(281, 135);

    Label3 = new QLabel(QStringLiteral("Database:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(10, 8, 76, 16);

    DatabaseName = new QLabel(this);
    DatabaseName->setObjectName(QStringLiteral("DatabaseName"));
    DatabaseName->setGeometry(86, 8, 185, 16);
    DatabaseName->setTextFormat(Qt::PlainText);

    Bevel = new QFrame(this);
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setFrameShape(QFrame::HLine);
    Bevel->setFrameShadow(QFrame::Sunken);
    Bevel->setGeometry(6, 28, 269, 4);

    Label1 = new QLabel(QStringLiteral("&User Name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(10, 42, 76, 16);
    UserName = new QLineEdit(this);
    UserName->setObjectName(QStringLiteral("UserName"));
    UserName->setMaxLength(31);
    UserName->setGeometry(86, 39, 185, 22);
    Label1->setBuddy(UserName);

    Label2 = new QLabel(QStringLiteral("&Password:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(10, 70, 76, 16);
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setMaxLength(31);
    Password->setEchoMode(QLineEdit::Password);
    // Shown as '*' as the users know it, whatever the style's own mask character.
    Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Password->setGeometry(86, 67, 185, 22);
    Label2->setBuddy(Password);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(115, 102, 75, 25);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(196, 102, 75, 25);
    CancelButton->setAutoDefault(false);
    // QDialog already closes with Cancel on Esc.
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(UserName, Password);
    setTabOrder(Password, OKButton);
    setTabOrder(OKButton, CancelButton);
}

TLoginDialog::~TLoginDialog() {
    Password->clear();
}

void TLoginDialog::setDatabaseName(const QString& name) {
    m_databaseName = name;
    DatabaseName->setToolTip(name);
    fitDatabaseName();
}

void TLoginDialog::setUserName(const QString& name) { UserName->setText(name); }

QString TLoginDialog::takePassword() {
    const QString p = Password->text();
    Password->clear();
    return p;
}

void TLoginDialog::fitDatabaseName() {
    // A long path keeps its beginning and its file name.
    DatabaseName->setText(
        DatabaseName->fontMetrics().elidedText(m_databaseName, Qt::ElideMiddle, DatabaseName->width()));
}

void TLoginDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    fitDatabaseName();
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (UserName->text().isEmpty())
        UserName->setFocus(Qt::OtherFocusReason);
    else
        Password->setFocus(Qt::OtherFocusReason);
}

bool runLoginDialog(QWidget* parent, const LoginRequest& request, QString* userName, QString* password) {
    TLoginDialog dlg(parent);
    dlg.setDatabaseName(request.databaseName);
    dlg.setUserName(request.userName);
    if (dlg.exec() != QDialog::Accepted) return false;
    *userName = dlg.UserName->text();
    *password = dlg.takePassword();
    return true;
}
