#pragma once
// Number <-> text conversions with the two readings the program uses:
//  - the leading number of a text (Val): blanks skipped wherever they stand,
//    a point as decimal separator whatever the locale, 0 when the text does
//    not start with a number;
//  - conversion by the user's locale (QLocale()), where a text that is not a
//    number is a failure.
// A number the user typed into a box is read by one of the two with a comma
// taken as the decimal point as well (typedLeadingNumber, typedLocaleNumber):
// the user may type either mark, and a comma must never cut a number short.
// Numbers written back into fields take the locale without digit grouping.

#include <QString>
#include <QStringView>

// Leading number of a text; throws Failure(Overflow) when that number lies
// beyond a double's range ("1e400"), never fails otherwise (a number too
// small to be held reads as 0).
double Val(const QString &text);
double Val(QStringView text);

// Val of a typed text whose every comma is read as a point: "6,7" is 6.7.
double typedLeadingNumber(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// Rounds to `decimals` decimals, halves to even (on the decimal digits the
// value prints with, so 31.495 rounds to 31.5 as written, not as stored).
double roundHalfEvenTo(double value, int decimals);

// Locale conversion of a text to a double; throws Failure(TypeMismatch) when
// the text is not a number in the user's locale ("nan" and "inf" included),
// Failure(Overflow) when it is one beyond a double's range ("1e400").
double CDbl(const QString &text);

// CDbl of a typed text whose every comma is read as the locale's decimal
// separator: "1200,5" is 1200.5 under a point locale too. A point reads as
// CDbl reads it.
double typedLocaleNumber(const QString &text);

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
