#include "platform/ui/mdihost.h"
#include <QPointer>

namespace {
QPointer<QMdiArea> g_host;
}

void setMdiHost(QMdiArea* area) { g_host = area; }
QMdiArea* mdiHost() { return g_host; }

QMdiSubWindow* showChild(QWidget* w) {
    if (!g_host) {
        w->show();
        return nullptr;
    }
    QMdiSubWindow* sub = g_host->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose, true);
    sub->setObjectName(w->objectName() + QStringLiteral("_frame"));
    sub->setWindowTitle(w->windowTitle());
    QObject::connect(w, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    w->show();
    sub->show();
    return sub;
}

QWidget* childFrame(QWidget* w) {
    if (auto sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) return sub;
    return w;
}
