#include "main_window/startup.h"

#include "localisation/captions.h"
#include "localisation/language_file.h"
#include "platform/dialogs.h"

#include <QApplication>

Program::Program(const StartupOptions &options)
    : options_(options)
{
}

Program::~Program() = default;

Form1 *Program::ensureForm1()
{
    // The first use of the main window creates it; its load handler runs then.
    if (!form_) {
        FormContext context;
        context.programFolder = options_.programFolder;
        context.dialogs = options_.dialogs;
        context.lang = &tables_;
        context.catalogueHost = options_.catalogueHost;
        form_ = std::make_unique<Form1>(context);
        form_->endProgram = [] { QApplication::exit(0); };
    }
    return form_.get();
}

bool Program::loadLanguage()
{
    // Read before the main window exists. A file that cannot be used is said
    // once; start-up goes on with what was read.
    const LanguageLoadResult language = LoadLanguage(options_.programFolder, tables_);
    if (!language.ok() && options_.dialogs)
        options_.dialogs->MsgBox(language.message(), MsgBoxStyle::OkOnly);
    return language.anyTextRead;
}

void Program::Main()
{
    const bool anyTextRead = loadLanguage();
    // Without a single line of the language file every caption would be
    // blank and the window unusable: the design captions then stay.
    if (anyTextRead) {
        CaptionTargets targets;
        targets.form = [this] { return ensureForm1(); };
        ApplyCaptions(QStringLiteral("Form"), tables_, targets);
    }

    Form1 *form = ensureForm1();
    form->show();
    form->createMarkers();
    form->activateWindow();
    form->raise();
    form->setFocus();
}
