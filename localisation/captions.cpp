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

#include <span>

bool isUsableCaption(const QString &text)
{
    // By code point, so format characters beyond the first plane count too.
    bool visible = false;
    for (const char32_t c : text.toUcs4()) {
        if ((QChar::category(c) == QChar::Other_Control && c != u'\t') || c == QChar::ReplacementCharacter)
            return false;
        // A zero-width space, a byte order mark or a soft hyphen draws nothing.
        visible = visible || !(QChar::isSpace(c) || QChar::category(c) == QChar::Other_Format);
    }
    return visible;
}

namespace {
// One table of the language file, as the captions of a window take it: an
// entry the file gave is set verbatim (an empty line blanks its caption), an
// entry the file never reached leaves the control's design caption.
class Entries {
public:
    template <size_t N>
    Entries(const std::array<QString, N> &texts, const std::array<bool, N> &given)
        : texts_(texts), given_(given)
    {
    }

    // Whether entries first to last give at least one usable caption. A block
    // that gives none (a file saved as UTF-16 or full of garbage, whose texts
    // all landed elsewhere or are unreadable) would blank every control of
    // its window: the window then keeps its design captions.
    bool anyUsable(size_t first, size_t last) const
    {
        for (size_t i = first; i <= last && i < texts_.size(); ++i)
            if (given_[i] && isUsableCaption(texts_[i]))
                return true;
        return false;
    }

    template <typename Control, typename Setter>
    void put(size_t entry, Control *control, Setter setter) const
    {
        if (entry < given_.size() && given_[entry])
            (control->*setter)(texts_[entry]);
    }

    // Entries first, first + 1, ... on the controls of an array, in order.
    template <typename Control, size_t N, typename Setter>
    void putAll(size_t first, const std::array<Control *, N> &controls, Setter setter) const
    {
        for (size_t i = 0; i < N; ++i)
            put(first + i, controls[i], setter);
    }

private:
    std::span<const QString> texts_;
    std::span<const bool> given_;
};

// Key "aide": the help window's caption is the help command's own words.
void applyTipCaptions(const LanguageTables &tables, const CaptionTargets &targets)
{
    const Entries t(tables.FormTexts, tables.FormGiven);
    if (targets.tip && t.anyUsable(13, 13))
        t.put(13, targets.tip, &QWidget::setWindowTitle);
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
    const Entries t(tables.FormTexts, tables.FormGiven);
    const bool usable = t.anyUsable(1, 45);
    if (usable) {
        t.put(1, form, &QWidget::setWindowTitle);
        t.put(2, form->mnu_fichier, &QMenu::setTitle);
        t.put(3, form->mnu_wizard, &QAction::setText);
        t.put(4, form->mnu_open, &QAction::setText);
        t.put(5, form->mnu_save, &QAction::setText);
        t.put(6, form->mnu_savedefaut, &QAction::setText);
        t.put(7, form->mnu_quit, &QAction::setText);
        t.put(8, form->mnu_option, &QMenu::setTitle);
        t.put(9, form->mnu_config, &QAction::setText);
        t.put(10, form->mnu_etalonage, &QAction::setText);
        t.put(11, form->mnu_etalonage2, &QAction::setText);
        t.put(12, form->mnu_superetalonage, &QAction::setText);
        t.put(13, form->mnu_help, &QAction::setText);
        t.put(14, form->mnu_about, &QAction::setText);
        t.put(15, form->DownloadData, &QAbstractButton::setText);
        t.put(16, form->SelectStar, &QAbstractButton::setText);
        t.put(17, form->startCalcul, &QAbstractButton::setText);
        t.put(18, form->FullMap, &QAbstractButton::setText);
        t.putAll(19, form->Frm, &QGroupBox::setTitle);
        t.putAll(26, form->lbl, &QLabel::setText);
        t.put(43, form->Loadimg, &QAbstractButton::setText);
        t.put(44, form->LoadCorr, &QAbstractButton::setText);
        t.put(45, form->BoutonEtalo, &QAbstractButton::setText);
    }

    // The messages are words, not captions: they are taken as they are.
    for (size_t i = 0; i <= 20; ++i)
        tables.MessageTexts[i] = tables.FormTexts[45 + i];
    if (usable) {
        form->CheckDecideur->setText(form->Frm[6]->title());
        Entries(tables.SuggestionTexts, tables.SuggestionGiven).put(0, form->sugestion, &QLabel::setText);
    }
}

// Key "Config": the optical configuration manager, ConfigTexts 1 to 8.
void applyConfigCaptions(const LanguageTables &tables, Config *config)
{
    if (!config)
        return;
    const Entries t(tables.ConfigTexts, tables.ConfigGiven);
    if (!t.anyUsable(1, 8))
        return;
    t.put(1, config, &QWidget::setWindowTitle);
    t.putAll(2, config->lbl, &QLabel::setText);
    t.put(5, config->cmd1, &QAbstractButton::setText);
    t.put(6, config->cmd2, &QAbstractButton::setText);
    t.put(7, config->cmd3, &QAbstractButton::setText);
    t.put(8, config->cmd4, &QAbstractButton::setText);
}

// Key "Config2": the classic calibration dialog, Config2Texts 1 to 8.
void applyConfig2Captions(const LanguageTables &tables, Config2 *config2)
{
    if (!config2)
        return;
    const Entries t(tables.Config2Texts, tables.Config2Given);
    if (!t.anyUsable(1, 8))
        return;
    t.put(1, config2, &QWidget::setWindowTitle);
    t.putAll(2, config2->lbl, &QLabel::setText);
    t.put(8, config2->cmd1, &QAbstractButton::setText);
}

// Key "Wizard": the set-up wizard, WizardTexts 1 to 19.
void applyWizardCaptions(const LanguageTables &tables, Wizard *wizard)
{
    if (!wizard)
        return;
    const Entries t(tables.WizardTexts, tables.WizardGiven);
    if (!t.anyUsable(1, 19))
        return;
    t.put(1, wizard, &QWidget::setWindowTitle);
    t.putAll(2, wizard->lbl, &QLabel::setText);
    t.put(18, wizard->step1, &QAbstractButton::setText);
    t.put(18, wizard->step2, &QAbstractButton::setText);
    t.put(19, wizard->step3, &QAbstractButton::setText);
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
