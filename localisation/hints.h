#pragma once
// The hint label's texts: which hint a command's outcome shows, computed on
// the label's text so it can be checked without a window.

#include <QString>
#include <array>

// The state value of a flag as the hint keys expect it: true is -1, false 0.
constexpr int hintFlag(bool flag) { return flag ? -1 : 0; }

// The label's text after a hint for `key` and `state`, given its text before.
// `firstNumber` and `secondNumber` are read only for "calcul" with state 0:
// the number of candidates and the number of catalogue stars in use, in the
// user's number format. An unknown key or state leaves the text as it was.
QString nextSuggestion(const QString &current, const QString &key, int state, const QString &firstNumber,
                       const QString &secondNumber, const std::array<QString, 21> &hints);
