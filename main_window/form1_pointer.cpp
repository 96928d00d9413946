// Moves and clicks over the image box.

#include "main_window/form1.h"

void Form1::connectPointer()
{
    connect(Picture1, &ImageBox::clicked, this, &Form1::Picture1_Click);
    connect(Picture1, &ImageBox::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, double x, double y) {
                Picture1_MouseMove(b, m, float(x), float(y));
            });
}

void Form1::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float, float) {}
void Form1::Picture1_Click() {}
