// The main window's load, its three ways of ending the program, and the log.

#include "main_window/form1.h"

#include "main_window/job_lines.h"
#include "platform/failure.h"

#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>

void Form1::Form_Load()
{
    mainHwnd = winId();
    // The defaults file: each line goes into its field as soon as it is read;
    // the first failure ends the reading silently and the remaining fields keep
    // their design values.
    try {
        readJobLines(defaultsFilePath(), defaultsLines(*this));
    } catch (const Failure &) {
    }
}

QString Form1::defaultsFilePath() const
{
    return programFolder + QStringLiteral("/defaut.cfg");
}

void Form1::mnu_quit_Click()
{
    if (endProgram)
        endProgram();
    else
        QApplication::exit(0);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    mnu_quit_Click();
}

void Form1::LogStatus(const QString &text)
{
    status->insertItem(0, text);
}
