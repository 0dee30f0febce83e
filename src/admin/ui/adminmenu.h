#pragma once
#include <QMenu>
#include <QPointer>
#include <functional>
#include <vector>

class Database;
class QMenuBar;

// The main window's "A&dministração" menu. Every administration window adds its item here, in
// createAdministracaoMenu, with one call. Items that need an open database follow CurrentDatabase:
// their enabled state is brought up to date when the menu is about to show and whenever the
// program's connection opens or closes; their handlers check again when they run.
class AdminMenu : public QMenu {
    Q_OBJECT
public:
    explicit AdminMenu(QWidget* parent = nullptr);

    QAction* addItem(const char* objectName, const QString& caption, bool needsDatabase, std::function<void()> open);
    void refresh();

private:
    void followConnection();

    std::vector<QAction*> m_needDatabase;
    QPointer<Database> m_followed;
};

// Builds the menu with all its items and puts it at the end of the menu bar (the main window
// builds its menus in order, so it lands after "Atualizações e Consultas").
AdminMenu* createAdministracaoMenu(QMenuBar* bar);
