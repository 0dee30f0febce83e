#pragma once
#include <QMdiArea>
#include <QMdiSubWindow>

// The main window's child-window area. Windows that live as children of the main window call
// showChild(); without a host (window tests) the widget is shown as a top-level window.
void setMdiHost(QMdiArea* area);
QMdiArea* mdiHost();
// Wraps w in a sub-window (deleted with it on close when w has Qt::WA_DeleteOnClose) and shows it.
// Returns nullptr when there is no host.
QMdiSubWindow* showChild(QWidget* w);
// The top-level frame of a child window: its sub-window when it has one, else the widget itself.
QWidget* childFrame(QWidget* w);
