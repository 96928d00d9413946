// The calibration by image and from the markers ("Super Etalonage").

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "astrometry/calibration.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void Form1::connectCalibration()
{
    connect(mnu_etalonage, &QAction::triggered, this, &Form1::mnu_etalonage_Click);
    connect(mnu_superetalonage, &QAction::triggered, this, &Form1::mnu_superetalonage_Click);
    connect(BoutonEtalo, &QPushButton::clicked, this, &Form1::BoutonEtalo_Click);
    for (int i = 0; i < 8; ++i)
        connect(Etalo[i], &QLineEdit::textChanged, this, [this, i] { Etalo_Change(i); });
}

void Form1::showCalibrationFrame(bool calibrating)
{
    Frm[4]->setVisible(calibrating);
    Frm[3]->setVisible(!calibrating);
}

void Form1::mnu_etalonage_Click()
{
    if (imageLoaded) {
        pickMode = PickMode::Etalo;
        etaloStep = 1;
        zoom->show();
        showCalibrationFrame(true);
    }
    ShowSuggestion(QStringLiteral("etalonage"), imageLoaded ? -1 : 0, QStringLiteral("0"), QStringLiteral("0"));
}

void Form1::mnu_superetalonage_Click()
{
    if (solutionValid) {
        etaloPending = 1;
        pickMode = PickMode::SuperEtalo;
        etaloStep = 1;
        clickCount = 0;
        showCalibrationFrame(true);
        for (int i = 1; i <= 5; ++i)
            clicpic[size_t(i)].Visible = false;
        Picture1->update();
    }
    ShowSuggestion(QStringLiteral("superetalonage"), solutionValid ? -1 : 0, QStringLiteral("0"),
                   QStringLiteral("0"));
}

void Form1::Etalo_Change(int Index)
{
    // Two characters fill a box: go on to the next one (seconds boxes excepted,
    // as they take decimals). A box that cannot take the focus is skipped.
    if (Etalo[size_t(Index)]->text().size() == 2 && Index != 4 && Index != 7 && Index < 7)
        Etalo[size_t(Index + 1)]->setFocus();
}

void Form1::BoutonEtalo_Click()
{
    try {
        storeReferenceStarAndCompute();
    } catch (const Failure &failure) {
        dialogs->MsgBox(failure.description(), MsgBoxStyle::OkOnly);
    }
}

void Form1::storeReferenceStarAndCompute()
{
    const int n = etaloStep;
    etaloPending = 1;
    const int sign = txt_dec_sign_show[1]->text() == QStringLiteral("-") ? -1 : 1;
    if (n < 1 || n > 3)
        throw Failure(FailureCode::SubscriptOutOfRange); // nothing left to store
    // The boxes are typed: a comma is a decimal point in each. All eight are
    // read before anything is stored, so a box that fails stores nothing.
    const auto boxText = [this](int i) { return Etalo[size_t(i)]->text(); };
    const int x = CInt(typedLocaleNumber(boxText(0)));
    const int y = CInt(typedLocaleNumber(boxText(1)));
    const double raDeg = referenceRaDeg(typedLocaleNumber(boxText(2)), typedLocaleNumber(boxText(3)),
                                        typedLeadingNumber(boxText(4)));
    const double decDeg = referenceDecDeg(sign, typedLocaleNumber(boxText(5)), typedLocaleNumber(boxText(6)),
                                          typedLeadingNumber(boxText(7)));
    refX[size_t(n)] = x;
    refY[size_t(n)] = y;
    refRa[size_t(n)] = raDeg;
    refDec[size_t(n)] = decDeg;
    for (QLineEdit *box : Etalo)
        box->clear();
    etaloStep = n + 1;
    if (etaloStep == 3)
        BoutonEtalo->setText(lang->MessageTexts[1]);
    if (etaloStep != 4)
        return;

    ReferenceStars references;
    references.x = refX;
    references.y = refY;
    references.raDeg = refRa;
    references.decDeg = refDec;
    const CalibrationTerms result = solveCalibration(references);
    txt_corrasd->setText(CStr(coefficientRoot(result.kRa)));
    txt_corrdec->setText(CStr(coefficientRoot(result.kDec)));
    dialogs->MsgBox(lang->MessageTexts[7] + QStringLiteral(": CX = ") + txt_corrasd->text()
                        + QStringLiteral(" et CY = ") + txt_corrdec->text(),
                    MsgBoxStyle::OkOnly);
    showCalibrationFrame(false);
    BoutonEtalo->setText(lang->MessageTexts[0]);
    zoom->hide();
}
