#include "support/modal.h"
#include <QApplication>
#include <QTimer>

void onNextModal(QObject* context, std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, context, [act = std::move(act)] {
        QWidget* w = QApplication::activeModalWidget();
        act(w);
        if (w && w->isVisible()) w->close();
    });
}
