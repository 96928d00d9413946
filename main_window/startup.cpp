#include "main_window/startup.h"

#include "localisation/captions.h"
#include "localisation/language_file.h"
#include "platform/dialogs.h"
#include "platform/program_resources.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QProgressBar>
#include <QTimer>

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

void Program::installToolkitTranslation()
{
    // The window is French whatever the system's language, so Qt's own texts
    // (standard buttons, file dialogs, the text boxes' menus) are French too.
    // Numbers keep the locale's rules: only texts are translated. Without the
    // translation on this machine those texts simply stay in English.
    if (toolkitTranslation_.isEmpty()
        && toolkitTranslation_.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkitTranslation_);
}

void Program::Main()
{
    installToolkitTranslation();
    initProgramResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/sidelune.png")));

    // The splash first, painted at once; its timer moves the bar meanwhile.
    splash_ = std::make_unique<frmSplash>();
    splash_->show();
    splash_->repaint();
    splash_->Timer1->start();

    const bool anyTextRead = loadLanguage();
    // Without a single line of the language file every caption would be
    // blank and the window unusable: the design captions then stay.
    if (anyTextRead) {
        CaptionTargets targets;
        targets.form = [this] { return ensureForm1(); };
        ApplyCaptions(QStringLiteral("Form"), tables_, targets);
    }

    Form1 *form = ensureForm1();

    // The splash's timer never stops, so this wait always ends.
    while (splash_->Bar->value() < 99)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    form->show();
    form->createMarkers();
    splash_.reset();
    form->activateWindow();
    form->raise();
    form->setFocus();
}
