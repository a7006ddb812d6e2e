#include "editor/outline_events.h"

#include "editor/outline_tree.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace kv {

OutlineEvents::OutlineEvents(OutlineTree& tree, Handlers handlers)
    : QObject(&tree), tree_(tree), handlers_(std::move(handlers)) {
    tree_.installEventFilter(this);
    tree_.viewport()->installEventFilter(this);
}

bool OutlineEvents::eventFilter(QObject* watched, QEvent* event) {
    const bool onViewport = watched == tree_.viewport();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (!onViewport) break;
        auto* mouse = static_cast<QMouseEvent*>(event);
        pressedNode_ = tree_.indexAt(mouse->position().toPoint());
        pressPosition_ = mouse->globalPosition().toPoint();
        if (handlers_.mouseDown) handlers_.mouseDown(mouse->button());
        pressedNode_ = QModelIndex();
        return mouse->button() == Qt::RightButton;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return onViewport && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::ContextMenu:
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard &&
            handlers_.keyboardMenu)
            handlers_.keyboardMenu();
        return true;
    case QEvent::ShortcutOverride:
        // Every key comes here first, shortcut or not. A key is a command of its own: a caption
        // edit armed by an earlier click is dropped.
        if (!onViewport) tree_.CancelPendingEdit();
        break;
    case QEvent::KeyPress: {
        if (onViewport || !handlers_.keyDown) break;
        auto* key = static_cast<QKeyEvent*>(event);
        return handlers_.keyDown(key->key(), key->modifiers());
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kv
