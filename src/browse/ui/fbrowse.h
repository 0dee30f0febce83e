#pragma once
#include "browse/ui/datagridview.h"
#include "connection/dataset.h"
#include <QWidget>

class DataSetModel;
class FetchAllLine;
class Field;
class QLabel;
class QToolButton;
class Transaction;

// A browse window: the rows of one table in an editable grid, with the buttons that save and undo
// the default transaction, edit rows, search, and reach the filter, order, column and form tools.
// It generates its statements and opens its dataset the first time it is shown (FormShow); closing
// destroys it with its dataset.
class TFBrowse : public QWidget {
    Q_OBJECT
public:
    explicit TFBrowse(QWidget* parent = nullptr);
    ~TFBrowse() override;

    DataSet* IBDataSet1;
    DataSetModel* DS; // links the grid (and the memo window) to IBDataSet1
    DataGridView* Gs;
    QLabel* Comandos;
    QWidget* Botoes;
    QToolButton* SCommit;
    QToolButton* SRollback;
    QToolButton* SCampos;
    QToolButton* SExcel;
    QToolButton* Sform;
    QToolButton* SAbre;
    QToolButton* SNovo;
    QToolButton* SGrava;
    QToolButton* SCancela;
    QToolButton* SEdita;
    QToolButton* SExclui;
    QToolButton* Sorder;
    QToolButton* SFiltro;
    QToolButton* SBusca;
    QToolButton* SSai;
    // Over Comandos while the rest of the rows is read in the background.
    FetchAllLine* Leitura;

    // Showing steps, once, when the window first appears. An error is reported and ends them; the
    // window stays with an empty grid.
    void FormShow();
    // The layout rule: grid, Comandos and Botoes follow the window's outer size.
    void FormResize();
    void DSStateChange(DataSet::State state);
    // Showing steps 5 and 6: the shared filter and order tools are handed to this window, and the
    // shared select texts (BaseSelect, FilterClause, OrderClause) are emptied.
    void resetSharedTools();

    void SCommitClick();
    void SRollbackClick();
    void SAbreClick();
    void SNovoClick();
    void SEditaClick();
    void SGravaClick();
    void SCancelaClick();
    void SExcluiClick();
    void SBuscaClick();
    void SSaiClick();
    void SCamposClick();
    void SExcelClick();
    void SformClick();
    void SorderClick();
    void SFiltroClick();

    // Window keys F6 to F12, only in browse state. True when the key was one of them.
    bool FormKeyDown(int key);
    // Grid keys Enter, Delete and F2, before the grid's own handling; none while a cell editor is
    // open (its keys are its own). True when the grid must not see the key.
    bool GsKeyDown(int key);

    // Locks (false) or unlocks (true) this window's grid, then its button panel.
    void SetBrowseControlsEnabled(bool enabled);

    // The field of the grid's current column (the first visible one when no cell is current).
    Field* selectedField() const;

    // The designed client area, which the main window's frame adopts.
    QSize sizeHint() const override { return QSize(634, 349); }

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QToolButton* makeButton(const char* name, const char* picture, int left, int width,
                            const QString& caption, const QString& hint, void (TFBrowse::*handler)());
    // Commit or rollback of the default transaction (SCommitClick, SRollbackClick).
    void endTransaction(void (Transaction::*end)());
    int dialect() const;            // of the dataset's database: how names are written
    QStringList fieldNames() const; // the dataset's field names, in field order
    void gridRowChanged(int row);
    void dataSetRowChanged(int row);
    void focusField(int fieldIndex);
    // The search's part among the rows not read yet: they are read in the background and tested
    // as they come; the first match becomes current and ends the read.
    void searchUnreadRows(const QString& fieldName, const QString& text, int options);

    bool m_shown = false;
    bool m_syncing = false;
    bool m_modelChanging = false; // rows coming or going: the view's moves are not the user's
    bool m_walking = false;       // an export walks the rows: the grid follows at its end
};
