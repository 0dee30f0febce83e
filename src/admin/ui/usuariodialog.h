#pragma once
#include "admin/adminsql.h"
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// A user of the security database, new or changed: names, the password typed twice (never
// shown; left blank when changing, it stays as it was), active and administrator.
class TUsuarioDialog : public QDialog {
    Q_OBJECT
public:
    // creating: a new user (name and password required); otherwise `user` is changed.
    TUsuarioDialog(const UserFields& user, bool creating, QWidget* parent = nullptr);
    ~TUsuarioDialog() override; // the password boxes are emptied

    QLineEdit* ENome;
    QLineEdit* ESenha;
    QLineEdit* EConfirma;
    QLineEdit* EPrimeiro;
    QLineEdit* EMeio;
    QLineEdit* EUltimo;
    QCheckBox* CKAtivo;
    QCheckBox* CKAdmin;
    QPushButton* BOk;
    QPushButton* BCancela;

    // What was typed; the name as the server will store it.
    UserFields fields() const;
    // The password typed (empty: unchanged); the boxes are emptied.
    QString takePassword();

    void BOkClick();

private:
    UserFields m_user;
    bool m_creating;
};
