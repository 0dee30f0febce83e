#pragma once
#include "admin/dbobjects.h"
#include <QPointer>
#include <QWidget>

class ObjectBrowser;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class SqlEditor;
class TFBrowse;

// "Objetos do banco": every object of the open database in a tree by kind; the selected object's
// statements in a read-only SQL editor and its dependencies both ways; opening a table or view in
// a browse window, its statements in a new SQL command window, and the index and sequence actions.
// The lists are read by the server off the interface thread. A child of the main window, destroyed
// when closed, with the browse windows it opened.
class TObjetos : public QWidget {
    Q_OBJECT
public:
    explicit TObjetos(QWidget* parent = nullptr);
    ~TObjetos() override;

    QTreeWidget* Arvore;
    SqlEditor* Ddl;
    QLabel* LUsa;
    QTreeWidget* Usa;
    QLabel* LUsadoPor;
    QTreeWidget* UsadoPor;
    QPushButton* BAbre;
    QPushButton* BEdita;
    QPushButton* BSeletividade;
    QPushButton* BAtiva;
    QPushButton* BGerador;
    QPushButton* BAtualiza;
    QPushButton* BFecha;

    ObjectBrowser* browser() const { return m_browser; }
    // The selected object, if an object (not a kind's branch) is selected.
    const ObjectEntry* selected() const;
    // Selects an object by kind and name; false when the tree has no such object.
    bool select(DbObjectKind kind, const QString& name);

    QSize sizeHint() const override { return QSize(760, 500); }

    // Handlers.
    void BAbreClick();
    void BEditaClick();
    void BSeletividadeClick();
    void BAtivaClick();
    void BGeradorClick();
    void BAtualizaClick();
    void BFechaClick();

private:
    QPushButton* addButton(const char* name, const QString& caption, const QString& subject);
    void fillTree();
    void selectionChanged();
    void showDependencies(const ObjectEntry& entry, const Dependencies& dependencies);
    void updateButtons();

    ObjectBrowser* m_browser;
    QList<ObjectEntry> m_entries; // what the tree's object items stand for (their data is the index)
    QList<QPointer<TFBrowse>> m_browsers;
    std::optional<std::pair<DbObjectKind, QString>> m_keep; // selected again after a reload
};
