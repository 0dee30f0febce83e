#pragma once
#include "sql/ui/sqleditor.h"
#include <QWidget>

class DataSet;
class DataSetModel;
class FetchAllLine;
class QPlainTextEdit;
class QSplitter;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class QVBoxLayout;
class SchemaNames;
class SqlRunner;
class SqlStatusLine;
struct RunOutcome;

// "Comandos Sql's": one SQL statement typed, loaded or generated, run in the default transaction;
// a SELECT's rows in a read-only grid, any other statement executed once; commit and roll back
// retaining; the shared statement history; script files. A child of the main window, destroyed
// when closed (closing neither commits nor rolls back).
class TFSql : public QWidget {
    Q_OBJECT
public:
    explicit TFSql(QWidget* parent = nullptr);
    ~TFSql() override;

    SqlEditor* MemoSql;
    QSplitter* Splitter1;
    QToolBar* ToolBar1;
    QTableView* Grade;

    QToolButton* bexe;
    QToolButton* bger;
    QToolButton* bgra;
    QToolButton* bcan;
    QToolButton* ToolButton3;
    QToolButton* ToolButton5;
    QToolButton* Bsav;
    QToolButton* Bloa;
    QToolButton* bexcel;
    QToolButton* bprint;
    QToolButton* bsai;

    // The window's read-only query on Banco and Trans, and the grid's view of it.
    DataSet* IBSet;
    DataSetModel* Ds;

    // Under the grid: the plan pane (shown on request) and the status line.
    QPlainTextEdit* PlanoSql;
    SqlStatusLine* StatusSql;
    // Over the status line while the rest of the rows is read in the background.
    FetchAllLine* Leitura;

    // The designed client size, kept when the main window cascades its children.
    QSize sizeHint() const override { return QSize(653, 391); }

    // The memo's text with '\n' line breaks, exactly as typed (no-break spaces kept).
    QString memoText() const;

    // Handlers; errors they raise travel to the general error report through their buttons.
    void FormShow();
    void bexeClick();
    void bgerClick();
    void bgraClick();
    void bcanClick();
    void ToolButton3Click();
    void ToolButton5Click();
    void BsavClick();
    void BloaClick();
    void bexcelClick();
    void bprintClick();
    void bsaiClick();

    // The status line's commands.
    void bscriptClick();
    void bcancelarClick();
    void bplanoClick();
    // A statement, script or plan request is with the server (the window answers meanwhile).
    bool running() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QToolButton* addButton(const char* name, const QIcon& picture, const QString& hint);
    void showHistoryEntry(const QString& entry);
    void sizeColumns();

    // The server's part of a run goes on in the background (fsqlworkbench.cpp).
    void setupWorkbench(QVBoxLayout* lowerLayout);
    void startRun(int action, const QString& text);
    void setRunning(bool on);
    void runFinished(const RunOutcome& outcome);
    void showRowCount();
    void showPlan(const QString& plan);
    // Says why a text that holds a NUL character is not run, and marks the place; true then.
    bool refusedNul(const QString& text);
    // Ctrl+Shift+Enter, from the editor or the grid: as the button, when the button is offered.
    void scriptKey();

    bool m_opened = false;
    SqlRunner* m_runner = nullptr;
    SchemaNames* m_names = nullptr;
    QTimer* m_runClock = nullptr;
    QString m_runText;                          // the text of the run in progress
    std::pair<QString, QString> m_statusBefore; // the status line's texts before it
    QList<bool> m_enabledBefore;                // the tool bar's buttons before the run
    QString m_lastPlan;
};
