// The catalogue markers over the image and "4-Full map".

#include "main_window/form1.h"

#include <QPushButton>

void Form1::connectOverlay()
{
    connect(FullMap, &QPushButton::clicked, this, &Form1::FullMap_Click);
}

void Form1::map() {}
void Form1::FullMap_Click() {}
