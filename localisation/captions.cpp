#include "localisation/captions.h"

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/wizard.h"
#include "dialogs/frm_tip.h"
#include "main_window/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

bool isUsableCaption(const QString &text)
{
    bool visible = false;
    for (const QChar c : text) {
        if ((c.category() == QChar::Other_Control && c != u'\t') || c == QChar::ReplacementCharacter)
            return false;
        visible = visible || !c.isSpace();
    }
    return visible;
}

namespace {
// Whether entries first to last of a table give at least one usable caption.
// A block that gives none (a file saved as UTF-16 or full of garbage, whose
// texts all landed elsewhere or are unreadable) would blank every control of
// its window: the window then keeps its design captions.
template <size_t N>
bool givesUsableCaption(const std::array<QString, N> &table, size_t first, size_t last)
{
    for (size_t i = first; i <= last && i < N; ++i)
        if (isUsableCaption(table[i]))
            return true;
    return false;
}

// Key "aide": the help window's caption is the help command's own words.
void applyTipCaptions(const LanguageTables &tables, const CaptionTargets &targets)
{
    if (targets.tip && givesUsableCaption(tables.FormTexts, 13, 13))
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
    const bool usable = givesUsableCaption(t, 1, 45);
    if (usable) {
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
    }

    // The messages are words, not captions: they are taken as they are.
    for (size_t i = 0; i <= 20; ++i)
        tables.MessageTexts[i] = t[45 + i];
    if (usable) {
        form->CheckDecideur->setText(form->Frm[6]->title());
        form->sugestion->setText(tables.SuggestionTexts[0]);
    }
}

// Key "Config": the optical configuration manager, ConfigTexts 1 to 8.
void applyConfigCaptions(const LanguageTables &tables, Config *config)
{
    if (!config)
        return;
    const auto &t = tables.ConfigTexts;
    if (!givesUsableCaption(t, 1, 8))
        return;
    config->setWindowTitle(t[1]);
    for (size_t i = 0; i < config->lbl.size(); ++i)
        config->lbl[i]->setText(t[2 + i]);
    config->cmd1->setText(t[5]);
    config->cmd2->setText(t[6]);
    config->cmd3->setText(t[7]);
    config->cmd4->setText(t[8]);
}

// Key "Config2": the classic calibration dialog, Config2Texts 1 to 8.
void applyConfig2Captions(const LanguageTables &tables, Config2 *config2)
{
    if (!config2)
        return;
    const auto &t = tables.Config2Texts;
    if (!givesUsableCaption(t, 1, 8))
        return;
    config2->setWindowTitle(t[1]);
    for (size_t i = 0; i < config2->lbl.size(); ++i)
        config2->lbl[i]->setText(t[2 + i]);
    config2->cmd1->setText(t[8]);
}

// Key "Wizard": the set-up wizard, WizardTexts 1 to 19.
void applyWizardCaptions(const LanguageTables &tables, Wizard *wizard)
{
    if (!wizard)
        return;
    const auto &t = tables.WizardTexts;
    if (!givesUsableCaption(t, 1, 19))
        return;
    wizard->setWindowTitle(t[1]);
    for (size_t i = 0; i < wizard->lbl.size(); ++i)
        wizard->lbl[i]->setText(t[2 + i]);
    wizard->step1->setText(t[18]);
    wizard->step2->setText(t[18]);
    wizard->step3->setText(t[19]);
}
} // namespace

void ApplyCaptions(const QString &key, LanguageTables &tables, const CaptionTargets &targets)
{
    // One block per key, tested in this order. The dialogs' blocks come with
    // the dialogs themselves, each as one function above and one test here.

    if (key == u"aide")
        applyTipCaptions(tables, targets);

    if (key == u"Config")
        applyConfigCaptions(tables, targets.config);
    if (key == u"Config2")
        applyConfig2Captions(tables, targets.config2);
    if (key == u"Wizard")
        applyWizardCaptions(tables, targets.wizard);

    if (key == u"Form")
        applyFormCaptions(tables, targets);
}
