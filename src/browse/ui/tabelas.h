#pragma once
#include <QList>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QTableWidget;
class TFBrowse;

// The table list ("Tabelas"): the user tables of the open database, filled once when first shown.
// A double-click opens a browse window on the current row's table; the list owns those windows,
// so closing it closes them.
class TTabelas : public QWidget {
    Q_OBJECT
public:
    explicit TTabelas(QWidget* parent = nullptr);
    ~TTabelas() override;

    QTableWidget* SG;
    QPushButton* BitBtn1;
    QMenu* Pm;
    QAction* Propriedades1;

    void FormShow();
    void SGDblClick();
    void BitBtn1Click();
    void Propriedades1Click();

    // The table name of the grid's current row (empty when there is none).
    QString currentTableName() const;
    // The browse windows opened from this list that are still open.
    QList<TFBrowse*> browseWindows() const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QList<QPointer<TFBrowse>> m_browsers;
    bool m_filled = false;
};
