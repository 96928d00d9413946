#pragma once
// The start routine: shows the splash, reads the language file, builds the
// main window, waits for the splash's bar, then shows the main window.

#include "dialogs/frm_splash.h"
#include "localisation/language_tables.h"
#include "main_window/form1.h"

#include <QTranslator>
#include <memory>

struct StartupOptions {
    QString programFolder;
    Dialogs *dialogs = nullptr;
    QString catalogueHost; // empty: the build's default
};

class Program {
public:
    explicit Program(const StartupOptions &options);
    ~Program();

    // Start-up in its fixed order; returns once the main window has the focus.
    void Main();

    Form1 *form1() const { return form_.get(); }
    // The splash window while start-up runs; null before and after.
    frmSplash *splash() const { return splash_.get(); }
    LanguageTables &tables() { return tables_; }

private:
    Form1 *ensureForm1();
    bool loadLanguage();
    void installToolkitTranslation();

    StartupOptions options_;
    LanguageTables tables_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<frmSplash> splash_;
    QTranslator toolkitTranslation_;
};
