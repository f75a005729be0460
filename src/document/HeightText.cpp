#include "document/HeightText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelvarin {

namespace {

// A nonzero decimal number as a string of significant digits (the first one not '0') and the
// power of ten of the first digit: value = d0.d1d2... * 10^exponent. No digits means zero.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

enum class Tie { AwayFromZero, ToEven };

// The exact decimal expansion of a finite nonzero magnitude. A float widened to double has at
// most 112 significant decimal digits (the floats just below 2^-126), so 150 digits after the
// first one hold every expansion in full; glibc's printf writes them exactly. Only digits and
// the exponent are read, so the C locale's decimal point doesn't matter.
Decimal exactDecimal(double magnitude) {
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%.150e", magnitude);
    Decimal d;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') {
            d.digits.push_back(*p);
        }
    }
    d.exponent = std::atoi(p + 1);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

// Keeps the first `keep` significant digits of d, rounding the rest away. keep may be zero or
// negative: the kept part then lies above the first digit, and the result is zero or a single
// unit of the digit position just above the kept part.
void roundTo(Decimal& d, int keep, Tie tie) {
    const int length = static_cast<int>(d.digits.size());
    if (keep >= length) {
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const char first = d.digits[static_cast<std::size_t>(keep)];
    const bool restNonzero =
        d.digits.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string::npos;
    bool up = false;
    if (tie == Tie::AwayFromZero) {
        up = first >= '5';
    } else {
        const bool lastOdd = keep > 0 && ((d.digits[static_cast<std::size_t>(keep) - 1] - '0') & 1);
        up = first > '5' || (first == '5' && (restNonzero || lastOdd));
    }
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            // All kept digits were nines (or none were kept): the carry opens a new first digit.
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
}

// The digit of d at the position of 10^power.
char digitAt(const Decimal& d, int power) {
    const int index = d.exponent - power;
    if (index < 0 || index >= static_cast<int>(d.digits.size())) {
        return '0';
    }
    return d.digits[static_cast<std::size_t>(index)];
}

// Heights at or above this magnitude (after the first rounding) switch to the scientific form.
constexpr int kScientificExponent = 18;
// Significant digits of the first rounding and of the scientific form.
constexpr int kWorkingDigits = 18;
constexpr int kScientificDigits = 15;

} // namespace

QString formatHeight(float value, HeightPattern pattern, QChar separator) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    const bool negative = std::signbit(value);
    if (std::isinf(value)) {
        return negative ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    const QString zero = QStringLiteral("0") + separator + QLatin1Char('0');
    if (value == 0.0f) {
        return zero; // also negative zero
    }

    // The float's exact value, then 18 significant digits rounded to nearest. An exact tie at
    // the 19th digit can't change the final text: either neighbour rounds the same way below.
    Decimal d = exactDecimal(std::fabs(static_cast<double>(value)));
    roundTo(d, kWorkingDigits, Tie::ToEven);

    QString out;
    if (d.exponent >= kScientificExponent) {
        // The exponent is at least 18 here, so it never needs a sign.
        roundTo(d, kScientificDigits, Tie::AwayFromZero);
        if (negative) {
            out += QLatin1Char('-');
        }
        out += QLatin1Char(d.digits[0]);
        if (d.digits.size() > 1) {
            out += separator;
            out += QLatin1String(d.digits.data() + 1, static_cast<qsizetype>(d.digits.size() - 1));
        }
        out += QLatin1Char('E');
        out += QString::number(d.exponent);
        return out;
    }

    const int maxDecimals = pattern == HeightPattern::Field ? 4 : 3;
    // Digits from the first significant one down to the last decimal of the pattern. It is zero
    // when the value lies in [10^-(maxDecimals+1), 10^-maxDecimals) and negative below that.
    const int keep = d.exponent + 1 + maxDecimals;
    roundTo(d, keep, Tie::AwayFromZero);
    if (d.digits.empty()) {
        // Nonzero but rounds to zero. Below a tenth of the last decimal's unit (measured on the
        // 18-digit value: the float nearest 0.00001 is 9.99999974...e-6, so with four decimals
        // it gives "0.0", while the float nearest 0.00005, 4.99999987...e-5, gives "0.0000")
        // the text is the plain zero; otherwise it shows every decimal place. No sign either way.
        if (keep < 0) {
            return zero;
        }
        return QStringLiteral("0") + separator + QString(maxDecimals, QLatin1Char('0'));
    }

    if (negative) {
        out += QLatin1Char('-');
    }
    for (int power = std::max(d.exponent, 0); power >= 0; --power) {
        out += QLatin1Char(digitAt(d, power));
    }
    out += separator;
    int lastDecimal = 1;
    for (int i = 1; i <= maxDecimals; ++i) {
        if (digitAt(d, -i) != '0') {
            lastDecimal = i;
        }
    }
    for (int i = 1; i <= lastDecimal; ++i) {
        out += QLatin1Char(digitAt(d, -i));
    }
    return out;
}

