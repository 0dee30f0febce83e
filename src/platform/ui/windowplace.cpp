#include "platform/ui/windowplace.h"
#include "platform/ui/mdihost.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget* w) {
    if (QScreen* s = w->screen()) {
        const QRect avail = s->availableGeometry();
        const QSize outer = w->frameGeometry().size();
        w->move(avail.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
}

void resizeOuter(QWidget* w, const QSize& outer) {
    w->resize(outer - (w->frameGeometry().size() - w->size()));
}

void placeChildInCentre(QWidget* w) {
    QWidget* frame = childFrame(w);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
        if (QMdiArea* area = sub->mdiArea()) {
            const QRect r = area->viewport()->rect();
            sub->move(r.center() - QPoint(sub->width() / 2, sub->height() / 2));
        }
    } else if (frame->isWindow()) {
        if (QScreen* screen = frame->screen())
            frame->move(screen->availableGeometry().center() - frame->rect().center());
    }
}
