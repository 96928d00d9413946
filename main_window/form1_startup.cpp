// The main window's load, its three ways of ending the program, and the log.

#include "main_window/form1.h"

#include "platform/check_value.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/text_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>

void Form1::Form_Load()
{
    mainHwnd = winId();
    // The defaults file: each line goes into its field as soon as it is read;
    // the first failure ends the reading silently and the remaining fields keep
    // their design values.
    try {
        TextFileReader file(programFolder + QStringLiteral("/defaut.cfg"));
        const std::array<QLineEdit *, 8> fields = {txt_calcul, txt_corrasd, txt_corrdec, txt_distance,
                                                   txt_mag,    txt_mag2,    txt_tolerance, txt_url};
        for (QLineEdit *field : fields)
            field->setText(file.readLine());
        const int state = CInt(file.readLine());
        if (state < 0 || state > 2)
            return;
        CheckDecideur->setCheckState(checkStateOf(state));
    } catch (const Failure &) {
    }
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
