#include "shell/ui/childfactory.h"
#include "admin/ui/fmonitor.h"
#include "admin/ui/fusuarios.h"
#include "admin/ui/objetos.h"
#include "browse/ui/tabelas.h"
#include "connection/ui/abrebanco.h"
#include "platform/ui/mdihost.h"
#include "sql/ui/fsql.h"

QWidget* createAbreBanco() {
    auto* w = new TAbreBanco();
    w->showAsChild();
    return w;
}

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

QWidget* createMonitor() {
    auto* w = new TFMonitor();
    showChild(w);
    return w;
}

QWidget* createUsuarios() {
    auto* w = new TFUsuarios();
    showChild(w);
    return w;
}

QWidget* createObjetos() {
    auto* w = new TObjetos();
    showChild(w);
    return w;
}
