#include "platform/ui/checklist.h"
#include <QKeyEvent>

TickList::TickList(QWidget* parent) : QListWidget(parent) {}

void TickList::dropHandlers() {
    onEnter = nullptr;
    onExit = nullptr;
    onKeyDown = nullptr;
}

void TickList::setItems(const QStringList& names, const QList<bool>& ticked) {
    clear();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names.at(i), this);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(i < ticked.size() && ticked.at(i) ? Qt::Checked : Qt::Unchecked);
    }
}

QStringList TickList::names() const {
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result << item(i)->text();
    return result;
}

QList<bool> TickList::ticks() const {
    QList<bool> result;
    result.reserve(count());
    for (int i = 0; i < count(); ++i)
        result << (item(i)->checkState() == Qt::Checked);
    return result;
}

bool TickList::tickAllByKey(int key) {
    if (key != Qt::Key_F1 && key != Qt::Key_F2) return false;
    const Qt::CheckState state = key == Qt::Key_F1 ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(state);
    return true;
}

void TickList::focusInEvent(QFocusEvent* e) {
    QListWidget::focusInEvent(e);
    if (onEnter) onEnter();
}

void TickList::focusOutEvent(QFocusEvent* e) {
    QListWidget::focusOutEvent(e);
    if (onExit) onExit();
}

void TickList::keyPressEvent(QKeyEvent* e) {
    if (onKeyDown && onKeyDown(e->key())) {
        e->accept();
        return;
    }
    QListWidget::keyPressEvent(e);
}
