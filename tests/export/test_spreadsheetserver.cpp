// The automation layer and the in-memory spreadsheet server reached through it: creating objects
// from programmatic identifiers, the refusals of late-bound calls, and cells kept as they were put,
// whatever the order, until the workbook file is written.
#include "export/spreadsheetserver.h"
#include "platform/automation.h"
#include "support/errortext.h"
#include "support/files.h"
#include "support/spreadsheetreader.h"
#include <QtTest>

namespace {
const QString kProgId = QStringLiteral("Teste.Planilha");

// A fresh application with one workbook: the objects the export talks to. Its spreadsheet program
// notes the file it is given in `opened`.
struct Objects {
    explicit Objects(const QString& opened)
        : app(createSpreadsheetApplication(
              {QStringLiteral("sh"),
               {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' \"$0\" > '%1'").arg(opened)}})) {}
    DispatchRef app;
    DispatchRef books = oleObject(oleCall(app, u"Workbooks", CallKind::Method));
    DispatchRef book = oleObject(oleCall(books, u"Add", CallKind::Method));
    DispatchRef sheet = oleObject(oleCall(book, u"Sheets", CallKind::PropertyGet, {1}));
    DispatchRef byName(const QString& name) const {
        return name == QLatin1String("app") ? app : name == QLatin1String("book") ? book : sheet;
    }
};
} // namespace

class TestSpreadsheetServer : public QObject {
    Q_OBJECT
private slots:
    // The workbooks handed over land in the test's own folder, removed with it.
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(m_dir.path())); }
    void cleanup() { unregisterClass(kProgId); }

    void creatingFromProgId_data();
    void creatingFromProgId();
    void refusedCalls_data();
    void refusedCalls();
    void cellsAsLastPut();
    void programLookedUpOncePerExport();

private:
    QTemporaryDir m_dir;
    const QString m_opened = m_dir.filePath(QStringLiteral("aberto.txt"));
};

void TestSpreadsheetServer::creatingFromProgId_data() {
    QTest::addColumn<QString>("registration");
    QTest::addColumn<QString>("error");
    QTest::newRow("not registered") << "none"
                                    << "Invalid class string, ProgID: \"Teste.Planilha\"";
    QTest::newRow("not installed") << "absent"
                                   << "Invalid class string, ProgID: \"Teste.Planilha\"";
    QTest::newRow("server fails") << "failing"
                                  << "Server execution failed, ProgID: \"Teste.Planilha\"";
    QTest::newRow("created") << "working"
                             << "<no error>";
}

void TestSpreadsheetServer::creatingFromProgId() {
    QFETCH(QString, registration);
    QFETCH(QString, error);
    if (registration != QLatin1String("none")) {
        ClassRegistration r;
        r.clsid = QUuid::createUuid();
        r.installed = [registration] { return registration != QLatin1String("absent"); };
        r.create = [registration]() -> DispatchRef {
            if (registration == QLatin1String("failing")) return nullptr;
            return createSpreadsheetApplication({});
        };
        registerClass(kProgId, r);
    }
    // Identifiers do not depend on case.
    QCOMPARE(errorText([] { QVERIFY(createOleObject(QStringLiteral("teste.planilha"))); }),
             QString(error).replace(kProgId, QStringLiteral("teste.planilha")));
}

void TestSpreadsheetServer::refusedCalls_data() {
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("error");
    const int method = int(CallKind::Method), get = int(CallKind::PropertyGet),
              put = int(CallKind::PropertyPut);
    const QString outside =
        QStringLiteral("A célula da linha %1, coluna %2 fica fora da planilha, que comporta no "
                       "máximo 1.048.576 linhas e 16.384 colunas");
    QTest::newRow("unknown member") << "app"
                                    << "Planilhas" << method << QVariantList{}
                                    << "Unknown name (Application.Planilhas)";
    QTest::newRow("names ignore case") << "app"
                                       << "workbooks" << get << QVariantList{1} << "<no error>";
    QTest::newRow("no second workbook")
        << "app"
        << "WorkBooks" << get << QVariantList{2} << "Invalid index (Application.WorkBooks)";
    QTest::newRow("no second sheet") << "book"
                                     << "Sheets" << get << QVariantList{2}
                                     << "Invalid index (Workbook.Sheets)";
    QTest::newRow("cell without value")
        << "sheet"
        << "Cells" << put << QVariantList{1, 2} << "Invalid number of parameters (Worksheet.Cells)";
    QTest::newRow("row as text") << "sheet"
                                 << "Cells" << put << QVariantList{"um", 1, 5}
                                 << "Type mismatch (Worksheet.Cells)";
    QTest::newRow("bytes as value") << "sheet"
                                    << "Cells" << put << QVariantList{1, 1, QByteArray("ab")}
                                    << "Type mismatch (Worksheet.Cells)";
    QTest::newRow("visible as text") << "app"
                                     << "Visible" << put << QVariantList{"sim"}
                                     << "Type mismatch (Application.Visible)";
    QTest::newRow("last cell") << "sheet"
                               << "Cells" << put << QVariantList{1048576, 16384, 1} << "<no error>";
    QTest::newRow("row past the sheet")
        << "sheet"
        << "Cells" << put << QVariantList{1048577, 1, 1} << outside.arg(1048577).arg(1);
    QTest::newRow("column past the sheet")
        << "sheet"
        << "Cells" << put << QVariantList{1, 16385, 1} << outside.arg(1).arg(16385);
    QTest::newRow("row zero") << "sheet"
                              << "Cells" << put << QVariantList{0, 1, 1} << outside.arg(0).arg(1);
}

void TestSpreadsheetServer::refusedCalls() {
    QFETCH(QString, object);
    QFETCH(QString, member);
    QFETCH(int, kind);
    QFETCH(QVariantList, args);
    QFETCH(QString, error);
    const Objects o(m_opened);
    QCOMPARE(errorText([&] {
                 oleCall(o.byName(object), member, static_cast<CallKind>(kind),
                         std::span<const QVariant>(args.constData(), args.size()));
             }),
             error);
}

void TestSpreadsheetServer::cellsAsLastPut() {
    // Out of order, written over and emptied: each cell holds what was put last.
    const Objects o(m_opened);
    auto put = [&](int row, int column, const QVariant& v) {
        oleCall(o.sheet, u"Cells", CallKind::PropertyPut, {row, column, v});
    };
    auto value = [&](int row, int column) {
        return oleCall(oleObject(oleCall(o.sheet, u"Cells", CallKind::PropertyGet, {row, column})), u"Value",
                       CallKind::PropertyGet);
    };
    put(3, 2, QStringLiteral("fim"));
    put(1, 1, QStringLiteral("título"));
    put(2, 1, 7);
    put(1, 1, QVariant::fromValue(OleCurrency{-150, 2}));
    put(2, 2, QStringLiteral("apagado"));
    put(2, 2, QVariant());
    put(3, 1, true);
    QCOMPARE(value(1, 1).value<OleCurrency>().units, -150);
    QCOMPARE(value(2, 1).toLongLong(), 7);
    QVERIFY(!value(2, 2).isValid());
    QCOMPARE(value(3, 2).toString(), QStringLiteral("fim"));

    // Made visible, the application hands the workbook over: the file holds the same.
    oleCall(o.app, u"Visible", CallKind::PropertyPut, {true});
    QTRY_VERIFY(fileBytes(m_opened).endsWith('\n'));
    const QString file = QString::fromLocal8Bit(fileBytes(m_opened)).trimmed();
    QVERIFY(file.endsWith(QLatin1String("/Pasta1.xlsx")));
    QCOMPARE(readSheetCells(file, QStringLiteral("preserve")),
             (QList<QStringList>{{"-1.50", ""}, {"7", ""}, {"TRUE", "fim"}}));
}

// The desktop's default application is asked for (xdg-mime, a process) at most once per export,
// not once to tell whether the spreadsheet is installed and again to start it.
void TestSpreadsheetServer::programLookedUpOncePerExport() {
    const QString bin = m_dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString asked = m_dir.filePath(QStringLiteral("xdg-mime.txt"));
    const QString opened = m_dir.filePath(QStringLiteral("xdg-open.txt"));
    writeBytes(
        bin + QStringLiteral("/xdg-mime"),
        QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\necho planilha.desktop\n").arg(asked).toLocal8Bit());
    writeBytes(bin + QStringLiteral("/xdg-open"),
               QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(opened).toLocal8Bit());
    for (const char* name : {"/xdg-mime", "/xdg-open"})
        QVERIFY(QFile::setPermissions(bin + QLatin1String(name),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH"), command = qgetenv("FBADMIN_SPREADSHEET");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    qunsetenv("FBADMIN_SPREADSHEET");
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", path);
        if (!command.isNull()) qputenv("FBADMIN_SPREADSHEET", command);
        unregisterClass(QStringLiteral("Excel.Application"));
    });
    registerSpreadsheetServer();

    constexpr int kExports = 3;
    for (int i = 0; i < kExports; ++i) {
        // What an export asks of the automation server, from creating it to making it visible.
        const DispatchRef app = createOleObject(QStringLiteral("Excel.Application"));
        oleCall(oleObject(oleCall(app, u"Workbooks", CallKind::Method)), u"Add", CallKind::Method);
        oleCall(app, u"Visible", CallKind::PropertyPut, {true});
    }
    QTRY_COMPARE(QString::fromLocal8Bit(fileBytes(opened)).count(QStringLiteral("Pasta1.xlsx")), kExports);
    const qsizetype lookups = QString::fromLocal8Bit(fileBytes(asked)).count(QChar('\n'));
    QVERIFY2(lookups >= 1 && lookups <= kExports, qPrintable(QString::number(lookups)));
}

QTEST_MAIN(TestSpreadsheetServer)
#include "test_spreadsheetserver.moc"
