// Project files and the defaults file.

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "main_window/job_lines.h"
#include "platform/dialogs.h"
#include "platform/failure.h"

#include <QAction>

void Form1::connectFiles()
{
    connect(mnu_open, &QAction::triggered, this, &Form1::mnu_open_Click);
    connect(mnu_save, &QAction::triggered, this, &Form1::mnu_save_Click);
    connect(mnu_savedefaut, &QAction::triggered, this, &Form1::mnu_savedefaut_Click);
}

FileDialogRequest Form1::projectDialogRequest(int titleEntry) const
{
    return {lang->MessageTexts[titleEntry], lang->MessageTexts[13], programFolder};
}

void Form1::mnu_open_Click()
{
    const QString path = dialogs->ShowOpen(projectDialogRequest(12));
    if (path.isEmpty())
        return; // cancelled: nothing read
    try {
        // A file that is not a whole project (a note, an image) must not
        // leave its lines in the job's fields.
        readWholeJobLines(path, projectLines(*this));
    } catch (const Failure &failure) {
        // Nothing was stored; nothing else happens.
        dialogs->MsgBox(failure.description(), MsgBoxStyle::OkOnlyWarning);
        return;
    }
    Loadimg_Click();
    ShowSuggestion(QStringLiteral("open"), 0, QStringLiteral("0"), QStringLiteral("0"));
    for (int i = 1; i <= StarTable::kCapacity; ++i) {
        star[i].Visible = false;
        if (i < 6)
            clicpic[i].Visible = false;
    }
    Picture1->update();
    solutionValid = false;
    imageLoaded = false;
    selectionDone = false;
    // Another job: the plate and the markers read nothing out until a solve
    // is accepted again, even over the same picture.
    plateImage.reset();
    markersImage.reset();
}

void Form1::mnu_save_Click()
{
    QString path = dialogs->ShowSave(projectDialogRequest(14));
    if (path.isEmpty())
        return; // cancelled: nothing written
    if (!path.contains(QStringLiteral(".pam")))
        path += QStringLiteral(".pam");
    try {
        writeJobLines(path, projectLines(*this));
    } catch (const Failure &failure) {
        dialogs->MsgBox(saveFailureText(path, failure), MsgBoxStyle::OkOnlyWarning);
    }
}

void Form1::mnu_savedefaut_Click()
{
    const QString path = defaultsFilePath();
    try {
        writeJobLines(path, defaultsLines(*this));
    } catch (const Failure &failure) {
        dialogs->MsgBox(saveFailureText(path, failure), MsgBoxStyle::OkOnlyWarning);
    }
}
