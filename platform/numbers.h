#pragma once
// Number <-> text conversions with the two readings the program uses:
//  - the leading number of a text (Val): blanks skipped wherever they stand,
//    a point as decimal separator whatever the locale, 0 when the text does
//    not start with a number;
//  - conversion by the user's locale (QLocale()), where a text that is not a
//    number is a failure.
// Numbers written back into fields take the locale without digit grouping.

#include <QString>
#include <QStringView>

// Leading number of a text; never fails.
double Val(const QString &text);
double Val(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// Rounds to `decimals` decimals, halves to even (on the decimal digits the
// value prints with, so 31.495 rounds to 31.5 as written, not as stored).
double roundHalfEvenTo(double value, int decimals);

// Locale conversion of a text to a double; throws Failure(TypeMismatch) when
// the text is not a number in the user's locale ("nan" and "inf" included),
// Failure(Overflow) when it is one beyond a double's range ("1e400").
double CDbl(const QString &text);

// A whole number in the signed 16-bit range, rounded half to even; throws
// Failure(Overflow) outside -32768..32767.
int CInt(double value);
int CInt(const QString &text);

// Single precision as the program stores it.
inline float CSng(double value) { return static_cast<float>(value); }

// Number to text in the user's locale, no digit grouping: up to 15
// significant digits for a double, 7 for a single, whole numbers plainly.
QString CStr(double value);
QString CStrSingle(float value);
QString CStr(int value);
