#include "shell/ui/toolwindows.h"
#include "browse/ui/fmemo.h"
#include "browse/ui/fordem.h"
#include "browse/ui/fwhere.h"
#include "connection/dataset.h"
#include "browse/ui/propriedades.h"
#include <QWidget>

namespace {
// A tool window whose own class is not part of the program yet: a hidden window with its name.
QWidget* shell(QWidget* owner, const char* objectName, const QString& caption) {
    auto* w = new QWidget(owner, Qt::Window);
    w->setObjectName(QLatin1String(objectName));
    w->setWindowTitle(caption);
    return w;
}
} // namespace

QList<QWidget*> createToolWindows(QWidget* owner) {
    QList<QWidget*> windows;
    windows.append(new TFWhere(owner));
    windows.append(new TFmemo(owner));
    windows.append(shell(owner, "FGeraSql", QStringLiteral("Geração de SQL")));
    windows.append(shell(owner, "FUI", QStringLiteral("Campos para geração de UPDATE / INSERT")));
    windows.append(new TFOrdem(owner));
    windows.append(new TPropriedades(owner));
    for (QWidget* w : windows) w->hide();
    return windows;
}
