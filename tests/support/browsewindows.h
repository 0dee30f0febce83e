#pragma once
#include <QList>
#include <QPointer>
#include <QString>

class QWidget;
class TFBrowse;

// Browse windows of one test: opened on a table as the table list opens them (CurrentTable, and
// BrowseSelect "Select * From " with the quoted name and then `order`), shown and captioned with
// the table's name; every window handed here is deleted by closeAll() or with this object.
class BrowseWindows {
public:
    BrowseWindows() = default;
    ~BrowseWindows();
    BrowseWindows(const BrowseWindows&) = delete;
    BrowseWindows& operator=(const BrowseWindows&) = delete;

    TFBrowse* open(const QString& table, const QString& order = QString());
    void add(QWidget* window);
    void closeAll();

private:
    QList<QPointer<QWidget>> m_windows;
};
