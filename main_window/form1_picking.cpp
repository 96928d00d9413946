// "2-Etoiles", the magnifier and the pick.

#include "main_window/form1.h"

#include "astrometry/star_pick.h"
#include "platform/numbers.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
// The magnifier shows the 27 x 27 image pixels round the pointer four times
// enlarged, the pointer's own pixel at its (50, 50), under the cross-hair.
constexpr int kZoomCentre = 50;
constexpr int kZoomHalfSpan = 13;
constexpr int kZoomFactor = 4;
constexpr int kZoomDotWidth = 5;
constexpr int kPicksPerSelection = 5;
} // namespace

void Form1::connectPicking()
{
    connect(SelectStar, &QPushButton::clicked, this, &Form1::SelectStar_Click);
    connect(zoom, &Magnifier::clicked, this, &Form1::zoom_Click);
    connect(zoom, &Magnifier::mouseMoved, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, double x, double y) {
                zoom_MouseMove(b, m, float(x), float(y));
            });
}

void Form1::SelectStar_Click()
{
    Loadimg_Click();
    ShowSuggestion(QStringLiteral("selectstar"), 1, QStringLiteral("0"), QStringLiteral("0"));
    if (!imageLoaded) {
        ShowSuggestion(QStringLiteral("selectstar"), 2, QStringLiteral("0"), QStringLiteral("0"));
        return;
    }
    pickMode = PickMode::Select;
    clickCount = 0;
    for (size_t k = 1; k < clicpic.size() && k <= kPicksPerSelection; ++k) {
        clicpic[k].Visible = false;
        Picture1->updateMark(clicpic[k]);
    }
    zoom->show();
}

void Form1::dozoom()
{
    zoom->move(mouseX - kZoomCentre, mouseY - kZoomCentre);
    zoom->DrawWidth = kZoomDotWidth;
    for (int i = -kZoomHalfSpan; i <= kZoomHalfSpan; ++i)
        for (int j = -kZoomHalfSpan; j <= kZoomHalfSpan; ++j)
            zoom->PSet(kZoomFactor * i + kZoomCentre, kZoomFactor * j + kZoomCentre,
                       Picture1->Point(mouseX + i, mouseY + j));
    zoom->Refresh();
}

void Form1::doselect()
{
    int count = clickCount;
    PickMode mode = pickMode;
    if (mode == PickMode::Etalo) {
        // A calibration re-makes the pick of its current step.
        count = etaloStep - 1;
        if (etaloStep == 3)
            mode = PickMode::Done;
    }
    // Only five pick marks exist; a pick that would need another one (a click
    // on a magnifier left standing past the fifth) is not made at all.
    const int index = count + 1;
    if (index < 1 || index > kPicksPerSelection || size_t(index) >= clicpic.size())
        return;
    clickCount = count;
    pickMode = mode;

    const starpick::Pick pick =
        starpick::snapToStar(mouseX, mouseY, [this](int x, int y) { return Picture1->Point(x, y); });
    mouseX = pick.x;
    mouseY = pick.y;

    clickCount = index;
    selX[index] = mouseX;
    selY[index] = mouseY;
    Etalo[0]->setText(CStr(mouseX));
    Etalo[1]->setText(CStr(mouseY));

    Mark &mark = clicpic[index];
    Picture1->updateMark(mark);
    const float half = clicpic[0].Height / 2;
    mark.Left = float(mouseX) - half;
    mark.Top = float(mouseY) - half;
    mark.Visible = true;
    Picture1->updateMark(mark);

    if (clickCount == kPicksPerSelection) {
        zoom->hide();
        pickMode = PickMode::Zero;
        selectionDone = true;
        if (WizardStatus == 1) {
            startCalcul_Click();
            WizardStatus = 0;
        }
    }
}

void Form1::zoom_Click()
{
    doselect();
}

void Form1::zoom_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float X, float Y)
{
    mouseX = int(roundHalfEven(double(zoom->x()) + double(X)));
    mouseY = int(roundHalfEven(double(zoom->y()) + double(Y)));
    dozoom();
}
