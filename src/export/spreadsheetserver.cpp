#include "export/spreadsheetserver.h"
#include "export/cellformat.h"
#include "export/sheetcells.h"
#include "export/workbookfile.h"
#include "platform/prompts.h"
#include <memory>
#include <vector>

namespace {
class Worksheet : public Dispatch, public std::enable_shared_from_this<Worksheet> {
public:
    SheetCells cells;
    SheetView view;

    QString typeName() const override { return QStringLiteral("Worksheet"); }
    int memberId(QStringView name) const override { return findMember(name, {u"Cells"}); }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override;
};

// A rectangle of cells of a worksheet, rows and columns from 1.
class Range : public Dispatch {
public:
    Range(std::shared_ptr<Worksheet> sheet, int top, int left, int bottom, int right)
        : m_sheet(std::move(sheet)), m_top(top), m_left(left), m_bottom(bottom), m_right(right) {}

    QString typeName() const override { return QStringLiteral("Range"); }
    int memberId(QStringView name) const override {
        return findMember(name, {u"Select", u"EntireColumn", u"AutoFit", u"Value"});
    }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override;

private:
    bool oneCell() const { return m_top == m_bottom && m_left == m_right; }
    void autoFit();

    std::shared_ptr<Worksheet> m_sheet;
    int m_top, m_left, m_bottom, m_right;
};

class Workbook : public Dispatch {
public:
    Workbook() : m_sheet(std::make_shared<Worksheet>()) {}
    const std::shared_ptr<Worksheet>& sheet() const { return m_sheet; }

    QString typeName() const override { return QStringLiteral("Workbook"); }
    int memberId(QStringView name) const override { return findMember(name, {u"Sheets", u"Worksheets"}); }
    QVariant invoke(int, CallKind kind, std::span<const QVariant> args) override {
        if (kind == CallKind::PropertyPut) throw DispatchError(DispatchError::MemberNotFound);
        checkArgCount(args, 1);
        if (intArgument(args[0]) != 1) throw DispatchError(DispatchError::BadIndex);
        return QVariant::fromValue<DispatchRef>(m_sheet);
    }

private:
    std::shared_ptr<Worksheet> m_sheet;
};

class Workbooks : public Dispatch {
public:
    std::vector<std::shared_ptr<Workbook>> books;

    QString typeName() const override { return QStringLiteral("Workbooks"); }
    int memberId(QStringView name) const override { return findMember(name, {u"Add", u"Count", u"Item"}); }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override {
        if (kind == CallKind::PropertyPut) throw DispatchError(DispatchError::MemberNotFound);
        switch (member) {
        case 0: // Add
            if (kind != CallKind::Method) throw DispatchError(DispatchError::MemberNotFound);
            checkArgCount(args, 0);
            books.push_back(std::make_shared<Workbook>());
            return QVariant::fromValue<DispatchRef>(books.back());
        case 1: // Count
            checkArgCount(args, 0);
            return static_cast<int>(books.size());
        default: // Item
            checkArgCount(args, 1);
            return item(args[0]);
        }
    }
    QVariant item(const QVariant& index) const {
        const int i = intArgument(index);
        if (i < 1 || i > static_cast<int>(books.size())) throw DispatchError(DispatchError::BadIndex);
        return QVariant::fromValue<DispatchRef>(books[static_cast<size_t>(i - 1)]);
    }
};
} // namespace

class SpreadsheetApplication : public Dispatch {
public:
    explicit SpreadsheetApplication(SpreadsheetProgram program)
        : m_program(std::move(program)), m_books(std::make_shared<Workbooks>()) {}

    QString typeName() const override { return QStringLiteral("Application"); }
    int memberId(QStringView name) const override { return findMember(name, {u"Workbooks", u"Visible"}); }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override {
        if (member == 0) { // Workbooks
            if (kind == CallKind::PropertyPut) throw DispatchError(DispatchError::MemberNotFound);
            if (args.empty()) return QVariant::fromValue<DispatchRef>(m_books);
            checkArgCount(args, 1);
            return m_books->item(args[0]);
        }
        if (kind != CallKind::PropertyPut) {
            checkArgCount(args, 0);
            return m_visible;
        }
        checkArgCount(args, 1);
        if (args[0].typeId() != QMetaType::Bool && args[0].typeId() != QMetaType::Int)
            throw DispatchError(DispatchError::TypeMismatch);
        if (args[0].toBool() && !m_visible) handOver();
        m_visible = args[0].toBool();
        return {};
    }

