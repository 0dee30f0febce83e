#include "platform/ui/uifont.h"
#include <QApplication>

QFont sansFont(int pixelHeight, bool bold) {
    QFont f = QApplication::font();
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

QFont arialFont(int pixelHeight, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}
