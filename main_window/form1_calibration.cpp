// The calibration by image and from the markers ("Super Etalonage").

#include "main_window/form1.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

void Form1::connectCalibration()
{
    connect(mnu_etalonage, &QAction::triggered, this, &Form1::mnu_etalonage_Click);
    connect(mnu_superetalonage, &QAction::triggered, this, &Form1::mnu_superetalonage_Click);
    connect(BoutonEtalo, &QPushButton::clicked, this, &Form1::BoutonEtalo_Click);
    for (int i = 0; i < 8; ++i)
        connect(Etalo[i], &QLineEdit::textChanged, this, [this, i] { Etalo_Change(i); });
}

void Form1::mnu_etalonage_Click() {}
void Form1::mnu_superetalonage_Click() {}
void Form1::BoutonEtalo_Click() {}
void Form1::Etalo_Change(int) {}
