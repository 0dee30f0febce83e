#pragma once
#include <QList>
#include <QPointer>
#include <QString>

class QWidget;
class TFSql;

// SQL command windows of one test (and any other window handed here), opened and shown; every one
// is deleted by closeAll() or with this object.
class SqlWindows {
public:
    SqlWindows() = default;
    ~SqlWindows();
    SqlWindows(const SqlWindows&) = delete;
    SqlWindows& operator=(const SqlWindows&) = delete;

    TFSql* open();
    void add(QWidget* window);
    void closeAll();

    // The memo's text replaced and bexe clicked, as a user runs a statement; then waitForGrid().
    static void run(TFSql* w, const QString& text);
    // The server's part of a run goes on in the background: until it has answered, then until the
    // grid has laid itself out and asked for its first batch of rows (all of a short result).
    static void waitForGrid(TFSql* w);

private:
    QList<QPointer<QWidget>> m_windows;
};
