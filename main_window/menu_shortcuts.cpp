#include "main_window/menu_shortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

MenuShortcutGuard::MenuShortcutGuard(QWidget *window)
    : QObject(window)
    , window_(window)
{
    qApp->installEventFilter(this);
}

bool MenuShortcutGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()
        || static_cast<QWidget *>(watched)->window() != window_)
        return false;
    // The field would accept the override and keep the keys; refusing it
    // for the window's own shortcuts hands them to the menu item instead.
    const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
    const QList<QAction *> actions = window_->findChildren<QAction *>(Qt::FindDirectChildrenOnly);
    for (const QAction *action : actions) {
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    return false;
}
