#pragma once
#include "admin/admintarget.h"
#include "admin/dbstats.h"
#include "admin/ui/adminwindow.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

// "Propriedades do banco": sweep interval, page buffers, forced writes, read-only and SQL dialect,
// each showing the value read from the database's header page and changed through the services'
// properties action. The read-only mode needs the database alone: the program's own connection is
// let go for the time.
class TFPropriedadesBanco : public TAdminWindow {
    Q_OBJECT
public:
    explicit TFPropriedadesBanco(QWidget* parent = nullptr);

    QLabel* LbBanco;
    QSpinBox* SpSweep;
    QSpinBox* SpBuffers;
    QCheckBox* CbForcada;
    QCheckBox* CbLeitura;
    QComboBox* CbDialeto;
    QLabel* LbSweep; // the values read
    QLabel* LbBuffers;
    QLabel* LbForcada;
    QLabel* LbLeitura;
    QLabel* LbDialeto;
    QPushButton* BtAplica;
    QPushButton* BtRele;

    void AplicaClick();
    void ReleClick();

protected:
    void showEvent(QShowEvent* e) override;
    void setInputsEnabled(bool on) override;

private:
    void showValues(const HeaderPage& h);

    AdminTarget m_target;
    HeaderPage m_read;
    bool m_hasRead = false;
    bool m_shown = false;
};
