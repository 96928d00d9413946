// "3-Calcul": the star pattern search, the fit and the review of candidates.

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "astrometry/pattern_search.h"
#include "astrometry/plate_model.h"
#include "platform/check_value.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {
// The solve command asks before searching among more stars than this.
constexpr int kStarsWithoutQuestion = 380;
// The review asks about a candidate with more coincidences than this.
constexpr int kCoincidencesWithoutQuestion = 3;
} // namespace

void Form1::connectSolution()
{
    connect(startCalcul, &QPushButton::clicked, this, &Form1::startCalcul_Click);
}

// The search, then the review of its candidates in search order. A threshold
// or tolerance field that is not a usable number raises a Failure, which ends
// the solve where it stands; the solve command reports it.
void Form1::Algo()
{
    LogStatus(lang->MessageTexts[5]);
    solutionValid = false;

    PatternSearch search;
    search.setPicks(selX.data(), selY.data());
    search.setStars(stars.starX.data(), stars.starY.data(), stars.starCount);
    const double matchTolerance = typedLocaleNumber(txt_tolerance->text());
    const std::vector<StarPattern> candidates = search.search(matchTolerance).candidates;
    const int candidateCount = int(candidates.size());

    const PlanePoint picks[3] = {{selX[1], selY[1]}, {selX[2], selY[2]}, {selX[3], selY[3]}};
    bool collinearReported = false;
    for (int n = 1; n <= candidateCount; ++n) {
        const StarPattern &row = candidates[size_t(n - 1)];
        const PlanePoint sky[3] = {{stars.starX[size_t(row[0])], stars.starY[size_t(row[0])]},
                                   {stars.starX[size_t(row[1])], stars.starY[size_t(row[1])]},
                                   {stars.starX[size_t(row[2])], stars.starY[size_t(row[2])]}};
        const std::optional<PlateModel> fit = fitPlateModel(picks, sky);
        if (!fit) {
            // Picks 1 to 3 on one line define no model for any candidate:
            // say so once and keep the model we had.
            if (!collinearReported)
                LogStatus(QStringLiteral("Étoiles 1, 2 et 3 alignées : aucune solution possible"));
            collinearReported = true;
            continue;
        }
        coefA = fit->coefA;
        coefB = fit->coefB;
        coefC = fit->coefC;
        coefD = fit->coefD;
        coefE = fit->coefE;
        coefF = fit->coefF;
        map();
        // A model without inverse could not be drawn (map said so): there is
        // nothing on the image to judge it by.
        if (linearDeterminant(*fit) == 0.0)
            continue;

        const CoincidenceWindow window = coincidenceWindow(typedLocaleNumber(txt_calcul->text()));
        const int pickMarks = std::min(5, int(clicpic.size()) - 1);
        const int markers = std::min(stars.starCount, int(star.size()) - 1);
        int coincidences = countCoincidences(clicpic.data() + 1, pickMarks, star.data() + 1, markers, window);
        if (checkValueOf(CheckDecideur->checkState()) == 0)
            coincidences = kCoincidencesWithoutQuestion + 1;
        if (coincidences <= kCoincidencesWithoutQuestion)
            continue;
        const QString prompt = lang->MessageTexts[2] + QStringLiteral(" (") + QString::number(n)
            + QLatin1Char('/') + QString::number(candidateCount) + QLatin1Char(')');
        if (dialogs->MsgBox(prompt, MsgBoxStyle::YesNo, lang->MessageTexts[3]) == MsgBoxResult::Yes) {
            LogStatus(lang->MessageTexts[4]);
            solutionValid = true;
            pickMode = PickMode::Coor;
            plateImage = shownImage;
            const double accepted[6] = {coefA, coefB, coefC, coefD, coefE, coefF};
            std::copy(std::begin(accepted), std::end(accepted), std::begin(readoutPlate));
            readoutScaleRa = scaleRa;
            readoutScaleDec = scaleDec;
            break;
        }
    }

    LogStatus(lang->MessageTexts[6]);
    ShowSuggestion(QStringLiteral("calcul"), solutionValid, QString::number(candidateCount),
                   QString::number(stars.starCount));
}

void Form1::startCalcul_Click()
{
    Loadimg_Click();
    // A coefficient beyond a double's range stops the command before any
    // parse or search, and leaves the scales as they were.
    try {
        const double corrAsd = Val(txt_corrasd->text());
        const double corrDec = Val(txt_corrdec->text());
        scaleRa = corrAsd;
        scaleDec = corrDec;
    } catch (const Failure &failure) {
        dialogs->MsgBox(failure.description(), MsgBoxStyle::OkOnly);
        return;
    }
    for (size_t k = 1; k < star.size(); ++k)
        star[k].Visible = false;
    Picture1->update();

    if (!selectionDone) {
        ShowSuggestion(QStringLiteral("calculannuler"), 0, QStringLiteral("0"), QStringLiteral("0"));
        return;
    }
    READFILE();
    if (stars.starCount > kStarsWithoutQuestion
        && dialogs->MsgBox(lang->MessageTexts[15], MsgBoxStyle::YesNo, lang->MessageTexts[16])
            == MsgBoxResult::No) {
        LogStatus(lang->MessageTexts[17]);
        return;
    }
    try {
        Algo();
    } catch (const Failure &failure) {
        dialogs->MsgBox(failure.description(), MsgBoxStyle::OkOnly);
        return;
    }
    map();
}
