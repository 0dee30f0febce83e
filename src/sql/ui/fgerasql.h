#pragma once
#include "platform/ui/checklist.h"
#include <QDialog>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The SQL generator ("Geração de SQL"): writes a Select, Update, Delete or Insert statement for one
// table of the open database from the ticked fields, the chosen command and, for Update and
// Insert, the values typed in the values grid; "&Where" adds a condition built in the filter
// window. It only writes text: the SQL command window takes the memo after "&Retorna", the only
// way to leave it. One instance serves the whole run; the chosen command survives between uses.
class TFGeraSql : public QDialog {
    Q_OBJECT
public:
    explicit TFGeraSql(QWidget* parent = nullptr);
    ~TFGeraSql() override;

    // The one created at start-up; made on first use when there is none (window tests).
    static TFGeraSql* instance();

    QLabel* Label1;
    QListWidget* Tabelas;
    QLabel* Label2;
    TickList* Campos; // one tick box per field; F1 ticks all, F2 clears all
    QGroupBox* Rg;    // "Select", "Update", "Delete", "Insert"
    QButtonGroup* RgItems;
    QToolButton* BitBtn1; // "&Gera Sql"
    QToolButton* BitBtn2; // "&Where"
    QLabel* msg;          // the F1/F2 hint, shown while Campos has the focus
    QLabel* Label3;
    QPlainTextEdit* Sql;
    QPushButton* Bret;

    // The table selected when the window was last left with "&Retorna", empty when none was.
    QString ReturnedTable;

    enum Command { Select = 0, Update = 1, Delete = 2, Insert = 3 };
    int rgIndex() const;
    void setRgIndex(int index);

    // The generated (and perhaps edited) statement, exactly as the memo holds it, '\n' between lines.
    QString sqlText() const;
    QString selectedTable() const;
    QStringList fieldNames() const;
    QList<bool> ticks() const;

    void FormShow();
    void TabelasClick();
    // `msg` shows exactly while Campos has the focus; F1 ticks every field, F2 clears every field.
    void CamposEnter();
    void CamposExit();
    bool CamposKeyDown(int key);
    void BitBtn1Click();
    void BitBtn2Click();
    void BretClick();

    // Esc and the window manager's close do not close this window.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void addLines(const QStringList& lines);

    bool m_inUse = false;      // shown for a use that has not ended yet
    QString m_selectedAtPress; // the table chosen before the mouse was pressed on the list
};
