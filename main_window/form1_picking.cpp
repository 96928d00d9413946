// "2-Etoiles", the magnifier and the pick.

#include "main_window/form1.h"

#include <QPushButton>

void Form1::connectPicking()
{
    connect(SelectStar, &QPushButton::clicked, this, &Form1::SelectStar_Click);
    connect(zoom, &Magnifier::clicked, this, &Form1::zoom_Click);
    connect(zoom, &Magnifier::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, double x, double y) {
                zoom_MouseMove(b, m, float(x), float(y));
            });
}

void Form1::SelectStar_Click() {}
void Form1::dozoom() {}
void Form1::doselect() {}
void Form1::zoom_Click() {}
void Form1::zoom_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float, float) {}
