#pragma once
#include <QList>
#include <QListWidget>
#include <QStringList>
#include <functional>

// A check list: one tick box per item. Its window handles focus and keys: `onEnter`, `onExit` run
// when the list gains and loses the keyboard focus, and `onKeyDown` sees every key first (true:
// the key is taken; other keys act as in any list, Space toggling the current item).
class TickList : public QListWidget {
public:
    explicit TickList(QWidget* parent = nullptr);

    std::function<void()> onEnter;
    std::function<void()> onExit;
    std::function<bool(int key)> onKeyDown;
    // The window calls this in its destructor: hiding a dying window moves the focus away, and the
    // handlers must not run on what is left of it.
    void dropHandlers();

    // Empties the list and gives it one item per name, ticked where `ticked` says so (cleared
    // where it says nothing).
    void setItems(const QStringList& names, const QList<bool>& ticked = {});
    QStringList names() const;
    QList<bool> ticks() const;
    // F1 ticks every item and F2 clears every item. True when the key was one of them.
    bool tickAllByKey(int key);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};
