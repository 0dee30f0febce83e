// Conexoes.New as its readers take it: the code page, the lines, the fixed columns of each record,
// the menu caption and the earlier-connections grid written back.
#include "connection/conexoes.h"
#include "connection/grid.h"
#include "fuzzinput.h"
#include "platform/cp1252.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = decodeText(bytes);
    // Every byte has its character and comes back as itself.
    bool lossless = false;
    FUZZ_CHECK(toCp1252(fromCp1252(bytes), &lossless) == bytes && lossless);

    const QStringList lines = splitLines(text);
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains('\n'));
        FUZZ_CHECK(ConnectionRecord::connectionOf(line) == line.mid(116, 100).trimmed());
    }
    // The grid holds every record cut at its columns; written back, each line is the record's
    // first 216 characters, padded to full width.
    StringTable grid(4);
    fillConnectionGrid(grid, lines);
    FUZZ_CHECK(grid.rowCount() == lines.size() + 1);
    const QStringList back = connectionGridLines(grid);
    FUZZ_CHECK(back.size() == lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        FUZZ_CHECK(back[i] == lines[i].left(ConnectionRecord::Width).leftJustified(ConnectionRecord::Width));
    return 0;
}
