// Writes the program's icon, which it draws itself, as PNG files in the icon theme's sizes:
// <folder>/<n>x<n>/apps/fbadmin.png. Run at build time for the package.
#include "platform/ui/icons.h"
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QIcon icon = applicationIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) || !icon.pixmap(size, size).save(dir + QStringLiteral("/fbadmin.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon in %s\n", size, size, qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
