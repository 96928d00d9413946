// Handlers that keep the numeric and sign fields in the form the rest of the
// program reads.

#include "main_window/form1.h"

#include "astrometry/calibration.h"
#include "main_window/field_input.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <QLabel>
#include <QLineEdit>

void Form1::txt_corrasd_Change() { FixDecimalComma(txt_corrasd); }
void Form1::txt_corrdec_Change() { FixDecimalComma(txt_corrdec); }
void Form1::txt_epoch_Change() { FixDecimalComma(txt_epoch); }

void Form1::txt_dec_sign_Click(int Index)
{
    switch (Index) {
    case 0: txt_dec_sign_show[0]->setText(QStringLiteral("-")); break;
    case 1: txt_dec_sign_show[0]->setText(QStringLiteral("+")); break;
    case 2: txt_dec_sign_show[1]->setText(QStringLiteral("-")); break;
    case 3: txt_dec_sign_show[1]->setText(QStringLiteral("+")); break;
    default: break;
    }
}

std::optional<double> Form1::fieldCentreDecDeg() const
{
    // Degrees alone ("22", minutes and seconds left empty) are a declination
    // too; the degrees themselves must be typed.
    const auto part = [](const QString &text) { return text.trimmed().isEmpty() ? 0.0 : typedLocaleNumber(text); };
    try {
        const int sign = txt_dec_sign_show[0]->text() == QStringLiteral("-") ? -1 : 1;
        return referenceDecDeg(sign, typedLocaleNumber(txt_dec[0]->text()), part(txt_dec[1]->text()),
                               part(txt_dec[2]->text()));
    } catch (const Failure &) {
        return std::nullopt;
    }
}
