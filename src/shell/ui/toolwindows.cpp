#include "shell/ui/toolwindows.h"
#include "browse/ui/fmemo.h"
#include "browse/ui/fordem.h"
#include "browse/ui/fwhere.h"
#include "browse/ui/propriedades.h"
#include "connection/dataset.h"
#include "sql/ui/fgerasql.h"
#include "sql/ui/fui.h"
#include <QWidget>

QList<QWidget*> createToolWindows(QWidget* owner) {
    QList<QWidget*> windows;
    windows.append(new TFWhere(owner));
    windows.append(new TFmemo(owner));
    windows.append(new TFGeraSql(owner));
    windows.append(new TFUI(owner));
    windows.append(new TFOrdem(owner));
    windows.append(new TPropriedades(owner));
    for (QWidget* w : windows)
        w->hide();
    return windows;
}
