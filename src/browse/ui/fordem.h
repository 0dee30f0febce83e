#pragma once
#include <QDialog>
#include <QStringList>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

// The order window ("FOrdem"): the user moves field names, in sort order, from the available list
// to the chosen list and picks ascending or descending; "&Executa" composes the ORDER BY text. One
// instance serves the whole run; both lists and OrderText survive between uses until a browse
// window hands it its own fields. "&Executa" (with a chosen field) and "&Saída" close it.
class TFOrdem : public QDialog {
    Q_OBJECT
public:
    explicit TFOrdem(QWidget* parent = nullptr);
    ~TFOrdem() override;

    static TFOrdem* instance();

    bool OrderConfirmed = false; // true from the first press of "&Executa", false after "&Saída"
    QString OrderText;           // the ORDER BY text of the last successful "&Executa"

    QLabel* Label1;
    QLabel* Label2;
    QListWidget* OSCampo; // available names
    QListWidget* OsOrdem; // chosen names, in sort order
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QGroupBox* Tipo;
    QRadioButton* Crescente;
    QRadioButton* Decrescente;
    QPushButton* Btn_Exe;
    QPushButton* Btn_sai;

    // Empties the chosen list and fills the available one with the names, in field order. The
    // dialect is that of the names' database: it decides how a name is written in the order text.
    void setFields(const QStringList& names, int dialect = 3);
    QStringList availableNames() const;
    QStringList chosenNames() const;

    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Btn_ExeClick();
    void Btn_saiClick();

    // Esc and the window manager's close do not close this window.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    int m_dialect = 3;
};
