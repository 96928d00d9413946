// Moves and clicks over the image box. What they do depends on the mode:
//   "select", "etalo"   move: the magnifier follows   click: a pick
//   "coor"              move: hover read-out*         click: the click read-out**
//   "superetalo"        move: hover read-out          click: a calibration mark if one is pending
//   "", "0", "done"     move: hover read-out*         click: a calibration mark if one is pending
// (* once the catalogue overlay is drawn; before that a move hides the magnifier.
//  Markers drawn over another picture than the one shown read nothing out.
//  ** only from a plate accepted on the picture shown; else a line says so.)

#include "main_window/form1.h"

#include "astrometry/readouts.h"
#include "astrometry/sexagesimal.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QRadioButton>

void Form1::connectPointer()
{
    connect(Picture1, &ImageBox::clicked, this, &Form1::Picture1_Click);
    connect(Picture1, &ImageBox::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, double x, double y) {
                Picture1_MouseMove(b, m, float(x), float(y));
            });
}

void Form1::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float X, float Y)
{
    mouseX = int(roundHalfEven(X));
    mouseY = int(roundHalfEven(Y));
    if (pickMode == PickMode::Select || pickMode == PickMode::Etalo) {
        dozoom();
    } else if (mapState == QLatin1String("done") || pickMode == PickMode::SuperEtalo) {
        hoverReadout(X, Y);
    } else {
        zoom->hide();
    }
}

void Form1::Picture1_Click()
{
    if (pickMode == PickMode::Select || pickMode == PickMode::Etalo) {
        doselect();
    } else if (pickMode == PickMode::Coor) {
        clickReadoutAtPointer();
    } else if (etaloPending == 1) {
        dropCalibrationMark();
    }
}

bool Form1::scalesKnown() const
{
    return scaleRa != 0 && scaleDec != 0;
}

void Form1::hoverReadout(float X, float Y)
{
    // All markers are tested; the one with the highest index wins, as if each
    // hit had been written in turn.
    if (markersImage != shownImage)
        return; // markers placed over another picture mark no star of this one
    const int k = hoverHit(star, stars.starTotal, X, Y);
    if (k == 0 || !scalesKnown())
        return;
    const double raHours = stars.starX[size_t(k)] / scaleRa / 360 * 24;
    const double decDeg = stars.starY[size_t(k)] / scaleDec;
    info->setText(hoverCaption(stars.starId[size_t(k)], stars.starMag[size_t(k)], raHours, decDeg));
    if (etaloPending == 1)
        fillCalibrationBoxes(star[size_t(k)], raHours, decDeg);
}

void Form1::fillCalibrationBoxes(const Mark &marker, double raHours, double decDeg)
{
    Etalo[0]->setText(CStrSingle(markCentreX(marker)));
    Etalo[1]->setText(CStrSingle(markCentreY(marker)));
    // A following click acts on the star's centre, not on the pointer.
    try {
        mouseX = CInt(Etalo[0]->text());
        mouseY = CInt(Etalo[1]->text());
    } catch (const Failure &) {
        // A marker beyond 16 bits of pixels: keep the pointer's position.
    }
    // The seconds boxes are read as leading numbers; written with a point,
    // which that reading takes in every locale, they keep their fraction.
    const auto secondsText = [](double seconds) { return QLocale::c().toString(seconds, 'g', 15); };
    int whole = 0, minutes = 0;
    double seconds = 0;
    SplitSexagesimal(raHours, whole, minutes, seconds);
    Etalo[2]->setText(CStr(whole));
    Etalo[3]->setText(CStr(minutes));
    Etalo[4]->setText(secondsText(seconds));
    // The degrees go in without their sign, which the calibration's sign
    // option carries, so a star between -1 and 0 degrees keeps its sign too.
    SplitSexagesimal(decDeg, whole, minutes, seconds);
    Etalo[5]->setText(CStr(std::abs(whole)));
    Etalo[6]->setText(CStr(minutes));
    Etalo[7]->setText(secondsText(seconds));
    const int signOption = decDeg < 0 ? 2 : 3;
    txt_dec_sign[size_t(signOption)]->setChecked(true);
    txt_dec_sign_Click(signOption);
}

void Form1::clickReadoutAtPointer()
{
    if (!plateFitsShownImage()) {
        LogStatus(QStringLiteral("Clic : pas de solution pour cette image (3-Calcul)"));
        return;
    }
    if (readoutScaleRa == 0 || readoutScaleDec == 0) {
        LogStatus(QStringLiteral("Clic : coefficients Corr Asd / Corr Dec manquants, position non calculée"));
        return;
    }
    LogStatus(clickReadout(skyPositionAt(readoutPlate, readoutScaleRa, readoutScaleDec, mouseX, mouseY)));
}

void Form1::dropCalibrationMark()
{
    etaloPending = 0;
    // Only five marks exist: a sixth is not dropped.
    if (clickCount >= 5 || size_t(clickCount + 1) >= clicpic.size())
        return;
    ++clickCount;
    Mark &mark = clicpic[size_t(clickCount)];
    const float half = clicpic[0].Height / 2;
    mark.Left = float(mouseX) - half;
    mark.Top = float(mouseY) - half;
    mark.Visible = true;
    Picture1->update();
}
