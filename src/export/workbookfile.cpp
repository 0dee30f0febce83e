#include "export/workbookfile.h"
#include "export/cellformat.h"
#include "platform/apperror.h"
#include <QFile>
#include <algorithm>
#include <xlsxwriter.h>

namespace {
constexpr double kLineHeight = 15;    // points: a line of the default font
constexpr double kMaxRowHeight = 409; // the tallest row a sheet holds

AppError writeError(const QString& path, lxw_error error) {
    return AppError(QStringLiteral("Não foi possível gravar a planilha %1: %2")
                        .arg(path, QString::fromUtf8(lxw_strerror(error))));
}

// A workbook being written; one left unfinished is closed and its file removed.
struct Workbook {
    QString path;
    lxw_workbook* wb = nullptr;
    ~Workbook() { abandon(); }
    void abandon() {
        if (!wb) return;
        workbook_close(wb);
        wb = nullptr;
        QFile::remove(path);
    }
    [[noreturn]] void fail(lxw_error error) {
        abandon();
        throw writeError(path, error);
    }
};
} // namespace

void writeWorkbookFile(const QString& path, const SheetCells& cells, const SheetView& view) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook book{path};
    book.wb = workbook_new_opt(file.constData(), &options);
    if (!book.wb) throw AppError(QStringLiteral("Não foi possível criar a planilha %1").arg(path));
    const QByteArray name = view.name.toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(book.wb, name.constData());
    if (!ws) book.fail(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);

    for (const auto& [column, width] : view.columnWidths)
        worksheet_set_column(ws, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1),
                             width, nullptr);
    worksheet_set_selection(ws, view.selectionTop - 1, view.selectionLeft - 1, view.selectionBottom - 1,
                            view.selectionRight - 1);

    std::map<int, lxw_format*> formats; // by number format, made when first needed
    auto formatFor = [&](int code) -> lxw_format* {
        if (code == 0) return nullptr;
        auto it = formats.find(code);
        if (it != formats.end()) return it->second;
        lxw_format* f = workbook_add_format(book.wb);
        format_set_num_format(f, numberFormatCode(code).constData());
        formats.emplace(code, f);
        return f;
    };

    // A text of several lines wraps at its line breaks, and its row is made as tall as its lines:
    // spreadsheets keep the default height of a row read from a file, which shows one line.
    lxw_format* wrap = nullptr;
    lxw_row_t tallRow = LXW_ROW_MAX;
    qsizetype rowLines = 1;
    auto lineBreaks = [&](lxw_row_t row, QByteArrayView text) -> lxw_format* {
        const qsizetype lines = text.count('\n') + 1;
        if (lines == 1) return nullptr;
        if (row != tallRow) rowLines = 1;
        tallRow = row;
        if (lines > rowLines) {
            rowLines = lines;
            worksheet_set_row(ws, row, std::min(kMaxRowHeight, kLineHeight * static_cast<double>(lines)),
                              nullptr);
        }
        if (!wrap) {
            wrap = workbook_add_format(book.wb);
            format_set_text_wrap(wrap);
        }
        return wrap;
    };

    const QChar decimalPoint = spreadsheetDecimalPoint();
    lxw_error error = LXW_NO_ERROR;
    cells.forEach([&](const SheetCells::Entry& e) {
        if (error != LXW_NO_ERROR) return;
        const auto row = static_cast<lxw_row_t>(e.row - 1);
        const auto col = static_cast<lxw_col_t>(e.column - 1);
        const CellOutput out = cellOutput(e.value, decimalPoint);
        switch (out.kind) {
        case CellOutput::Number:
            error = worksheet_write_number(ws, row, col, out.number, formatFor(out.format));
            break;
        case CellOutput::Boolean:
            error = worksheet_write_boolean(ws, row, col, out.truth ? 1 : 0, nullptr);
            break;
        case CellOutput::Text:
            error = worksheet_write_string(
                ws, row, col, out.text,
                e.value.type == SheetCells::Type::Text ? lineBreaks(row, e.value.text) : nullptr);
            break;
        }
    });
    if (error != LXW_NO_ERROR) book.fail(error);
    error = workbook_close(book.wb);
    book.wb = nullptr;
    if (error != LXW_NO_ERROR) {
        QFile::remove(path);
        throw writeError(path, error);
    }
}
