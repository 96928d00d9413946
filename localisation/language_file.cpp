#include "localisation/language_file.h"

#include "platform/failure.h"
#include "platform/text_file.h"

#include <optional>
#include <span>

namespace {
struct Block {
    QLatin1StringView marker;
    std::span<QString> table;
    std::span<bool> given;
    int startIndex; // the index before the first content line
};

// Reads lines from `nextLine` (an empty optional at the end of the lines)
// only until "[END]": nothing after it is read, and each line is kept only
// when its table has room for it.
template <typename NextLine>
LanguageParseOutcome parseLanguage(NextLine nextLine, LanguageTables &tables)
{
    const Block blocks[] = {
        {QLatin1StringView(kLanguageMarkers[0]), tables.ConfigTexts, tables.ConfigGiven, 0},
        {QLatin1StringView(kLanguageMarkers[1]), tables.Config2Texts, tables.Config2Given, 0},
        {QLatin1StringView(kLanguageMarkers[2]), tables.FormTexts, tables.FormGiven, 0},
        {QLatin1StringView(kLanguageMarkers[3]), tables.WizardTexts, tables.WizardGiven, 0},
        {QLatin1StringView(kLanguageMarkers[4]), tables.SuggestionTexts, tables.SuggestionGiven, -1},
    };

    std::optional<QString> current = nextLine();
    if (!current)
        return {false, QString(blocks[0].marker)};
    // The test of each block is made on the line read last, so the title line
    // is tested against the first marker and each later block starts by
    // testing the previous block's marker, which never ends it.
    for (const Block &block : blocks) {
        int index = block.startIndex;
        while (*current != block.marker) {
            current = nextLine();
            if (!current)
                return {false, QString(block.marker)};
            ++index;
            if (index >= 0 && size_t(index) < block.table.size()) {
                block.table[size_t(index)] = *current;
                block.given[size_t(index)] = true;
            }
        }
    }
    return {true, {}};
}
} // namespace

LanguageParseOutcome parseLanguageLines(const QStringList &lines, LanguageTables &tables)
{
    qsizetype next = 0;
    return parseLanguage(
        [&]() -> std::optional<QString> {
            if (next >= lines.size())
                return std::nullopt;
            return lines[next++];
        },
        tables);
}

QString languageFilePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/lang.cfg");
}

QString LanguageLoadResult::message() const
{
    return QStringLiteral("Le fichier de langue \u00ab %1 \u00bb ne peut pas \u00eatre utilis\u00e9 : %2.\n"
                          "Le programme continue avec les textes qu'il a pu en lire.")
        .arg(path, problem);
}

LanguageLoadResult LoadLanguage(const QString &programFolder, LanguageTables &tables)
{
    LanguageLoadResult result;
    result.path = languageFilePath(programFolder);
    // Read straight from the file, so a huge file costs no memory.
    qsizetype linesRead = 0;
    LanguageParseOutcome outcome;
    try {
        TextFileReader file(result.path);
        outcome = parseLanguage(
            [&]() -> std::optional<QString> {
                if (file.atEnd())
                    return std::nullopt;
                // Counted once read: a line that fails gave no text.
                QString line = file.readLine();
                ++linesRead;
                return line;
            },
            tables);
    } catch (const Failure &failure) {
        result.problem = failure.description();
        result.anyTextRead = linesRead > 1;
        return result;
    }
    if (linesRead == 0) {
        result.problem = QStringLiteral("le fichier est vide");
        return result;
    }
    // The title line is never an entry: a file that holds nothing more
    // fills no text at all, like an empty one.
    result.anyTextRead = linesRead > 1;
    if (!outcome.complete)
        result.problem = QStringLiteral("le fichier se termine avant la ligne %1").arg(outcome.missingMarker);
    return result;
}
