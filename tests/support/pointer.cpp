#include "support/pointer.h"

#include "main_window/form1.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QtTest>

namespace testing {

void movePointerTo(Form1 &form, QPoint pixel)
{
    // A move to where the pointer already is sends nothing.
    if (QCursor::pos() == form.Picture1->mapToGlobal(pixel))
        QTest::mouseMove(form.Picture1, pixel + QPoint(1, 1));
    QTest::mouseMove(form.Picture1, pixel);
}

QWidget *clickAt(Form1 &form, QPoint pixel)
{
    const QPoint global = form.Picture1->mapToGlobal(pixel);
    QWidget *target = QApplication::widgetAt(global);
    if (target != form.Picture1 && target != form.zoom)
        return nullptr;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFromGlobal(global));
    return target;
}

bool panIntoView(Form1 &form, QPoint pixel, int margin)
{
    // Only what the screen shows of the viewport can be pointed at.
    QRect view = form.PicOrange->rect();
    if (const QScreen *screen = form.screen())
        view &= QRect(form.PicOrange->mapFromGlobal(screen->geometry().topLeft()), screen->geometry().size());
    const QRect wanted = view.adjusted(margin, margin, -margin, -margin);
    for (;;) {
        const QPoint at = form.Picture1->pos() + pixel; // in the viewport
        PanInput input;
        input.mainWindowActive = true;
        input.keys.left = at.x() < wanted.left();
        input.keys.right = at.x() > wanted.right();
        input.keys.up = at.y() < wanted.top();
        input.keys.down = at.y() > wanted.bottom();
        const QPoint before = form.Picture1->pos();
        form.panTick(input);
        if (form.Picture1->pos() == before)
            return view.contains(form.Picture1->pos() + pixel);
    }
}

} // namespace testing
