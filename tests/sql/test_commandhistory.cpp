#include "sql/commandhistory.h"
#include <QtTest>

// The shared history as the SQL command windows drive it: "open" starts a fresh history (a window
// opening), "run:X" appends X (a successful run), "prev"/"next" show an entry. Every navigation
// records the entry shown.
class TestCommandHistory : public QObject {
    Q_OBJECT
private slots:
    void ring_data();
    void ring();
    void showingAnEntry_data();
    void showingAnEntry();
    void trimming_data();
    void trimming();
};

void TestCommandHistory::ring_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<int>("position");

    const QStringList emptyAB{QString(), QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("fresh window, previous stays on the empty entry")
        << QStringList{"open", "prev", "prev"} << QStringList{"", ""} << QStringList{""} << 0;
    QTest::newRow("fresh window, next stays on the empty entry")
        << QStringList{"open", "next"} << QStringList{""} << QStringList{""} << 0;
    QTest::newRow("A: previous shows empty, then A")
        << QStringList{"open", "run:A", "prev", "prev"} << QStringList{"", "A"} << QStringList{"", "A"} << 1;
    QTest::newRow("A: next shows empty, then A")
        << QStringList{"open", "run:A", "next", "next"} << QStringList{"", "A"} << QStringList{"", "A"} << 1;
    QTest::newRow("A then B: previous shows A, empty, B")
        << QStringList{"open", "run:A", "run:B", "prev", "prev", "prev"} << QStringList{"A", "", "B"} << emptyAB
        << 2;
    QTest::newRow("A then B: next shows empty, A, B")
        << QStringList{"open", "run:A", "run:B", "next", "next", "next"} << QStringList{"", "A", "B"} << emptyAB
        << 2;
    QTest::newRow("a run after walking back points at the new last entry")
        << QStringList{"open", "run:A", "run:B", "prev", "prev", "run:C", "prev"} << QStringList{"A", "", "B"}
        << QStringList{"", "A", "B", "C"} << 2;
    QTest::newRow("equal runs give equal entries")
        << QStringList{"open", "run:A", "run:A", "prev", "prev"} << QStringList{"A", ""}
        << QStringList{"", "A", "A"} << 0;
    QTest::newRow("a new window discards the history")
        << QStringList{"open", "run:A", "run:B", "open", "prev", "next"} << QStringList{"", ""} << QStringList{""}
        << 0;
    QTest::newRow("runs after a new window go into the new history")
        << QStringList{"open", "run:A", "open", "run:B", "prev", "prev"} << QStringList{"", "B"}
        << QStringList{"", "B"} << 1;
}

void TestCommandHistory::ring() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, history);
    QFETCH(int, position);

    QStringList seen;
    for (const QString& step : steps) {
        if (step == "open")
            startCommandHistory();
        else if (step.startsWith("run:"))
            appendToCommandHistory(step.mid(4));
        else if (step == "prev")
            seen << previousCommand();
        else if (step == "next")
            seen << nextCommand();
    }
    QCOMPARE(seen, shown);
    QCOMPARE(CommandHistory, history);
    QCOMPARE(HistoryPosition, position);
}

void TestCommandHistory::showingAnEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::newRow("empty entry: one line break, caret at its start") << QString() << "\n" << 0;
    QTest::newRow("one line") << "select * from T" << "select * from T\n" << 15;
    QTest::newRow("several lines keep their inner breaks")
        << "select *\n  from T\nwhere ID = 1" << "select *\n  from T\nwhere ID = 1\n" << 30;
    QTest::newRow("blanks and control characters at both ends go")
        << " \t\r\nupdate T set A = 1 \r\n\x01" << "update T set A = 1\n" << 18;
    QTest::newRow("accents count as one character each") << "select 'ação'" << "select 'ação'\n" << 13;
}

void TestCommandHistory::showingAnEntry() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(int, caret);
    const ShownCommand shown = showCommand(entry);
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.caret, caret);
    // The caret sits at the end of the entry, just before the final line break.
    QCOMPARE(shown.caret, int(shown.text.size()) - 1);
}

void TestCommandHistory::trimming_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("blanks and empty lines only") << "  \r\n\t\r\n   \n" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("inner blanks and breaks stay") << "\n  select 1\n  from T  \n\n" << "select 1\n  from T";
    QTest::newRow("control characters at the ends") << QStringLiteral("\x01\x1f" "A\x1f") << "A";
    QTest::newRow("no-break space is not a blank") << QStringLiteral("\u00a0A\u00a0") << QStringLiteral("\u00a0A\u00a0");
}

void TestCommandHistory::trimming() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(trimCommand(text), trimmed);
}

QTEST_GUILESS_MAIN(TestCommandHistory)
#include "test_commandhistory.moc"
