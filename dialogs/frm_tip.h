#pragma once
// The help window: the user's manual "aide.rtf" of the program's folder,
// shown beside the main window (modeless). "OK", Enter and Esc close it, and
// closing it unloads it, so the next opening reads the manual again.

#include <QDialog>
#include <QString>

class Dialogs;
struct LanguageTables;
class QLabel;
class QPushButton;
class QTextBrowser;

class frmTip : public QDialog {
    Q_OBJECT
public:
    // `lang` gives the window's caption; `dialogs` reports a manual that
    // cannot be read.
    frmTip(const QString &programFolder, Dialogs *dialogs, LanguageTables *lang, QWidget *parent = nullptr);

    QWidget *Picture2;     // the white panel
    QLabel *Picture1;      // the light bulb
    QTextBrowser *textbox; // the manual
    QPushButton *cmdOK;

    // Reads the manual, then takes the caption from the language file. A
    // failure is shown in one box and ends the load: the window then opens
    // with whatever it holds.
    void Form_Load();
    void cmdOK_Click();

    QString helpFilePath() const;

private:
    QString programFolder_;
    Dialogs *dialogs_;
    LanguageTables *lang_;
};
