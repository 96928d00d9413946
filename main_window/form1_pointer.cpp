// Moves and clicks over the image box. What they do depends on the mode:
//   "select", "etalo"   move: the magnifier follows   click: a pick
//   "coor"              move: hover read-out*         click: the click read-out
//   "superetalo"        move: hover read-out          click: a calibration mark if one is pending
//   "", "0", "done"     move: hover read-out*         click: a calibration mark if one is pending
// (* once the catalogue overlay is drawn; before that a move hides the magnifier.)

#include "main_window/form1.h"

#include "platform/numbers.h"

void Form1::connectPointer()
{
    connect(Picture1, &ImageBox::clicked, this, &Form1::Picture1_Click);
    connect(Picture1, &ImageBox::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, double x, double y) {
                Picture1_MouseMove(b, m, float(x), float(y));
            });
}

void Form1::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float X, float Y)
{
    mouseX = int(roundHalfEven(X));
    mouseY = int(roundHalfEven(Y));
    if (pickMode == QLatin1String("select") || pickMode == QLatin1String("etalo")) {
        dozoom();
    } else if (mapState == QLatin1String("done") || pickMode == QLatin1String("superetalo")) {
        // Hover read-out over the catalogue markers: comes with the read-outs.
    } else {
        zoom->hide();
    }
}

void Form1::Picture1_Click()
{
    if (pickMode == QLatin1String("select") || pickMode == QLatin1String("etalo")) {
        doselect();
    } else if (pickMode == QLatin1String("coor")) {
        // Click read-out of the sky position: comes with the read-outs.
    } else if (etaloPending == 1) {
        // Calibration mark on the hovered star: comes with the read-outs.
    }
}
