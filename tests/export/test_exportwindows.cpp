// The spreadsheet export as the browse and SQL windows run it, against a recording automation
// server registered under "Excel.Application": the calls it receives, in order, interleaved with
// the locking and unlocking of the window's controls and the wait cursor.
#include "browse/ui/fbrowse.h"
#include "browse/ui/fcampos.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "platform/automation.h"
#include "platform/errorreport.h"
#include "sql/ui/fsql.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/modal.h"
#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
const QString kProgId = QStringLiteral("Excel.Application");

// One log shared by the recording objects and the watched controls. Each line is preceded by a
// "cursor wait" or "cursor default" line whenever the application's cursor changed since the last.
struct CallLog {
    QStringList lines;
    bool waitCursor = false;
    void add(const QString& line) {
        const QCursor* c = QGuiApplication::overrideCursor();
        const bool wait = c && c->shape() == Qt::WaitCursor;
        if (wait != waitCursor)
            lines << (wait ? QStringLiteral("cursor wait") : QStringLiteral("cursor default"));
        waitCursor = wait;
        lines << line;
    }
};

QString argText(const QVariant& v) {
    if (!v.isValid()) return QStringLiteral("null");
    if (v.typeId() == QMetaType::QString) return '"' + v.toString() + '"';
    if (v.metaType() == QMetaType::fromType<OleCurrency>()) {
        const auto c = v.value<OleCurrency>();
        return QStringLiteral("currency %1e-%2").arg(c.units).arg(c.scale);
    }
    if (v.metaType() == QMetaType::fromType<OleDate>()) {
        const auto d = v.value<OleDate>();
        return QStringLiteral("date %1 %2").arg(d.days).arg(d.ticks);
    }
    return v.toString();
}

// Takes every member name; logs "<object>.<member> <kind> (<arguments>)" and answers calls that
// yield an object with a new recorder named after what the spreadsheet would return.
class Recorder : public Dispatch {
public:
    Recorder(QString name, CallLog* log) : m_name(std::move(name)), m_log(log) {}
    QString typeName() const override { return m_name; }
    int memberId(QStringView name) const override {
        m_names << name.toString();
        return static_cast<int>(m_names.size() - 1);
    }
    QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) override {
        const QString name = m_names.at(member);
        static const char* const kinds[] = {"method", "get", "put"};
        QStringList shown;
        for (const QVariant& a : args)
            shown << argText(a);
        m_log->add(QStringLiteral("%1.%2 %3 (%4)")
                       .arg(m_name, name, kinds[static_cast<int>(kind)], shown.join(", ")));
        static const QHash<QString, QString> results{
            {"Workbooks", "books"}, {"WorkBooks", "book"}, {"Sheets", "sheet"}, {"EntireColumn", "columns"}};
        QString result = results.value(name);
        if (name == QLatin1String("Cells") && kind != CallKind::PropertyPut)
            result = args.empty() ? QStringLiteral("cells") : QStringLiteral("cell");
        if (result.isEmpty()) return {};
        return QVariant::fromValue<DispatchRef>(std::make_shared<Recorder>(result, m_log));
    }

private:
    QString m_name;
    CallLog* m_log;
    mutable QStringList m_names;
};

// Logs "lock <name>" and "unlock <name>" as the watched controls change their enabled state.
class LockWatcher : public QObject {
public:
    LockWatcher(CallLog* log, QObject* parent) : QObject(parent), m_log(log) {}
    void watch(QWidget* w, const QString& name) {
        m_names.insert(w, name);
        w->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::EnabledChange && m_names.contains(o)) {
            auto* w = static_cast<QWidget*>(o);
            m_log->add((w->isEnabled() ? QStringLiteral("unlock ") : QStringLiteral("lock ")) +
                       m_names.value(o));
        }
        return false;
    }

private:
    CallLog* m_log;
    QHash<QObject*, QString> m_names;
};

// The calls of one cell written at (row, column).
QStringList cellCalls(int row, int column, const QString& value) {
    return {QStringLiteral("app.WorkBooks get (1)"), QStringLiteral("book.Sheets get (1)"),
            QStringLiteral("sheet.Cells put (%1, %2, %3)").arg(row).arg(column).arg(value)};
}

// From the selection of every cell to the application made visible.
QStringList closingCalls() {
    return {QStringLiteral("app.WorkBooks get (1)"),     QStringLiteral("book.Sheets get (1)"),
            QStringLiteral("sheet.Cells method ()"),     QStringLiteral("cells.Select method ()"),
            QStringLiteral("app.WorkBooks get (1)"),     QStringLiteral("book.Sheets get (1)"),
            QStringLiteral("sheet.Cells method ()"),     QStringLiteral("cells.EntireColumn method ()"),
            QStringLiteral("columns.AutoFit method ()"), QStringLiteral("app.WorkBooks get (1)"),
            QStringLiteral("book.Sheets get (1)"),       QStringLiteral("sheet.Cells get (1, 1)"),
            QStringLiteral("cell.Select method ()")};
}

