#pragma once
#include "platform/prompts.h"
#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// "Abre Banco de Dados Interbase": names a database by server, protocol and path, shows the
// connection string, connects, and remembers the settings (Banco.new) and the connection
// (Conexoes.New). A child window of the main window that destroys itself when closed.
class TAbreBanco : public QWidget {
    Q_OBJECT
public:
    explicit TAbreBanco(QWidget* parent = nullptr);

    // Shows the dialog as a child of the main window (a window of its own without one).
    void showAsChild();

    QLabel* Label1;
    QLineEdit* Servidor;
    QToolButton* SP1;
    QGroupBox* RG;
    QButtonGroup* RGButtons; // the four choices, ids 0 to 3
    QLabel* Label2;
    QLineEdit* Banco;
    QToolButton* SP;
    QLabel* Label3;
    QLineEdit* Conect;
    QPushButton* Abre;
    QPushButton* BitBtn2;
    FileDialogRequest Od; // title and filters; SPClick sets the folder

    // The protocol choice: 0 to 3, or -1 when nothing is chosen. Other values are taken to the
    // nearest of those, as the radio group does.
    int protocolIndex() const;
    void setProtocolIndex(int index);

    void BuildConnectionString();
    void LoadSettings();
    void SaveSettings();

    void FormShow();
    void ServidorExit();
    void BancoExit();
    void RGClick();
    void SPClick();
    void SP1Click();
    void AbreClick();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Steps 6 and 7 of AbreClick: Banco.new and Conexoes.New, unless the values cannot be kept as
    // they are; then the user is told and the connection goes on.
    void rememberConnection();
    void closeDialog();

    bool m_shown = false;
};
