#pragma once
#include "admin/admintarget.h"
#include "admin/gbakprogress.h"
#include "admin/ui/adminwindow.h"

class QCheckBox;
class QLineEdit;
class QToolButton;

// "Backup": a backup of the open database through its server's service manager, with gbak's
// options; the verbose lines as they come, the table being copied, the rows so far and the time;
// over TCP/IP the backup may also come to a file of this machine. Opens with the focus in the
// backup-file box; Enter there starts.
class TFBackup : public TAdminWindow {
    Q_OBJECT
public:
    explicit TFBackup(QWidget* parent = nullptr);

    QLabel* LbBanco;
    QLineEdit* EdArquivo;
    QToolButton* SpArquivo;
    QCheckBox* CbLocal;
    QCheckBox* CbMetadados;
    QCheckBox* CbSemColeta;
    QCheckBox* CbChecksums;
    QCheckBox* CbLimbo;
    QCheckBox* CbNaoTransportavel;
    QPushButton* BtIniciar;
    QLabel* LbProgresso;

    void IniciarClick();
    void SpArquivoClick();
    void CbLocalClick();

protected:
    void showEvent(QShowEvent* e) override;
    void setInputsEnabled(bool on) override;
    void tick(qint64 elapsedMs) override;
    void linesArrived(const QStringList& lines) override;
    bool enterPressed(QWidget* focused) override;

private:
    AdminTarget m_target;
    GbakProgress m_progress;
    QString m_serverFile; // the proposal on the server's side, kept while the box shows a local one
    bool m_shown = false;
};