QStringList locks(const QString& verb, const QStringList& names) {
    QStringList out;
    for (const QString& n : names)
        out << verb + ' ' + n;
    return out;
}
} // namespace

class TestExportWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void browseCallsAndLocks();
    void sqlCallsAndLocks();
    void sqlBeforeAnyStatement();
    void noServerRegistered();
    void hiddenFieldSkippedWithoutGap();
    void onlyExportingBrowseLocked();
    void browseGridFollowsOnceAtTheEnd();

private:
    TFBrowse* openBrowse(const QString& table) { return m_windows.open(table); }
    TFSql* openSql() {
        auto* w = new TFSql;
        m_windows.add(w);
        w->show();
        return w;
    }
    void registerRecorder() {
        ClassRegistration r;
        r.clsid = QUuid::createUuid();
        r.create = [this] {
            m_log.add(QStringLiteral("create"));
            return std::make_shared<Recorder>(QStringLiteral("app"), &m_log);
        };
        registerClass(kProgId, std::move(r));
    }
    void watchBrowse(TFBrowse* b, const QString& prefix = QString()) {
        m_watcher->watch(b->Gs, prefix + QStringLiteral("Gs"));
        m_watcher->watch(b->Botoes, prefix + QStringLiteral("Botoes"));
    }
    void watchSql(TFSql* w) {
        m_watcher->watch(w->ToolBar1, QStringLiteral("ToolBar1"));
        m_watcher->watch(w->MemoSql, QStringLiteral("MemoSql"));
        m_watcher->watch(w->Grade, QStringLiteral("Grade"));
    }
    QStringList errors() const {
        QStringList out;
        for (const MessageRequest& m : m_holder->prompts.messages)
            if (m.icon == MsgIcon::Error) out << m.text;
        return out;
    }

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_windows;
    CallLog m_log;
    LockWatcher* m_watcher = nullptr;
};

void TestExportWindows::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral(
            "create table ITENS (ID integer not null primary key, NOME varchar(20), PRECO numeric(9,2))"),
        QStringLiteral("insert into ITENS values (1, 'Pão', 2.50)"),
        QStringLiteral("insert into ITENS values (2, null, null)"),
        QStringLiteral("create table MUITOS (N integer not null primary key)"),
        QStringLiteral("execute block as declare i integer = 1; begin while (i <= 1000) do begin "
                       "insert into MUITOS values (:i); i = i + 1; end end"),
    });
}

void TestExportWindows::init() {
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
    m_log = CallLog();
    m_watcher = new LockWatcher(&m_log, this);
    registerRecorder();
}

void TestExportWindows::cleanup() {
    m_windows.closeAll();
    delete m_watcher;
    m_watcher = nullptr;
    unregisterClass(kProgId);
    QVERIFY(!QGuiApplication::overrideCursor());
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestExportWindows::browseCallsAndLocks() {
    TFBrowse* b = openBrowse(QStringLiteral("ITENS"));
    watchBrowse(b);
    b->Gs->setFocus();
    QTest::keyClick(b->Gs, Qt::Key_F7);

    const QStringList controls{"Gs", "Botoes"};
    QStringList expected{"cursor wait", "create"};
    expected << locks("lock", controls) << "app.Workbooks method ()"
             << "books.Add method ()";
    expected << cellCalls(1, 1, "\"ID\"") << cellCalls(1, 2, "\"NOME\"") << cellCalls(1, 3, "\"PRECO\"");
    expected << cellCalls(2, 1, "1") << cellCalls(2, 2, "\"Pão\"") << cellCalls(2, 3, "currency 250e-2");
    expected << cellCalls(3, 1, "2") << cellCalls(3, 2, "null") << cellCalls(3, 3, "null");
    expected << closingCalls() << "cursor default" << locks("unlock", controls) << "app.Visible put (true)";
    QCOMPARE(m_log.lines, expected);
    QCOMPARE(errors(), QStringList());
    // Past the last row; the grid shows the last row as current.
    QVERIFY(b->IBDataSet1->eof());
    QCOMPARE(b->Gs->currentIndex().row(), 1);
    QVERIFY(b->Gs->isEnabled() && b->SExcel->isEnabled());
    QVERIFY(b->Gs->updatesEnabled()); // painted again

    // The button does the same.
    m_log = CallLog();
    b->SExcel->click();
    QCOMPARE(m_log.lines, expected);
}

void TestExportWindows::sqlCallsAndLocks() {
    TFSql* w = openSql();
    w->MemoSql->setPlainText(QStringLiteral("select NOME, ID from ITENS where ID = 1"));
    w->bexe->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 20000); // the server answers in the background
    watchSql(w);
    w->bexcel->click();

    const QStringList controls{"ToolBar1", "MemoSql", "Grade"}; // in their locking order
    QStringList expected{"cursor wait", "create", "app.Workbooks method ()", "books.Add method ()"};
    expected << locks("lock", controls);
    expected << cellCalls(1, 1, "\"NOME\"") << cellCalls(1, 2, "\"ID\"");
    expected << cellCalls(2, 1, "\"Pão\"") << cellCalls(2, 2, "1");
    expected << closingCalls() << "cursor default" << locks("unlock", controls) << "app.Visible put (true)";
    QCOMPARE(m_log.lines, expected);
    QCOMPARE(errors(), QStringList());
    QVERIFY(w->bexcel->isEnabled() && w->MemoSql->isEnabled());
}

