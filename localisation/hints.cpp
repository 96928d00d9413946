#include "localisation/hints.h"

#include "platform/failure.h"
#include "platform/numbers.h"

namespace {
// The end of a solve that found nothing: the hint depends on how many
// candidates there were and on how many catalogue stars were in use.
QString countRule(const QString &current, const QString &firstNumber, const QString &secondNumber,
                  const std::array<QString, 21> &hints)
{
    double candidates = 0, starsInUse = 0;
    try {
        candidates = CDbl(firstNumber);
        starsInUse = CDbl(secondNumber);
    } catch (const Failure &) {
        return current; // the solve always passes numbers; anything else changes nothing
    }
    QString text = current;
    // Exactly 100 candidates chooses neither hint: the previous text stays.
    if (candidates < 100)
        text = hints[1];
    else if (candidates > 100)
        text = hints[2] + QChar(u'\r');
    if (starsInUse > 300)
        text += hints[3];
    if (starsInUse < 100)
        text += hints[4];
    return text;
}
} // namespace

QString nextSuggestion(const QString &current, const QString &key, int state, const QString &firstNumber,
                       const QString &secondNumber, const std::array<QString, 21> &hints)
{
    constexpr int kFalse = 0, kTrue = -1;
    if (key == u"calcul") {
        if (state == kFalse)
            return countRule(current, firstNumber, secondNumber, hints);
        if (state == kTrue)
            return hints[5];
        return current;
    }
    if (key == u"superetalonage") {
        if (state >= 0)
            return hints[6];
        if (state == kTrue)
            return hints[7];
        return current;
    }
    if (key == u"etalonage")
        return state == kFalse ? hints[8] : hints[9];
    if (key == u"selectstar") {
        if (state == 1)
            return hints[10];
        if (state == 2)
            return hints[11];
        return current;
    }
    if (key == u"open")
        return hints[12];
    if (key == u"fullmapannuler")
        return hints[13];
    if (key == u"calculannuler")
        return hints[14];
    return current;
}
