#include "support/browsewindows.h"
#include "browse/ui/fbrowse.h"
#include "connection/dm.h"
#include "connection/identifiers.h"

BrowseWindows::~BrowseWindows() {
    closeAll();
}

TFBrowse* BrowseWindows::open(const QString& table, const QString& order) {
    CurrentTable = table;
    BrowseSelect = QStringLiteral("Select * From ") + quoteIdentifier(table) + order;
    auto* b = new TFBrowse;
    add(b);
    b->show();
    b->setWindowTitle(CurrentTable);
    return b;
}

void BrowseWindows::add(QWidget* window) {
    m_windows.append(window);
}

void BrowseWindows::closeAll() {
    for (const QPointer<QWidget>& w : std::as_const(m_windows))
        delete w.data();
    m_windows.clear();
}
