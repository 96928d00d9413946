// Loading the image and panning it.

#include "main_window/form1.h"

#include <QPushButton>
#include <QTimer>

void Form1::connectImageView()
{
    connect(Loadimg, &QPushButton::clicked, this, &Form1::Loadimg_Click);
    for (int i = 1; i <= 4; ++i) {
        connect(PicMove[i], &PanBar::pressed, this,
                [this, i](Qt::MouseButton b, Qt::KeyboardModifiers m, double x, double y) {
                    PicMove_MouseDown(i, b, m, float(x), float(y));
                });
        connect(PicMove[i], &PanBar::released, this,
                [this, i](Qt::MouseButton b, Qt::KeyboardModifiers m, double x, double y) {
                    PicMove_MouseUp(i, b, m, float(x), float(y));
                });
    }
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

void Form1::Loadimg_Click() {}
void Form1::PicMove_MouseDown(int Index, Qt::MouseButton, Qt::KeyboardModifiers, float, float) { panDir = Index; }
void Form1::PicMove_MouseUp(int, Qt::MouseButton, Qt::KeyboardModifiers, float, float) { panDir = 0; }
void Form1::Timer1_Timer() {}
