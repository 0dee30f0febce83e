#pragma once
#include "admin/admintarget.h"
#include "admin/dbstats.h"
#include "admin/ui/adminwindow.h"

class QCheckBox;
class QSpinBox;
class QTabWidget;
class QTableView;
class StatsModel;

// "Estatísticas do banco": the header page, the tables and the indexes of the open database as
// tables (never as the service's raw text), read off the interface thread; transaction gaps past
// the limit in the warning colour; the table in view exported to the spreadsheet or printed as a
// list report.
class TFEstatisticas : public TAdminWindow {
    Q_OBJECT
public:
    explicit TFEstatisticas(QWidget* parent = nullptr);

    QLabel* LbBanco;
    QPushButton* BtLer;
    QCheckBox* CbSistema;
    QSpinBox* SpLimite;
    QPushButton* BtExporta;
    QPushButton* BtImprime;
    QTabWidget* Paginas;
    QTableView* GrCabecalho;
    QTableView* GrTabelas;
    QTableView* GrIndices;
    StatsModel* Cabecalho;
    StatsModel* Tabelas;
    StatsModel* Indices;

    void LerClick();
    void ExportaClick();
    void ImprimeClick();
    // The model of the page in view.
    StatsModel* currentModel() const;

protected:
    void showEvent(QShowEvent* e) override;
    void setInputsEnabled(bool on) override;

private:
    QTableView* grid(const char* name, StatsModel* model);
    QString currentTitle() const;

    AdminTarget m_target;
    DbStatistics m_stats;
    bool m_read = false;
    bool m_shown = false;
};
