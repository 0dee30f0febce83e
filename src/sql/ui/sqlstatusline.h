#pragma once
#include <QWidget>

class QLabel;
class QToolButton;

// The line under the SQL command window's grid: running a script, cancelling, the plan, and how
// the last run went (its time, or where it failed) with its rows.
class SqlStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit SqlStatusLine(QWidget* parent = nullptr);

    QToolButton* bscript;   // runs the memo as a script (Ctrl+Shift+Enter)
    QToolButton* bcancelar; // stops the statement that runs
    QToolButton* bplano;    // the statement's plan
    QLabel* lStatus;        // time, running, error position
    QLabel* lLinhas;        // rows read or changed

    // While a statement runs only Cancelar is offered.
    void setRunning(bool on);
};
