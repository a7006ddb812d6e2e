#pragma once

#include <QModelIndex>
#include <QObject>
#include <QPoint>

#include <functional>

namespace kv {

class OutlineTree;

// Hands the outline's button presses and keys to the window's handlers before the tree acts on
// them. A right click is the window's alone: the tree neither selects on it nor opens a menu of
// its own (the context-menu event that follows the press is swallowed); a menu asked for from
// the keyboard goes to `keyboardMenu`.
class OutlineEvents : public QObject {
    Q_OBJECT

public:
    struct Handlers {
        std::function<void(Qt::MouseButton)> mouseDown;
        // True when the key was used up and the tree must not see it.
        std::function<bool(int key, Qt::KeyboardModifiers modifiers)> keyDown;
        std::function<void()> keyboardMenu;
    };

    OutlineEvents(OutlineTree& tree, Handlers handlers);

    // The node under the mouse at the last button press (invalid outside every node) and where
    // the press was on the screen.
    QModelIndex PressedNode() const { return pressedNode_; }
    QPoint PressPosition() const { return pressPosition_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OutlineTree& tree_;
    Handlers handlers_;
    QModelIndex pressedNode_;
    QPoint pressPosition_;
};

} // namespace kv
