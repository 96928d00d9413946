#include "main_window/panning.h"

#include <QGuiApplication>
#include <QKeyEvent>

QPoint panStep(QPoint imageTopLeft, QSize imageSize, QSize viewportSize, int panDir,
               const HeldArrowKeys &keys)
{
    QPoint p = imageTopLeft;
    if (p.x() + imageSize.width() > viewportSize.width() && (panDir == PanRight || keys.right))
        p.rx() -= kPanStepPixels;
    else if (p.y() < 0 && (panDir == PanTop || keys.up))
        p.ry() += kPanStepPixels;
    else if (p.x() < 0 && (panDir == PanLeft || keys.left))
        p.rx() += kPanStepPixels;
    else if (p.y() + imageSize.height() > viewportSize.height() && (panDir == PanBottom || keys.down))
        p.ry() -= kPanStepPixels;
    return p;
}

bool ArrowKeyTracker::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Auto-repeat sends release/press pairs while the key stays down.
        if (key->isAutoRepeat())
            break;
        const bool down = event->type() == QEvent::KeyPress;
        switch (key->key()) {
        case Qt::Key_Left: held_.left = down; break;
        case Qt::Key_Up: held_.up = down; break;
        case Qt::Key_Right: held_.right = down; break;
        case Qt::Key_Down: held_.down = down; break;
        default: break;
        }
        break;
    }
    case QEvent::ApplicationStateChange:
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            held_ = {};
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
