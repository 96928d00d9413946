#pragma once
// The pointer over the main window's image, as a user moves and clicks it:
// events reach whatever widget lies under the pointer (the image box, or the
// magnifier standing over it), so the window must be shown and exposed.

#include <QPoint>

class Form1;
class QWidget;

namespace testing {

// Moves the pointer to this pixel of the image box. The pixel must lie inside
// the viewport (see panIntoView).
void movePointerTo(Form1 &form, QPoint pixel);

// Presses and releases the left button at this pixel of the image box; the
// click goes to the widget under it, which is returned (null when neither the
// image box nor the magnifier lies there, and then nothing is clicked).
QWidget *clickAt(Form1 &form, QPoint pixel);

// Pans the image with held arrow keys, one timer tick at a time, until the
// pixel lies at least `margin` pixels inside the part of the viewport that
// the screen shows, or the image can go no further. True when the pixel is
// then inside that part.
bool panIntoView(Form1 &form, QPoint pixel, int margin = 60);

} // namespace testing
