#pragma once
// A main window ready to solve a synthetic field: the catalogue answer file
// and the star table for the field, the picks with their marks, a drawn image
// of the field, and message and hint texts that name their own entry ("M5",
// "S14").

#include "catalogue_service.h"
#include "support/test_support.h"
#include "support/synthetic_field.h"

#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <cmath>

namespace testing {

// The catalogue stars of a field (scaled units back to degrees), with
// identifiers "U0750_00000001"... and magnitudes from 10.0 to 15.9.
inline std::vector<catalogue::Star> catalogueStars(const synthetic::Field &field, double scaleRa, double scaleDec)
{
    std::vector<catalogue::Star> list;
    for (int k = 1; k <= field.count(); ++k)
        list.push_back({QStringLiteral("U0750_%1").arg(k, 8, 10, QLatin1Char('0')), field.starX[size_t(k)] / scaleRa,
                        field.starY[size_t(k)] / scaleDec, 10 + (k % 60) / 10.0});
    return list;
}

struct SolveFixture : FormFixture {
    static constexpr double kScale = 3600; // pixels per degree on both axes

    SolveFixture()
    {
        for (int n = 0; n < int(tables.MessageTexts.size()); ++n)
            tables.MessageTexts[size_t(n)] = QStringLiteral("M%1").arg(n);
        for (int n = 0; n < int(tables.SuggestionTexts.size()); ++n)
            tables.SuggestionTexts[size_t(n)] = QStringLiteral("S%1").arg(n);
        form->txt_corrasd->setText(QStringLiteral("3600"));
        form->txt_corrdec->setText(QStringLiteral("3600"));
        form->scaleRa = kScale;
        form->scaleDec = kScale;
    }

    // The answer file of the field, and the star table as its parse gives it
    // (the solve parses the file again; both agree).
    void useField(const synthetic::Field &field)
    {
        writeFile(path(QStringLiteral("data.txt")), catalogue::answerPage(catalogueStars(field, kScale, kScale)));
        StarTable &table = form->stars;
        for (int k = 1; k <= field.count() && k <= StarTable::kCapacity; ++k) {
            table.starId[size_t(k)] = QStringLiteral("U0750_%1").arg(k, 8, 10, QLatin1Char('0'));
            table.starX[size_t(k)] = field.starX[size_t(k)];
            table.starY[size_t(k)] = field.starY[size_t(k)];
            table.starMag[size_t(k)] = QString::number(10 + (k % 60) / 10.0, 'f', 1);
        }
        table.starTotal = std::min(field.count(), StarTable::kCapacity);
        table.starCount = std::min(table.starTotal, StarTable::kInUse);
    }

    // Picks 1..5 as five clicks leave them: positions, marks, a done selection.
    void usePicks(const synthetic::Picks &picks)
    {
        const float half = form->clicpic[0].Height / 2;
        for (int p = 1; p <= 5; ++p) {
            form->selX[size_t(p)] = picks.x[size_t(p)];
            form->selY[size_t(p)] = picks.y[size_t(p)];
            form->clicpic[size_t(p)].Left = float(picks.x[size_t(p)] - half);
            form->clicpic[size_t(p)].Top = float(picks.y[size_t(p)] - half);
            form->clicpic[size_t(p)].Visible = true;
        }
        form->clickCount = 5;
        form->selectionDone = true;
        form->pickMode = PickMode::Zero;
    }

    // An image of the field's stars, named in the image path field.
    void useImage(const synthetic::Field &field, int width, int height)
    {
        std::vector<SyntheticStar> spots;
        for (int k = 1; k <= field.count(); ++k)
            spots.push_back({field.pixel[size_t(k)].x, field.pixel[size_t(k)].y, 180, 1.5});
        drawStarField(width, height, spots).save(path(QStringLiteral("field.png")));
        form->txt_url->setText(QStringLiteral("field.png"));
    }

    // The status list from the newest line down.
    QStringList statusLines() const
    {
        QStringList lines;
        for (int i = 0; i < form->status->count(); ++i)
            lines << form->status->item(i)->text();
        return lines;
    }

    PlateModel model() const
    {
        return {form->coefA, form->coefB, form->coefC, form->coefD, form->coefE, form->coefF};
    }
    void setModel(const PlateModel &m)
    {
        form->coefA = m.coefA;
        form->coefB = m.coefB;
        form->coefC = m.coefC;
        form->coefD = m.coefD;
        form->coefE = m.coefE;
        form->coefF = m.coefF;
    }
};

// The marker's centre, where the overlay put the star.
inline PlanePoint markerCentre(const Form1 &form, int k)
{
    const float half = form.star[0].Height / 2;
    return {form.star[size_t(k)].Left + half, form.star[size_t(k)].Top + half};
}

inline bool sameModel(const PlateModel &a, const PlateModel &b)
{
    return a.coefA == b.coefA && a.coefB == b.coefB && a.coefC == b.coefC && a.coefD == b.coefD
        && a.coefE == b.coefE && a.coefF == b.coefF;
}

} // namespace testing