QString formatLevelNumber(int number) {
    const qint64 magnitude = number < 0 ? -static_cast<qint64>(number) : number;
    const QString digits = QStringLiteral("%1").arg(magnitude, 2, 10, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The decimal text is read into an extended-precision value (64-bit significand) and only then
// rounded to float, exactly as the two roundings happen on x87 hardware. Where long double has
// another width (LDBL_MANT_DIG != 64) the platform's long double stands in, which can differ
// in the last place of the float for texts within 2^-64 (relative) of a midpoint between two
// floats, and in where the range ends.

// Halfway between FLT_MAX and 2^128: (2^24 - 1/2) * 2^104. With ties to even (FLT_MAX's last
// significand bit is odd) everything from here up rounds to infinity.
constexpr long double kFloatOverflowThreshold =
    static_cast<long double>(0x1FFFFFF) * static_cast<long double>(0x1p103);

} // namespace

std::optional<float> parseHeight(const QString& text, QChar separator) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    const QChar space(QLatin1Char(' '));
    while (i < n && text[i] == space) {
        ++i;
    }

    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    // The mantissa's digits, integer and fractional together, with the count of fractional ones.
    std::string digits;
    qint64 fractionDigits = 0;
    bool sawMantissa = false;
    while (i < n && isAsciiDigit(text[i])) {
        digits.push_back(static_cast<char>(text[i].unicode()));
        sawMantissa = true;
        ++i;
    }
    if (i < n && text[i] == separator) {
        sawMantissa = true;
        ++i;
        while (i < n && isAsciiDigit(text[i])) {
            digits.push_back(static_cast<char>(text[i].unicode()));
            ++fractionDigits;
            ++i;
        }
    }
    if (!sawMantissa) {
        return std::nullopt;
    }

    qint64 exponent = 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        while (i < n && isAsciiDigit(text[i])) {
            // Digits are taken only while the exponent is still below 500.
            if (exponent >= 500) {
                return std::nullopt;
            }
            exponent = exponent * 10 + (text[i].unicode() - '0');
            ++i;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }

    while (i < n && text[i] == space) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }

    // Normalise to an integer significand and a power of ten: "12.5e3" becomes "125e2". With no
    // decimal point in it the text means the same to strtold in every C locale.
    const std::size_t firstNonzero = digits.find_first_not_of('0');
    if (firstNonzero == std::string::npos) {
        return negative ? -0.0f : 0.0f;
    }
    std::string normalised;
    if (negative) {
        normalised.push_back('-');
    }
    normalised.append(digits, firstNonzero, std::string::npos);
    normalised.push_back('e');
    normalised += std::to_string(exponent - fractionDigits);

    // strtold rounds correctly to nearest; beyond the extended range it gives infinity, below it
    // a subnormal or zero, which passes as a zero or subnormal height.
    char* end = nullptr;
    const long double extended = std::strtold(normalised.c_str(), &end);
    if (end != normalised.c_str() + normalised.size() || std::isinf(extended)) {
        return std::nullopt;
    }
    if (std::fabs(extended) >= kFloatOverflowThreshold) {
        return std::nullopt;
    }
    return static_cast<float>(extended);
}

} // namespace kelvarin
