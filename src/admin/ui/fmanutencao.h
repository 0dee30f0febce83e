#pragma once
#include "admin/admintarget.h"
#include "admin/ui/adminwindow.h"

class QComboBox;
class QListWidget;
class QRadioButton;
class QSpinBox;
class ServiceParams;

// "Manutenção": validation (online, or full and read-only) with its findings listed, sweep,
// mend, shutdown (multi-user maintenance, single-user maintenance or full; forcing the others out
// after a timeout or waiting for their attachments or transactions) and bringing the database
// back online, each through the service manager, asking first where it can hurt and reporting the
// server's words. Actions that need the database alone let go of the program's own connection for
// their time.
class TFManutencao : public TAdminWindow {
    Q_OBJECT
public:
    explicit TFManutencao(QWidget* parent = nullptr);

    QLabel* LbBanco;
    QLabel* LbEstado;
    QPushButton* BtAtualiza;
    QRadioButton* RbOnline;
    QRadioButton* RbCompleta;
    QPushButton* BtValida;
    QPushButton* BtSweep;
    QPushButton* BtMend;
    QComboBox* CbModo;
    QRadioButton* RbForcar;
    QRadioButton* RbSemConexoes;
    QRadioButton* RbSemTransacoes;
    QSpinBox* SpTempo;
    QPushButton* BtDesliga;
    QPushButton* BtOnline;
    QListWidget* Achados;

    void AtualizaClick();
    void ValidaClick();
    void SweepClick();
    void MendClick();
    void DesligaClick();
    void OnlineClick();

protected:
    void showEvent(QShowEvent* e) override;
    void setInputsEnabled(bool on) override;

private:
    // Runs one request. `alone`: the program lets go of its own connection for the time (asked
    // for in `question` first) and takes it again at the end. `after(lines)` runs on success.
    void runAction(const QString& status, std::function<ServiceParams()> request, const QString& lead,
                   bool stoppable, bool alone, std::function<void(const QStringList&)> after);
    void showState();

    AdminTarget m_target;
    bool m_shown = false;
};
