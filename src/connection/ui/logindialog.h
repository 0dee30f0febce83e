#pragma once
#include "platform/prompts.h"
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "Database Login": asked before every attach. The typed password is handed over once
// (takePassword) and kept nowhere else.
class TLoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget* parent = nullptr);
    ~TLoginDialog() override;

    void setDatabaseName(const QString& name);
    QString databaseName() const { return m_databaseName; }
    void setUserName(const QString& name);
    // The typed password; the box is emptied.
    QString takePassword();

    QLabel* Label3;
    QLabel* DatabaseName;
    QFrame* Bevel;
    QLabel* Label1;
    QLineEdit* UserName;
    QLabel* Label2;
    QLineEdit* Password;
    QPushButton* OKButton;
    QPushButton* CancelButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void fitDatabaseName();
    QString m_databaseName;
};

// The login prompt of the program (QtPrompts is given it at start-up): the dialog, modal over
// `parent`, with the request's database and proposed user name. False when cancelled.
bool runLoginDialog(QWidget* parent, const LoginRequest& request, QString* userName, QString* password);
