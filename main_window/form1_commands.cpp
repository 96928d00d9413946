// Menu commands and buttons that open the other windows.

#include "main_window/form1.h"

#include <QAction>
#include <QPushButton>

void Form1::connectCommands()
{
    connect(mnu_wizard, &QAction::triggered, this, &Form1::mnu_wizard_Click);
    connect(LoadCorr, &QPushButton::clicked, this, &Form1::LoadCorr_Click);
    connect(mnu_config, &QAction::triggered, this, &Form1::mnu_config_Click);
    connect(mnu_etalonage2, &QAction::triggered, this, &Form1::mnu_etalonage2_Click);
    connect(mnu_help, &QAction::triggered, this, &Form1::mnu_help_Click);
    connect(mnu_about, &QAction::triggered, this, &Form1::mnu_about_Click);
}

void Form1::mnu_wizard_Click() {}
void Form1::LoadCorr_Click() {}
void Form1::mnu_config_Click() {}
void Form1::mnu_etalonage2_Click() {}
void Form1::mnu_help_Click() {}
void Form1::mnu_about_Click() {}