void TestExportWindows::sqlBeforeAnyStatement() {
    TFSql* w = openSql();
    watchSql(w);
    w->bexcel->click();

    // Fails on moving to the first row, after the workbook was added; never made visible. The
    // controls and the cursor come back.
    const QStringList controls{"ToolBar1", "MemoSql", "Grade"};
    QStringList expected{"cursor wait", "create", "app.Workbooks method ()", "books.Add method ()"};
    expected << locks("lock", controls) << "cursor default" << locks("unlock", controls);
    QCOMPARE(m_log.lines, expected);
    QCOMPARE(errors(), QStringList{"IBSet: Cannot perform this operation on a closed dataset."});
}

void TestExportWindows::noServerRegistered() {
    unregisterClass(kProgId);
    TFBrowse* b = openBrowse(QStringLiteral("ITENS"));
    watchBrowse(b);
    b->SExcel->click();
    QCOMPARE(errors(), QStringList{"Invalid class string, ProgID: \"Excel.Application\""});
    QCOMPARE(m_log.lines, QStringList()); // nothing locked, the cursor back
    QVERIFY(b->Gs->isEnabled() && b->Botoes->isEnabled() && b->Gs->updatesEnabled());
}

void TestExportWindows::hiddenFieldSkippedWithoutGap() {
    TFBrowse* b = openBrowse(QStringLiteral("ITENS"));
    onNextModal(this, [](QWidget* d) {
        auto* c = qobject_cast<TFCampos*>(d);
        QVERIFY(c);
        c->Campos->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(c->BitBtn2, Qt::LeftButton);
    });
    QTest::keyClick(b->Gs, Qt::Key_F6);
    QCOMPARE(b->DS->columnCount(), 2);
    QTest::keyClick(b->Gs, Qt::Key_F7);

    QStringList puts;
    for (const QString& line : std::as_const(m_log.lines))
        if (line.startsWith(QLatin1String("sheet.Cells put"))) puts << line;
    QCOMPARE(puts, (QStringList{"sheet.Cells put (1, 1, \"ID\")", "sheet.Cells put (1, 2, \"PRECO\")",
                                "sheet.Cells put (2, 1, 1)", "sheet.Cells put (2, 2, currency 250e-2)",
                                "sheet.Cells put (3, 1, 2)", "sheet.Cells put (3, 2, null)"}));
}

void TestExportWindows::onlyExportingBrowseLocked() {
    TFBrowse* older = openBrowse(QStringLiteral("ITENS"));
    TFBrowse* newer = openBrowse(QStringLiteral("ITENS"));
    watchBrowse(older, QStringLiteral("older "));
    watchBrowse(newer, QStringLiteral("newer "));
    older->SExcel->click();
    QStringList lockLines;
    for (const QString& line : std::as_const(m_log.lines))
        if (line.contains(QLatin1String("lock "))) lockLines << line;
    QCOMPARE(lockLines,
             (QStringList{"lock older Gs", "lock older Botoes", "unlock older Gs", "unlock older Botoes"}));
    QVERIFY(m_log.lines.contains(QStringLiteral("app.Visible put (true)")));
}

// The grid is not painted while F7 walks the rows, and its cursor does not follow them one by one:
// it goes to the last row once, when the walk is over.
void TestExportWindows::browseGridFollowsOnceAtTheEnd() {
    TFBrowse* b = openBrowse(QStringLiteral("MUITOS"));
    QCoreApplication::processEvents();
    int moves = 0;
    connect(b->Gs->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [&] { ++moves; });
    QTest::keyClick(b->Gs, Qt::Key_F7);
    // The rows not read yet are read in the background first; the export follows at once.
    QTRY_VERIFY(!b->IBDataSet1->fetchingInBackground());
    QCOMPARE(m_log.lines.count(QStringLiteral("app.Visible put (true)")), 1);
    QCoreApplication::processEvents();
    QVERIFY(b->IBDataSet1->eof());
    QCOMPARE(b->IBDataSet1->rowCount(), 1000);
    QCOMPARE(b->Gs->currentIndex().row(), 999);
    QVERIFY2(moves <= 1, qPrintable(QString::number(moves)));
}

QTEST_MAIN(TestExportWindows)
#include "test_exportwindows.moc"
