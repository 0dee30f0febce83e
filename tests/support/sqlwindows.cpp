#include "support/sqlwindows.h"
#include "connection/datasetmodel.h"
#include "sql/ui/fsql.h"
#include <QCoreApplication>
#include <QToolButton>
#include <QtTest>

SqlWindows::~SqlWindows() {
    closeAll();
}

TFSql* SqlWindows::open() {
    auto* w = new TFSql;
    add(w);
    w->show();
    return w;
}

void SqlWindows::add(QWidget* window) {
    m_windows.append(window);
}

void SqlWindows::closeAll() {
    for (const QPointer<QWidget>& w : std::as_const(m_windows))
        delete w.data();
    m_windows.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SqlWindows::run(TFSql* w, const QString& text) {
    w->MemoSql->setPlainText(text);
    w->bexe->click();
    waitForGrid(w);
}

void SqlWindows::waitForGrid(TFSql* w) {
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 20000);
    QTRY_VERIFY(!w->Ds->canFetchMore({}) || w->Ds->rowCount() >= DataSetModel::BatchSize);
}
