#include "admin/ui/adminmenu.h"
#include "admin/ui/fbackup.h"
#include "admin/ui/festatisticas.h"
#include "admin/ui/fmanutencao.h"
#include "admin/ui/fpropbanco.h"
#include "admin/ui/frestauracao.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QMenuBar>

AdminMenu::AdminMenu(QWidget* parent) : QMenu(parent) {
    connect(this, &QMenu::aboutToShow, this, &AdminMenu::refresh);
}

QAction* AdminMenu::addItem(const char* objectName, const QString& caption, bool needsDatabase,
                            std::function<void()> open) {
    QAction* a = addAction(caption);
    a->setObjectName(QLatin1String(objectName));
    connect(a, &QAction::triggered, this, guarded([needsDatabase, open = std::move(open)] {
                if (needsDatabase && !databaseIsOpen()) {
                    showMessage(QStringLiteral("Banco de Dados não está conectado !!!!"), QStringLiteral("Atenção"),
                                MsgIcon::Warning, MbOk);
                    return;
                }
                open();
            }));
    if (needsDatabase) m_needDatabase.push_back(a);
    refresh();
    return a;
}

void AdminMenu::refresh() {
    followConnection();
    const bool open = databaseIsOpen();
    for (QAction* a : m_needDatabase)
        a->setEnabled(open);
}

void AdminMenu::followConnection() {
    // The connection holder is made after the main window: it is looked for until it is there.
    TdM* dm = TdM::instance();
    if (!dm || m_followed == dm->Banco) return;
    m_followed = dm->Banco;
    // Queued: CurrentDatabase is set or cleared around the connection's own signal.
    connect(dm->Banco, &Database::connectedChanged, this, &AdminMenu::refresh, Qt::QueuedConnection);
}

AdminMenu* createAdministracaoMenu(QMenuBar* bar) {
    auto* menu = new AdminMenu(bar);
    menu->setObjectName(QStringLiteral("Administracao1"));
    menu->setTitle(QStringLiteral("A&dministração"));
    bar->addMenu(menu);
    menu->addItem("Backup1", QStringLiteral("&Backup..."), true, [] { openAdminWindow<TFBackup>(); });
    menu->addItem("Restauracao1", QStringLiteral("&Restauração..."), false, [] { openAdminWindow<TFRestauracao>(); });
    menu->addItem("EstatisticasdoBanco1", QStringLiteral("&Estatísticas do banco"), true,
                  [] { openAdminWindow<TFEstatisticas>(); });
    menu->addItem("Manutencao1", QStringLiteral("&Manutenção..."), true, [] { openAdminWindow<TFManutencao>(); });
    menu->addItem("PropriedadesdoBanco1", QStringLiteral("&Propriedades do banco..."), true,
                  [] { openAdminWindow<TFPropriedadesBanco>(); });
    return menu;
}
