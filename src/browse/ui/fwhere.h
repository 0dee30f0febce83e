#pragma once
#include <QDialog>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The filter window ("Filtro"): composes a WHERE clause one condition at a time. One instance
// serves the whole run; its condition text, field lists and flag survive between uses. The caller
// fills the field lists, shows it modally and, when FilterConfirmed is true afterwards, takes the
// condition text. "&Executa" and "&Saída" are the only ways to close it.
class TFWhere : public QDialog {
    Q_OBJECT
public:
    explicit TFWhere(QWidget* parent = nullptr);
    ~TFWhere() override;

    // The one created at start-up; made on first use when there is none (window tests).
    static TFWhere* instance();

    bool FilterConfirmed = false; // set by "&Executa" (true) and "&Saída" (false)
    bool HasConditions = false;   // decides the panel at the next showing; set by the caller

    // First-condition panel.
    QWidget* p0;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QComboBox* cbo_cam2;
    QComboBox* cbo_ope2;
    QLineEdit* val2;
    QPushButton* Btn_Ad;
    // Further-condition panel.
    QWidget* p1;
    QGroupBox* op;
    QRadioButton* opAnd;
    QRadioButton* opOr;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* label3;
    QComboBox* cbo_cam1;
    QComboBox* cbo_ope1;
    QLineEdit* val1;
    QPushButton* btn_ad1;
    // The condition text.
    QPlainTextEdit* sql;
    QPushButton* BitBtn1;
    QPushButton* Btn_Exe;
    QPushButton* Btn_sai;

    // Empties both field lists and fills each with the names. The dialect is that of the names'
    // database: it decides how a name is written in a condition.
    void setFields(const QStringList& names, int dialect = 3);
    QString conditionText() const;
    void clearConditions();

    void FormShow();
    void Btn_AdClick();
    void btn_ad1Click();
    void BitBtn1Click();
    void Btn_ExeClick();
    void Btn_saiClick();
    // Enter moves the focus on as Tab does, except in the memo. True when the key was taken.
    bool FormKeyPress(int key);

    // Esc and the window manager's close do not close this window.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showPanel(bool further);
    void appendLine(const QString& line);

    int m_dialect = 3;
    bool m_inUse = false; // shown for a use that has not ended yet
};
