#pragma once
#include <QList>
#include <QListWidget>
#include <QPointer>
#include <QStringList>

// A check list: one tick box per item. F1 ticks every item and F2 clears every item; other keys
// act as in any list (Space toggles the current item). A hint, when given, shows exactly while
// the list has the keyboard focus.
class TickList : public QListWidget {
public:
    explicit TickList(QWidget* parent = nullptr);

    void setHint(QWidget* hint);
    // Empties the list and gives it one item per name, ticked where `ticked` says so (cleared
    // where it says nothing).
    void setItems(const QStringList& names, const QList<bool>& ticked = {});
    QStringList names() const;
    QList<bool> ticks() const;
    // F1 and F2 as above. True when the key was one of them.
    bool tickAllByKey(int key);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QPointer<QWidget> m_hint;
};
