#pragma once
#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// The properties window ("Propriedades") of a table: its columns on "&Campos" and its CREATE TABLE
// script with the primary key on "Scri&pt de Criação", both read-only.
class TPropriedades : public QDialog {
    Q_OBJECT
public:
    explicit TPropriedades(QWidget* parent = nullptr);

    // Fills both pages from the catalogue of the open database.
    void showTable(const QString& tableName);
    QString tableName() const { return m_tableName; }

    QTabWidget* PageControl1;
    QWidget* Tcam;
    QWidget* TScr;
    QPlainTextEdit* Campos;
    QPlainTextEdit* Script;
    QPushButton* BitBtn1;

    void BitBtn1Click();

    // Only "&Fecha" closes the window: Esc and a close from the window manager do nothing.
    void reject() override {}

protected:
    void showEvent(QShowEvent* e) override;

private:
    QString m_tableName;
};
