// The catalogue markers over the image and "4-Full map".

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "astrometry/plate_model.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {
// The field centre typed in the job fields, in scaled units (a comma typed is
// a decimal point); none when one of the six texts is not a number.
std::optional<PlanePoint> typedFieldCentre(const Form1 &form)
{
    try {
        const int sign = form.txt_dec_sign_show[0]->text() == QStringLiteral("-") ? -1 : 1;
        const auto number = [](const QLineEdit *box) { return typedLocaleNumber(box->text()); };
        return scaledFieldCentre(number(form.txt_ra[0]), number(form.txt_ra[1]), number(form.txt_ra[2]), sign,
                                 number(form.txt_dec[0]), number(form.txt_dec[1]), number(form.txt_dec[2]),
                                 form.scaleRa, form.scaleDec);
    } catch (const Failure &) {
        return std::nullopt;
    }
}
} // namespace

void Form1::connectOverlay()
{
    connect(FullMap, &QPushButton::clicked, this, &Form1::FullMap_Click);
}

void Form1::map()
{
    const PlateModel model{coefA, coefB, coefC, coefD, coefE, coefF};
    if (linearDeterminant(model) == 0.0) {
        // No image position for any star: either nothing was ever fitted (the
        // solve found no candidate), or the fit maps picks 1 to 3 onto three
        // catalogue stars on one line (picks nearly on a line match such stars).
        const bool neverFitted = model.coefA == 0 && model.coefB == 0 && model.coefC == 0 && model.coefD == 0
            && model.coefE == 0 && model.coefF == 0;
        LogStatus(neverFitted
                      ? QStringLiteral("Pas de solution à dessiner : aucun marqueur placé. Recommencez (2-Etoiles) "
                                       "avec cinq étoiles brillantes près du centre du champ, les trois premières "
                                       "en large triangle.")
                      : QStringLiteral("Candidat écarté : ses étoiles 1 à 3 sont alignées sur le ciel, aucun marqueur "
                                       "placé. Choisissez les trois premières étoiles en large triangle."));
        return;
    }

    const int wanted = mapState == QStringLiteral("loading") ? stars.starTotal : stars.starCount;
    const int count = std::min(wanted, int(star.size()) - 1); // markers exist from start-up on
    const float half = star[0].Height / 2;
    for (int k = 1; k <= count; ++k) {
        const PlanePoint p = *imagePosition(model, stars.starX[size_t(k)], stars.starY[size_t(k)]);
        star[size_t(k)].Top = CSng(p.y - half);
        star[size_t(k)].Left = CSng(p.x - half);
    }

    // A field centre that is not typed as numbers leaves its mark alone; the
    // catalogue markers are drawn all the same.
    if (const std::optional<PlanePoint> centre = typedFieldCentre(*this)) {
        const PlanePoint c = *imagePosition(model, centre->x, centre->y);
        const float centreHalf = centerpic.Height / 2;
        centerpic.Top = CSng(c.y - centreHalf);
        centerpic.Left = CSng(c.x - centreHalf);
        centerpic.Visible = true;
    }

    for (int k = 1; k <= count; ++k)
        star[size_t(k)].Visible = true;
    mapState = QStringLiteral("done");
    markersImage = shownImage;
    Picture1->update();
}

void Form1::FullMap_Click()
{
    if (!solutionValid) {
        ShowSuggestion(QStringLiteral("fullmapannuler"), 0, QStringLiteral("0"), QStringLiteral("0"));
        return;
    }

    // The download takes its faint limit from txt_mag; the user's own limit
    // comes back whatever the download does.
    const QString savedMag = txt_mag->text();
    txt_mag->setText(txt_mag2->text());
    struct RestoreMag {
        QLineEdit *field;
        QString text;
        ~RestoreMag() { field->setText(text); }
    };
    {
        RestoreMag restore{txt_mag, savedMag};
        DownloadData_Click();
    }

    READFILE();
    LogStatus(lang->MessageTexts[10]);
    mapState = QStringLiteral("loading");
    map();
    LogStatus(lang->MessageTexts[11] + mapState);
}
