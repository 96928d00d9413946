#pragma once
// Lets a window's menu shortcuts act from every one of its fields. A text box
// claims some key sequences for itself before any shortcut sees them (Ctrl+E
// moves its caret to the end of the line), so the menu item would never run
// and what the user types next would land in the field.

#include <QObject>

class QWidget;

class MenuShortcutGuard : public QObject {
public:
    // Watches the whole application (parented to `window`, so it goes with it)
    // and acts only on events for widgets of `window`.
    explicit MenuShortcutGuard(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
};