    size_t cellBytes() const {
        size_t bytes = 0;
        for (const auto& b : m_books->books)
            bytes += b->sheet()->cells.memoryUsed();
        return bytes;
    }

private:
    // The workbooks go to the user's spreadsheet program, which shows them from now on. Cut texts
    // are told before it starts: its window would cover a notice shown after.
    void handOver() {
        int cut = 0;
        int number = 0;
        QStringList paths;
        for (const auto& book : m_books->books) {
            paths << newWorkbookPath(++number);
            writeWorkbookFile(paths.last(), book->sheet()->cells, book->sheet()->view);
            cut += book->sheet()->cells.textsCut();
        }
        if (cut > 0)
            showMessage(
                QStringLiteral("Uma célula da planilha comporta no máximo 32.767 caracteres; os textos "
                               "maiores foram cortados."),
                QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        for (const QString& path : std::as_const(paths))
            openInSpreadsheet(m_program, path);
    }

    SpreadsheetProgram m_program;
    std::shared_ptr<Workbooks> m_books;
    bool m_visible = false;
};

QVariant Worksheet::invoke(int, CallKind kind, std::span<const QVariant> args) {
    if (kind == CallKind::PropertyPut) {
        checkArgCount(args, 3);
        cells.put(intArgument(args[0]), intArgument(args[1]), args[2]);
        return {};
    }
    if (args.empty())
        return QVariant::fromValue<DispatchRef>(
            std::make_shared<Range>(shared_from_this(), 1, 1, SheetCells::kMaxRows, SheetCells::kMaxColumns));
    checkArgCount(args, 2);
    const int row = intArgument(args[0]), column = intArgument(args[1]);
    if (row < 1 || row > SheetCells::kMaxRows || column < 1 || column > SheetCells::kMaxColumns)
        throw DispatchError(DispatchError::BadIndex);
    return QVariant::fromValue<DispatchRef>(
        std::make_shared<Range>(shared_from_this(), row, column, row, column));
}

QVariant Range::invoke(int member, CallKind kind, std::span<const QVariant> args) {
    const bool put = kind == CallKind::PropertyPut;
    if (member == 3) { // Value
        if (!oneCell()) throw DispatchError(DispatchError::TypeMismatch);
        checkArgCount(args, put ? 1 : 0);
        if (!put) return m_sheet->cells.get(m_top, m_left);
        m_sheet->cells.put(m_top, m_left, args[0]);
        return {};
    }
    if (put) throw DispatchError(DispatchError::MemberNotFound);
    checkArgCount(args, 0);
    switch (member) {
    case 0: // Select
        m_sheet->view.selectionTop = m_top;
        m_sheet->view.selectionLeft = m_left;
        m_sheet->view.selectionBottom = m_bottom;
        m_sheet->view.selectionRight = m_right;
        return {};
    case 1: // EntireColumn
        return QVariant::fromValue<DispatchRef>(
            std::make_shared<Range>(m_sheet, 1, m_left, SheetCells::kMaxRows, m_right));
    default: // AutoFit
        autoFit();
        return {};
    }
}

void Range::autoFit() {
    if (m_top != 1 || m_bottom != SheetCells::kMaxRows) {
        if (m_left == 1 && m_right == SheetCells::kMaxColumns)
            return; // whole rows: heights follow their text
        throw AppError(QStringLiteral("AutoFit method of Range class failed"));
    }
    std::map<int, double>& widths = m_sheet->view.columnWidths;
    widths.erase(widths.lower_bound(m_left), widths.upper_bound(m_right));
    m_sheet->cells.forEach([&](const SheetCells::Entry& e) {
        if (e.column < m_left || e.column > m_right) return;
        double& w = widths[e.column];
        w = std::max(w, fittedWidth(e.value));
    });
}

DispatchRef createSpreadsheetApplication(const SpreadsheetProgram& program) {
    return std::make_shared<SpreadsheetApplication>(program);
}

size_t spreadsheetCellBytes(const DispatchRef& application) {
    auto* app = dynamic_cast<SpreadsheetApplication*>(application.get());
    return app ? app->cellBytes() : 0;
}

void registerSpreadsheetServer() {
    ClassRegistration r;
    r.clsid = QUuid(QStringLiteral("{5b0c7d8e-3f4a-4c1e-9a57-2e61d0f3a9b4}"));
    // One look for the program serves the check and the creation of an export, and later exports.
    auto programs = std::make_shared<SpreadsheetProgramCache>();
    r.installed = [programs] { return programs->program().found(); };
    r.create = [programs] { return createSpreadsheetApplication(programs->program()); };
    registerClass(QStringLiteral("Excel.Application"), std::move(r));
}
