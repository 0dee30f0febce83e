#include "shell/ui/childfactory.h"
#include "browse/ui/tabelas.h"
#include "platform/ui/mdihost.h"

QWidget* createAbreBanco() { return nullptr; }

QWidget* createTabelas() {
    auto* w = new TTabelas();
    showChild(w);
    return w;
}

QWidget* createFSql() { return nullptr; }
