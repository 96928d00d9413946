#include "main_window/startup.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sidelune"));
    QtDialogs dialogs;
    Program program({defaultProgramFolder(), &dialogs, {}});
    program.Main();
    return app.exec();
}
