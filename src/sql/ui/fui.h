#pragma once
#include "sql/sqlgenerator.h"
#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;
class ValuesGridCells;

// The values grid ("Campos para geração de UPDATE / INSERT"): one row per ticked field, where the
// user types the value of each in SQL form. One instance serves the whole run; the SQL generator
// fills it, shows it modally and reads ValuesConfirmed and the rows afterwards. "OK" and
// "&Cancela" are the only ways to close it.
class TFUI : public QDialog {
    Q_OBJECT
public:
    explicit TFUI(QWidget* parent = nullptr);
    ~TFUI() override;

    // The one created at start-up; made on first use when there is none (window tests).
    static TFUI* instance();

    QTableWidget* SG;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label3;
    QPushButton* BCan;
    QPushButton* BOK;

    bool ValuesConfirmed = false; // true when last left with "OK", false with "&Cancela"

    // Cells as the grid holds them; row 0 is the title row.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Appends an empty data row at the bottom; returns its index.
    int addRow();

    // Resets the grid and gives each name a data row ("=" and "," beside it); with no names the
    // one data row stays empty.
    void offerFields(const QStringList& names);
    // Columns 0 to 2 of every data row, in order.
    QList<ValueRow> valueRows() const;

    void ResetValuesGrid();
    bool HasBlankValue() const;
    void BOKClick();
    void BCanClick();

    // Esc and the window manager's close do not close this window.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    ValuesGridCells* m_cells;
};
