#include "dialogs/fixed_dialog.h"

#include "localisation/captions.h"
#include "localisation/language_tables.h"

void applyDialogCaptions(const QString &key, LanguageTables *tables, const CaptionTargets &targets)
{
    if (!tables)
        return;
    ApplyCaptions(key, *tables, targets);
}
