#pragma once
// Hours or degrees as whole units, minutes and seconds. `value` is in hours
// (right ascension, unit "h") or degrees (declination, unit "°").

#include <QString>

// "12h30'0''", "-33°15'45''": whole part, unit, minutes, "'", seconds, "''".
// Seconds are rounded to two decimals and then to a whole number (halves to
// even both times); 60 seconds carry into the minutes and 60 minutes into the
// whole part, so no part ever reads 60. A value below 0 starts with "-", also
// when its whole part is 0. NaN and infinities give "NaN", "Inf", "-Inf".
QString FormatSexagesimal(double value, const QString &unit);

// The three parts of a value: the whole part carries the sign of the value,
// minutes and seconds (rounded to four decimals, halves to even) are never
// negative. A value between -1 and 0 thus gives a whole part of 0 and no sign.
// NaN, an infinity or a whole part beyond an int gives 0, 0 and NaN seconds.
void SplitSexagesimal(double value, int &whole, int &minutes, double &seconds);
