#include "platform/ui/windowplace.h"
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
