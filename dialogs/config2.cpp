#include "dialogs/config2.h"

#include "astrometry/classic_calibration.h"
#include "localisation/language_tables.h"
#include "localisation/captions.h"
#include "main_window/form1.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Config2::Config2(Form1 &form)
    : FixedDialog(&form), form_(form)
{
    setWindowTitle(QStringLiteral("Etalonage classique"));
    createWidgets();
    Form_Load();
}

void Config2::createWidgets()
{
    lbl[0] = newPlainLabel(QStringLiteral("Configuration optique de l'instrument:"), this);
    static const char *const units[5] = {"mm", "mm", "pixels", "pixels", "mm"};
    for (int i = 1; i <= 5; ++i) {
        lbl[size_t(i)] = newPlainLabel(QStringLiteral("Corr Asd"), this);
        txt[size_t(i)] = new QLineEdit(this);
        txt[size_t(i)]->setFixedWidth(80);
        Label1[size_t(i - 1)] = newPlainLabel(QString::fromLatin1(units[i - 1]), this);
    }
    cmd1 = new QPushButton(QStringLiteral("Calculer"), this);
    cmd1->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lbl[0], 0, 0, 1, 7);
    for (int i = 1; i <= 4; ++i) {
        grid->addWidget(lbl[size_t(i)], i, 0);
        grid->addWidget(txt[size_t(i)], i, 1);
        grid->addWidget(Label1[size_t(i - 1)], i, 2);
    }
    // The focal length on the first row, further right.
    grid->setColumnMinimumWidth(3, 16);
    grid->addWidget(lbl[5], 1, 4);
    grid->addWidget(txt[5], 1, 5);
    grid->addWidget(Label1[4], 1, 6);
    grid->addWidget(cmd1, 4, 4, 1, 3, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    for (int i = 1; i < 5; ++i)
        setTabOrder(txt[size_t(i)], txt[size_t(i + 1)]);
    setTabOrder(txt[5], cmd1);
    connect(cmd1, &QPushButton::clicked, this, &Config2::cmd1_Click);
}

void Config2::Form_Load()
{
    CaptionTargets targets;
    targets.config2 = this;
    applyDialogCaptions(QStringLiteral("Config2"), form_.lang, targets);
}

void Config2::cmd1_Click()
{
    const ClassicCalibrationInput input{txt[1]->text(), txt[2]->text(), txt[3]->text(), txt[4]->text(),
                                        txt[5]->text()};
    try {
        // Corr Asd for the field being measured: at its declination.
        const ClassicCoefficients coefficients = computeClassicCoefficients(input, form_.fieldCentreDecDeg());
        // Each assignment runs the main window's comma fix.
        form_.txt_corrasd->setText(CStr(coefficients.corrAsdPixelsPerDeg));
        form_.txt_corrdec->setText(CStr(coefficients.corrDecPixelsPerDeg));
        const FieldOfView fov = computeFieldOfView(input);
        const QString words = form_.lang ? form_.lang->MessageTexts[7] : QString();
        form_.dialogs->MsgBox(classicCalibrationMessage(words, form_.txt_corrasd->text(), form_.txt_corrdec->text(), fov),
                              MsgBoxStyle::OkOnly);
    } catch (const Failure &failure) {
        form_.dialogs->MsgBox(failure.description(), MsgBoxStyle::OkOnly);
    }
}
