#pragma once
#include <QList>

class QWidget;

// The hidden tool windows that live for the whole run and are shown modally by other windows:
// filter, memo, SQL generator, its values grid, sort order and properties, created in that order
// and owned by owner. Returns them in that order.
QList<QWidget*> createToolWindows(QWidget* owner);
