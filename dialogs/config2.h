#pragma once
// The classic calibration dialog: the focal length and the CCD size in
// millimetres and in pixels give the two coefficients, written straight into
// the main window, and a box reports them with the CCD's field of view. The
// dialog stays open for another computation until its close box.

#include "dialogs/fixed_dialog.h"

#include <array>

class Form1;
class QLabel;
class QLineEdit;
class QPushButton;

class Config2 : public FixedDialog {
public:
    explicit Config2(Form1 &form);

    void Form_Load();
    void cmd1_Click(); // "Calculer"

    std::array<QLabel *, 6> lbl;      // heading, then the five field labels
    std::array<QLineEdit *, 6> txt{}; // 1, 2: CCD size X, Y (mm); 3, 4: pixels X, Y; 5: focal length (mm)
    std::array<QLabel *, 5> Label1;   // unit labels
    QPushButton *cmd1;

private:
    void createWidgets();

    Form1 &form_;
};
