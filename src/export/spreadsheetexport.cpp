#include "export/spreadsheetexport.h"
#include "connection/dataset.h"
#include "connection/fieldkind.h"
#include "connection/rowstore.h"
#include "platform/automation.h"
#include <QCursor>
#include <QGuiApplication>
#include <vector>

namespace {
// Days from 17/11/1858, where the database counts from, to 30/12/1899, where automation does.
constexpr qint64 kOleDayOffset = 15018;

// The wait cursor and the locked controls, given back when the export ends however it ends.
class ExportState {
public:
    explicit ExportState(const ExportControls& controls) : m_controls(controls) {}
    ~ExportState() {
        restoreCursor();
        unlock();
    }
    void waitCursor() {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_cursor = true;
    }
    void restoreCursor() {
        if (m_cursor) QGuiApplication::restoreOverrideCursor();
        m_cursor = false;
    }
    void lock() {
        m_locked = true;
        if (m_controls.setEnabled) m_controls.setEnabled(false);
    }
    void unlock() {
        if (m_locked && m_controls.setEnabled) m_controls.setEnabled(true);
        m_locked = false;
    }

private:
    const ExportControls& m_controls;
    bool m_cursor = false;
    bool m_locked = false;
};
} // namespace

QVariant automationValue(const Field& field) {
    const FieldKind kind = field.kind();
    if (field.isNull()) return isBlobKind(kind) ? QVariant(QString()) : QVariant();
    switch (kind) {
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        return QVariant::fromValue(OleCurrency{field.storedInteger(), field.size()});
    case FieldKind::Date:
        return QVariant::fromValue(OleDate{field.storedInteger() - kOleDayOffset, 0, OleDate::Date});
    case FieldKind::Time:
        return QVariant::fromValue(OleDate{0, field.storedInteger(), OleDate::Time});
    case FieldKind::DateTime: {
        const auto [days, ticks] = splitTimestamp(field.storedInteger());
        return QVariant::fromValue(OleDate{days - kOleDayOffset, ticks, OleDate::DateTime});
    }
    case FieldKind::Memo:
    case FieldKind::Blob:
        return field.asString();
    default:
        return field.value();
    }
}

void SpreadsheetExport(DataSet& data, const ExportControls& controls) {
    ExportState state(controls);
    state.waitCursor();
    const DispatchRef excel = createOleObject(QStringLiteral("Excel.Application"));
    if (controls.lockWhen == ExportControls::BeforeWorkbook) state.lock();
    const DispatchRef books = oleObject(oleCall(excel, u"Workbooks", CallKind::Method));
    oleCall(books, u"Add", CallKind::Method);
    if (controls.lockWhen == ExportControls::AfterWorkbook) state.lock();

    // Every use of the sheet reaches it afresh from the application's first workbook.
    auto firstSheet = [&] {
        const DispatchRef book = oleObject(oleCall(excel, u"WorkBooks", CallKind::PropertyGet, {1}));
        return oleObject(oleCall(book, u"Sheets", CallKind::PropertyGet, {1}));
    };
    auto putCell = [&](int row, int column, const QVariant& value) {
        oleCall(firstSheet(), u"Cells", CallKind::PropertyPut, {row, column, value});
    };

    data.first();
    // Fields by their place: two columns may share a name (a join, two expressions).
    std::vector<const Field*> fields;
    for (int i = 0; i < data.fieldCount(); ++i)
        if (data.field(i)->visible()) fields.push_back(data.field(i));
    int column = 1;
    for (const Field* field : fields)
        putCell(1, column++, field->fieldName());
    int row = 2;
    while (!data.eof()) {
        column = 1;
        for (const Field* field : fields)
            putCell(row, column++, automationValue(*field));
        data.next();
        ++row;
    }

    oleCall(oleObject(oleCall(firstSheet(), u"Cells", CallKind::Method)), u"Select", CallKind::Method);
    const DispatchRef columns = oleObject(oleCall(
        oleObject(oleCall(firstSheet(), u"Cells", CallKind::Method)), u"EntireColumn", CallKind::Method));
    oleCall(columns, u"AutoFit", CallKind::Method);
    oleCall(oleObject(oleCall(firstSheet(), u"Cells", CallKind::PropertyGet, {1, 1})), u"Select",
            CallKind::Method);

    state.restoreCursor();
    state.unlock();
    oleCall(excel, u"Visible", CallKind::PropertyPut, {true});
}
