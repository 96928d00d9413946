#include "dialogs/fixed_dialog.h"

#include "localisation/captions.h"
#include "localisation/language_tables.h"

#include <algorithm>

namespace {
template <size_t N>
bool allEmpty(const std::array<QString, N> &table)
{
    return std::all_of(table.begin(), table.end(), [](const QString &text) { return text.isEmpty(); });
}
} // namespace

void applyDialogCaptions(const QString &key, LanguageTables *tables, const CaptionTargets &targets)
{
    if (!tables)
        return;
    if (allEmpty(tables->ConfigTexts) && allEmpty(tables->Config2Texts) && allEmpty(tables->FormTexts)
        && allEmpty(tables->WizardTexts) && allEmpty(tables->SuggestionTexts))
        return;
    ApplyCaptions(key, *tables, targets);
}
