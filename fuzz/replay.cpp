// Runs a fuzz target over kept inputs (files, or every file of the folders named), so that the
// seeds and every input that once broke a rule run with each test build.
#include "fuzzinput.h"
#include <QDirIterator>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        QStringList files;
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
            files.sort();
        } else {
            files << arg;
        }
        for (const QString& file : files) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly)) {
                fprintf(stderr, "cannot read %s\n", qPrintable(file));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++runs;
        }
    }
    printf("%d inputs replayed\n", runs);
    return runs > 0 ? 0 : 1;
}
