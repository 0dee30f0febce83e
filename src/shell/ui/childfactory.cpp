#include "shell/ui/childfactory.h"
#include "browse/ui/tabelas.h"
#include "platform/ui/mdihost.h"
#include "sql/ui/fsql.h"

QWidget* createAbreBanco() { return nullptr; }

QWidget* createTabelas() {
    auto* w = new TTabelas();
    showChild(w);
    return w;
}

QWidget* createFSql() {
    auto* w = new TFSql();
    showChild(w);
    return w;
}
