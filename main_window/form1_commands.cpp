// Menu commands and buttons that open the other windows.

#include "main_window/form1.h"

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/wizard.h"
#include "dialogs/frm_splash.h"
#include "dialogs/frm_tip.h"

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

void Form1::mnu_wizard_Click()
{
    {
        Wizard wizard(*this);
        wizard.exec();
    }
    // "Terminer" leaves WizardStatus at 1; the fifth pick then solves by
    // itself and returns it to 0.
    if (WizardStatus == 1) {
        DownloadData_Click();
        SelectStar_Click();
    }
}

void Form1::LoadCorr_Click()
{
    ConfigStatus = 2;
    {
        Config dialog(*this, opticalConfigs);
        dialog.exec();
    }
    ConfigStatus = 0;
}

void Form1::mnu_config_Click()
{
    Config dialog(*this, opticalConfigs);
    dialog.exec();
}

void Form1::mnu_etalonage2_Click()
{
    Config2 dialog(*this);
    dialog.exec();
}

void Form1::mnu_help_Click()
{
    // One help window: while it is open the command only brings it forward,
    // with its document and scroll position as they are. It belongs to this
    // window only so that it cannot outlive it.
    if (!helpWindow) {
        helpWindow = new frmTip(programFolder, dialogs, lang, this);
        helpWindow->Form_Load();
    }
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

void Form1::mnu_about_Click()
{
    // Loaded anew, so its timer is off and its bar hidden: the about role.
    frmSplash about;
    about.exec();
}
