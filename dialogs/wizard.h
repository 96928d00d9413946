#pragma once
// The set-up wizard: three pages (field centre, magnitude limit and image;
// the two coefficients, optionally from a saved configuration; search radius,
// threshold and tolerance) that work on copies of the main window's job
// fields. Only "Terminer" copies them back, sets WizardStatus to 1 and closes;
// the close box copies nothing and starts nothing.

#include "dialogs/fixed_dialog.h"
#include "dialogs/optical_config_file.h"

#include <array>
#include <vector>

class Form1;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class Wizard : public FixedDialog {
public:
    // Builds the window and runs its load handler (which may show a failure
    // box before the window is shown). Show it with exec().
    explicit Wizard(Form1 &form);

    // Handlers, named after their controls; callable directly in tests.
    void Form_Load();
    void Combo_Click();
    void step1_Click();
    void step2_Click();
    void step3_Click(); // "Terminer"
    void txt_dec_sign_Click(int Index);

    // The configurations read by the last load, in file order; item k of
    // Combo shows entry k.
    const std::vector<OpticalConfig> &configurations() const { return configs_; }

    std::array<QLabel *, 16> lbl;
    std::array<QLabel *, 6> Label3; // units of the right ascension and declination
    QLabel *Label6;                 // "Arcmin"
    std::array<QLabel *, 8> Label8{}; // 0 and 7: "pixels"
    QWidget *Frame1, *Frame2, *Frame3;
    // Page 1
    std::array<QLineEdit *, 3> txt_ra;
    std::array<QLineEdit *, 3> txt_dec;
    QLabel *txt_dec_sign_show;
    std::array<QRadioButton *, 2> txt_dec_sign; // 0 "-", 1 "+"
    QLineEdit *txt_epoch, *txt_mag, *txt_url;
    QPushButton *step1;
    // Page 2
    QComboBox *Combo;
    QLineEdit *txt_corrasd, *txt_corrdec;
    QPushButton *step2;
    // Page 3
    QLineEdit *txt_distance, *txt_calcul, *txt_tolerance;
    QPushButton *step3;

private:
    void createWidgets();
    QWidget *createPage1();
    QWidget *createPage2();
    QWidget *createPage3();

    Form1 &form_;
    std::vector<OpticalConfig> configs_;
};
