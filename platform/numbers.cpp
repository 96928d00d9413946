#include "platform/numbers.h"

#include "platform/failure.h"

#include <QLocale>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

double Val(const QString &text)
{
    return Val(QStringView(text));
}

double Val(QStringView text)
{
    // Blanks (spaces, tabs, line feeds) are skipped wherever they stand in
    // the number, as the classic reading does: "1 2.5" reads 12.5. The digits
    // are gathered as ASCII and converted without any locale; this runs for
    // every coordinate of a catalogue, so it stays allocation-light.
    const qsizetype n = text.size();
    auto isBlank = [&](qsizetype k) {
        return text[k] == u' ' || text[k] == u'\t' || text[k] == u'\n' || text[k] == u'\r';
    };
    // The position of the next character that is not a blank, from k on.
    auto next = [&](qsizetype k) {
        while (k < n && isBlank(k))
            ++k;
        return k;
    };
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    qsizetype i = next(0);
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        i = next(i + 1);
    }
    std::string number;
    bool digits = false;
    for (; isDigit(i); i = next(i + 1)) {
        number += char(text[i].unicode());
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        for (i = next(i + 1); isDigit(i); i = next(i + 1)) {
            number += char(text[i].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = next(i + 1);
        std::string exponent = "e";
        if (j < n && (text[j] == u'-' || text[j] == u'+')) {
            exponent += char(text[j].unicode());
            j = next(j + 1);
        }
        bool expDigits = false;
        for (; isDigit(j); j = next(j + 1)) {
            exponent += char(text[j].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Beyond a double's range: Qt's reading gives infinity for an
        // overflow and 0 for an underflow. An infinity would pass for a
        // number everywhere this reading is used: it is an overflow.
        value = QLocale::c().toDouble(QLatin1String(number.data(), qsizetype(number.size())));
        if (std::isinf(value))
            throw Failure(FailureCode::Overflow);
    }
    return negative ? -value : value;
}

double typedLeadingNumber(const QString &text)
{
    return Val(QString(text).replace(u',', u'.'));
}

double roundHalfEven(double value)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(previous);
    return r;
}

double roundHalfEvenTo(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    // Work on the value as printed with 15 significant digits, so that a
    // value stored as 31.49499999... but meant as 31.495 rounds the way it reads.
    const double scale = std::pow(10.0, decimals);
    const QString printed = QString::number(value * scale, 'g', 15);
    return roundHalfEven(printed.toDouble()) / scale;
}

double CDbl(const QString &text)
{
    const QLocale locale;
    bool ok = false;
    const QString trimmed = text.trimmed();
    double value = locale.toDouble(trimmed, &ok);
    if (!ok) {
        // The locale reader refuses a leading '+', which a user may type.
        if (trimmed.startsWith(u'+'))
            value = locale.toDouble(trimmed.mid(1), &ok);
    }
    // The locale reader refuses a number beyond a double's range but gives
    // its sign as an infinity: that is an overflow, not a text of letters.
    if (!ok && std::isinf(value))
        throw Failure(FailureCode::Overflow);
    // It also takes "nan" and "inf", which are no numbers a user types.
    if (!ok || trimmed.isEmpty() || !std::isfinite(value))
        throw Failure(FailureCode::TypeMismatch);
    return value;
}

double typedLocaleNumber(const QString &text)
{
    return CDbl(QString(text).replace(u',', QLocale().decimalPoint()));
}

int CInt(double value)
{
    if (!std::isfinite(value))
        throw Failure(FailureCode::Overflow);
    const double r = roundHalfEven(value);
    if (r < -32768.0 || r > 32767.0)
        throw Failure(FailureCode::Overflow);
    return int(r);
}

int CInt(const QString &text)
{
    return CInt(CDbl(text));
}

namespace {
QString formatSignificant(double value, int digits)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double magnitude = std::fabs(value);
    // Plain decimal notation from 1e-5 up to the precision's range, as the
    // classic conversion prints; exponent notation outside it.
    if (magnitude >= 1e-5 && magnitude < std::pow(10.0, digits)) {
        const int intDigits = magnitude >= 1.0 ? int(std::floor(std::log10(magnitude))) + 1 : 0;
        int decimals = digits - intDigits;
        if (magnitude < 1.0)
            decimals = digits - int(std::floor(std::log10(magnitude))) - 1;
        decimals = std::clamp(decimals, 0, 30);
        QString text = locale.toString(value, 'f', decimals);
        const QString point = locale.decimalPoint();
        if (text.contains(point)) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(point))
                text.chop(point.size());
        }
        if (text == QStringLiteral("-0"))
            text = QStringLiteral("0");
        return text;
    }
    QString text = locale.toString(value, 'E', digits - 1);
    // Trim trailing zeros of the mantissa.
    const int e = int(text.indexOf(u'E'));
    if (e > 0) {
        QString mantissa = text.left(e);
        const QString exponent = text.mid(e);
        const QString point = locale.decimalPoint();
        if (mantissa.contains(point)) {
            while (mantissa.endsWith(u'0'))
                mantissa.chop(1);
            if (mantissa.endsWith(point))
                mantissa.chop(point.size());
        }
        text = mantissa + exponent;
    }
    return text;
}
} // namespace

QString CStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    return formatSignificant(value, 15);
}

QString CStrSingle(float value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    // Round to 7 significant digits in single precision's own terms.
    return formatSignificant(QString::number(double(value), 'g', 7).toDouble(), 7);
}

QString CStr(int value)
{
    return QString::number(value);
}
