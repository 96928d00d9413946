#include "localisation/captions.h"

#include "dialogs/frm_tip.h"
#include "main_window/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {
// Key "aide": the help window's caption is the help command's own words.
void applyTipCaptions(const LanguageTables &tables, const CaptionTargets &targets)
{
    if (targets.tip)
        targets.tip->setWindowTitle(tables.FormTexts[13]);
}

// Key "Form": the main window's captions from FormTexts in entry order, then
// the message table (FormTexts 45 to 65), the decision check box (the same
// words as its frame) and the start-up hint.
void applyFormCaptions(LanguageTables &tables, const CaptionTargets &targets)
{
    if (!targets.form)
        return;
    Form1 *form = targets.form(); // creates the window, running its load handler
    if (!form)
        return;
    const auto &t = tables.FormTexts;
    form->setWindowTitle(t[1]);
    form->mnu_fichier->setTitle(t[2]);
    form->mnu_wizard->setText(t[3]);
    form->mnu_open->setText(t[4]);
    form->mnu_save->setText(t[5]);
    form->mnu_savedefaut->setText(t[6]);
    form->mnu_quit->setText(t[7]);
    form->mnu_option->setTitle(t[8]);
    form->mnu_config->setText(t[9]);
    form->mnu_etalonage->setText(t[10]);
    form->mnu_etalonage2->setText(t[11]);
    form->mnu_superetalonage->setText(t[12]);
    form->mnu_help->setText(t[13]);
    form->mnu_about->setText(t[14]);
    form->DownloadData->setText(t[15]);
    form->SelectStar->setText(t[16]);
    form->startCalcul->setText(t[17]);
    form->FullMap->setText(t[18]);
    for (size_t i = 0; i < form->Frm.size(); ++i)
        form->Frm[i]->setTitle(t[19 + i]);
    for (size_t i = 0; i < form->lbl.size(); ++i)
        form->lbl[i]->setText(t[26 + i]);
    form->Loadimg->setText(t[43]);
    form->LoadCorr->setText(t[44]);
    form->BoutonEtalo->setText(t[45]);

    for (size_t i = 0; i <= 20; ++i)
        tables.MessageTexts[i] = t[45 + i];
    form->CheckDecideur->setText(form->Frm[6]->title());
    form->sugestion->setText(tables.SuggestionTexts[0]);
}
} // namespace

void ApplyCaptions(const QString &key, LanguageTables &tables, const CaptionTargets &targets)
{
    // One block per key, tested in this order. The dialogs' blocks come with
    // the dialogs themselves, each as one function above and one test here.

    if (key == u"aide")
        applyTipCaptions(tables, targets);

    // "Config": the optical configuration manager, ConfigTexts 1 to 8.

    // "Config2": the classic calibration dialog, Config2Texts 1 to 8.

    // "Wizard": the set-up wizard, WizardTexts 1 to 19.

    if (key == u"Form")
        applyFormCaptions(tables, targets);
}
