#pragma once
// The optical configuration manager: a small library of named coefficient
// pairs, edited in EditMode ("Correcteurs") or applied to the main window in
// UseMode (the "Load" button beside the coefficients). The entries live in
// the main window's OpticalConfigLibrary between openings; only
// "Enregistrer" writes them to "config.cfg".

#include "dialogs/fixed_dialog.h"
#include "dialogs/optical_config_file.h"

#include <array>
#include <optional>

class Form1;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

class Config : public FixedDialog {
public:
    enum class Mode { EditMode, UseMode };

    // Builds the window and runs its load handler (which may show a failure
    // box before the window is shown). Show it with exec().
    Config(Form1 &form, OpticalConfigLibrary &library);

    // Handlers, named after their controls; callable directly in tests.
    void Form_Load();
    void List1_Click();
    void txt_coor_Change(int Index);
    void cmd1_Click(); // "Supprimer"
    void cmd2_Click(); // "Nouveau"
    void cmd3_Click(); // "Utiliser"
    void cmd4_Click(); // "Enregistrer"

    Mode mode() const { return mode_; }

    // Controls, named as the rest of the program knows them.
    std::array<QLabel *, 3> lbl;    // heading, "Nom:", "Modification:"
    std::array<QLabel *, 3> Label4; // "Nom:", "Corr Asd:", "Corr Dec:"
    QListWidget *List1;
    std::array<QLineEdit *, 3> txt_coor; // name, Corr Asd, Corr Dec of the current entry
    QPushButton *cmd1, *cmd2, *cmd3, *cmd4;
    QWidget *Frame1; // carries "Modification:" and the editing buttons

    // Shown when "Nouveau" would go past the library's limit.
    static QString libraryFullText();
    // Asked before "Enregistrer" replaces a file that was read only in part.
    static QString partialSaveQuestion(const QString &path);
    // Shown when "Enregistrer" finds the file saved by someone else since it
    // was read: nothing is written, and the file is read again.
    static QString changedElsewhereText(const QString &path);

private:
    void createWidgets();
    // Reads the file into the entries and shows them (the failure box first
    // when it cannot be read whole).
    void readLibrary();
    // Rebuilds the list from the entries and selects `row` (-1: none).
    void showList(int row);
    QString filePath() const;

    Form1 &form_;
    OpticalConfigLibrary &library_;
    Mode mode_ = Mode::EditMode;
    // The opening could not read the whole file: saving must ask first.
    bool readInPart_ = false;
    // The file as the entries were read from it: another instance (a second
    // window of the program on the same folder) may save in between, and
    // writing this list over its save would drop the entries it saved.
    std::optional<QByteArray> fileAsRead_;
};
