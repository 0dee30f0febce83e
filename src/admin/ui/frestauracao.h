#pragma once
#include "admin/gbakprogress.h"
#include "admin/ui/adminwindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

// "Restauração": a backup file restored into a new database (or in place of an existing one,
// never losing it) through a server's service manager. Needs no open database: the server is the
// open database's by default, or the one typed (empty: this machine's engine), whose login is
// asked for. Opens with the focus in the backup-file box; the next box is the new database;
// Enter starts.
class TFRestauracao : public TAdminWindow {
    Q_OBJECT
public:
    explicit TFRestauracao(QWidget* parent = nullptr);

    QLineEdit* EdServidor;
    QLineEdit* EdBackup;
    QToolButton* SpBackup;
    QLineEdit* EdBanco;
    QToolButton* SpBanco;
    QComboBox* CbPagina;
    QSpinBox* SpBuffers;
    QCheckBox* CbDesativaIndices;
    QCheckBox* CbSemValidade;
    QCheckBox* CbUmaTabela;
    QCheckBox* CbTodoEspaco;
    QCheckBox* CbSomenteLeitura;
    QCheckBox* CbSubstituir;
    QPushButton* BtIniciar;
    QLabel* LbProgresso;

    void IniciarClick();
    void SpBackupClick();
    void SpBancoClick();

protected:
    void showEvent(QShowEvent* e) override;
    void setInputsEnabled(bool on) override;
    void tick(qint64 elapsedMs) override;
    void linesArrived(const QStringList& lines) override;
    bool enterPressed(QWidget* focused) override;

private:
    bool filesHere() const;
    GbakProgress m_progress;
    bool m_shown = false;
};
