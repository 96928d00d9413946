// Project files and the defaults file.

#include "main_window/form1.h"

#include <QAction>

void Form1::connectFiles()
{
    connect(mnu_open, &QAction::triggered, this, &Form1::mnu_open_Click);
    connect(mnu_save, &QAction::triggered, this, &Form1::mnu_save_Click);
    connect(mnu_savedefaut, &QAction::triggered, this, &Form1::mnu_savedefaut_Click);
}

void Form1::mnu_open_Click() {}
void Form1::mnu_save_Click() {}
void Form1::mnu_savedefaut_Click() {}
