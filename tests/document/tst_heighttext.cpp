// Height texts: the exact formatter of the height patterns, level numbers and the height parser.
#include "document/HeightText.h"

#include <QTest>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>

using namespace kelvarin;

namespace {

const QChar dot(QLatin1Char('.'));
const QChar comma(QLatin1Char(','));

float above(float x) {
    return std::nextafter(x, std::numeric_limits<float>::infinity());
}

float below(float x) {
    return std::nextafter(x, -std::numeric_limits<float>::infinity());
}

// One row per separator; `expected` is written with '.', which the ',' row swaps.
void addFormatRows(const char* name, float value, HeightPattern pattern, const char* expected) {
    for (const QChar sep : {dot, comma}) {
        QString text = QString::fromLatin1(expected);
        text.replace(dot, sep);
        QTest::addRow("%s [%c]", name, sep.toLatin1()) << value << pattern << sep << text;
    }
}

// One row per separator; `text` is written with '.' as the separator, which the ',' row swaps.
void addParseRows(const char* name, const char* text, bool accepted, float value = 0.0f) {
    for (const QChar sep : {dot, comma}) {
        QString t = QString::fromUtf8(text);
        t.replace(dot, sep);
        QTest::addRow("%s [%c]", name, sep.toLatin1()) << t << sep << accepted << value;
    }
}

void addParseRow(const char* name, const QString& text, QChar sep, bool accepted,
                 float value = 0.0f) {
    QTest::addRow("%s [%c]", name, sep.toLatin1()) << text << sep << accepted << value;
}

} // namespace

class TestHeightText : public QObject {
    Q_OBJECT

private slots:
    void formatHeightWritesTheRoundedExactValue_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<HeightPattern>("pattern");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        const auto F = HeightPattern::Field;
        const auto L = HeightPattern::List;

        // The float nearest 2.675 is 2.67499995...; nearest 9.99996 is 9.99995994...
        addFormatRows("2.675 list", 2.675f, L, "2.675");
        addFormatRows("2.675 field", 2.675f, F, "2.675");
        addFormatRows("9.99996 field", 9.99996f, F, "10.0");
        addFormatRows("-9.99996 field", -9.99996f, F, "-10.0");
        addFormatRows("9.99996 list", 9.99996f, L, "10.0");
        addFormatRows("12", 12.0f, F, "12.0");
        addFormatRows("12.5", 12.5f, F, "12.5");
        addFormatRows("12.5 list", 12.5f, L, "12.5");
        addFormatRows("-2.5", -2.5f, F, "-2.5");
        addFormatRows("0.5", 0.5f, L, "0.5");
        addFormatRows("below one", 0.25f, F, "0.25");
        addFormatRows("1/3 field", 1.0f / 3.0f, F, "0.3333");
        addFormatRows("1/3 list", 1.0f / 3.0f, L, "0.333");
        addFormatRows("2/3 list", 2.0f / 3.0f, L, "0.667");
        // Exact halves at the last decimal go away from zero, not to even.
        addFormatRows("half 0.03125", 0.03125f, F, "0.0313");
        addFormatRows("half -0.03125", -0.03125f, F, "-0.0313");
        addFormatRows("half 0.0625 list", 0.0625f, L, "0.063");
        addFormatRows("half 0.0625 field", 0.0625f, F, "0.0625");
        addFormatRows("half 1.0625 list", 1.0625f, L, "1.063");

        addFormatRows("zero", 0.0f, F, "0.0");
        addFormatRows("negative zero", -0.0f, F, "0.0");
        addFormatRows("negative zero list", -0.0f, L, "0.0");

        // Nonzero values that round to zero. The float nearest 0.00001 is 9.99999975e-6, below
        // a tenth of the last decimal; the float nearest 0.00005 is 4.99999987e-5, still zero.
        addFormatRows("nearest 0.00001", 0.00001f, F, "0.0");
        addFormatRows("above 0.00001", above(0.00001f), F, "0.0000");
        addFormatRows("0.00003", 0.00003f, F, "0.0000");
        addFormatRows("0.000049", 0.000049f, F, "0.0000");
        addFormatRows("nearest 0.00005", 0.00005f, F, "0.0000");
        addFormatRows("above 0.00005", above(0.00005f), F, "0.0001");
        addFormatRows("-0.00003", -0.00003f, F, "0.0000");
        addFormatRows("-nearest 0.00005", -0.00005f, F, "0.0000");
        addFormatRows("-above 0.00005", -above(0.00005f), F, "-0.0001");
        addFormatRows("-0.000001", -0.000001f, F, "0.0");
        addFormatRows("smallest subnormal", std::numeric_limits<float>::denorm_min(), F, "0.0");
        addFormatRows("-smallest subnormal", -std::numeric_limits<float>::denorm_min(), L, "0.0");
        // With three decimals the bands move one place: the float nearest 0.0001 is below it.
        addFormatRows("nearest 0.0001 list", 0.0001f, L, "0.0");
        addFormatRows("nearest 0.0001 field", 0.0001f, F, "0.0001");
        addFormatRows("above 0.0001 list", above(0.0001f), L, "0.000");
        addFormatRows("0.00049 list", 0.00049f, L, "0.000");
        addFormatRows("-0.0003 list", -0.0003f, L, "0.000");
        addFormatRows("nearest 0.0005 list", 0.0005f, L, "0.001"); // 5.00000024e-4

        // Large values are written with all their integer digits up to 10^18.
        addFormatRows("123456789", 123456789.0f, F, "123456792.0");
        addFormatRows("-123456789", -123456789.0f, L, "-123456792.0");
        addFormatRows("1e17", 1e17f, F, "99999998430674944.0");
        addFormatRows("nearest 1e18", 1e18f, F, "999999984306749440.0");
        addFormatRows("above 1e18", above(1e18f), F, "1.00000005302623E18");
        addFormatRows("-above 1e18", -above(1e18f), L, "-1.00000005302623E18");
        // The float nearest 10^20 is 100000002004087734272: its 15 digits are not all zeros.
        addFormatRows("nearest 1e20", 1e20f, F, "1.00000002004088E20");
        addFormatRows("-nearest 1e20", -1e20f, L, "-1.00000002004088E20");
        // 2^27 * 10^10 is a float exactly; trailing zeros of the 15 digits are dropped.
        addFormatRows("short mantissa", 1342177280000000000.0f, F, "1.34217728E18");
        addFormatRows("-short mantissa", -1342177280000000000.0f, L, "-1.34217728E18");
        addFormatRows("2^63", 9223372036854775808.0f, F, "9.22337203685478E18");
        addFormatRows("max", FLT_MAX, F, "3.40282346638529E38");
        addFormatRows("-max", -FLT_MAX, F, "-3.40282346638529E38");
        // 10349182883255549952: 18 digits give ...555500, whose 15-digit rounding goes up;
        // rounding the exact value straight to 15 digits would go down.
        addFormatRows("two roundings", 10349182883255549952.0f, F, "1.03491828832556E19");

        addFormatRows("infinity", std::numeric_limits<float>::infinity(), F, "INF");
        addFormatRows("-infinity", -std::numeric_limits<float>::infinity(), L, "-INF");
    }

    void formatHeightWritesTheRoundedExactValue() {
        QFETCH(float, value);
        QFETCH(HeightPattern, pattern);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(formatHeight(value, pattern, separator), expected);
    }

    void formatHeightIgnoresTheProcessLocale() {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        const std::string saved = previous ? previous : "C";
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
            QSKIP("no locale with a decimal comma is installed");
        }
        const QString written = formatHeight(1234.5f, HeightPattern::Field, dot);
        const std::optional<float> readDot = parseHeight(QStringLiteral("1234.5"), dot);
        const std::optional<float> readComma = parseHeight(QStringLiteral("0,25e1"), comma);
        std::setlocale(LC_ALL, saved.c_str());
        QCOMPARE(written, QStringLiteral("1234.5"));
        QVERIFY(readDot && *readDot == 1234.5f);
        QVERIFY(readComma && *readComma == 2.5f);
    }

    void formatLevelNumberHasTwoDigits_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << 1 << "01";
        QTest::newRow("9") << 9 << "09";
        QTest::newRow("10") << 10 << "10";
        QTest::newRow("15") << 15 << "15";
        QTest::newRow("0") << 0 << "00";
    }

    void formatLevelNumberHasTwoDigits() {
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(formatLevelNumber(number), expected);
    }

    void parseHeightAcceptsOnlyTheNumberForm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<float>("value");

        addParseRows("empty", "", false);
        addParseRows("spaces only", "   ", false);
        addParseRows("plain", "5", true, 5.0f);
        addParseRows("spaces around", "  5 ", true, 5.0f);
        addParseRows("decimals", "12.5", true, 12.5f);
        addParseRows("negative with spaces", " -1.5  ", true, -1.5f);
        addParseRows("plus", "+2.5", true, 2.5f);
        addParseRows("trailing separator", "5.", true, 5.0f);
        addParseRows("leading separator", ".25", true, 0.25f);
        addParseRows("lone separator", ".", true, 0.0f);
        addParseRows("signed lone separator", "-.", true, 0.0f);
        addParseRows("plus lone separator", "+.", true, 0.0f);
        addParseRows("lone separator with exponent", ".e5", true, 0.0f);
        addParseRows("nearest float", "0.1", true, 0.1f);
        addParseRows("leading zeros", "000012.5000", true, 12.5f);
        addParseRows("many digits", "0.1000000000000000000000000000000000000001", true, 0.1f);

        addParseRows("tab before", "\t5", false);
        addParseRows("tab after", "5\t", false);
        addParseRows("no-break space", "5\u00a0", false);
        addParseRows("unit", "5 units", false);
        addParseRows("space inside", "1 000", false);
        addParseRows("sign then space", "- 1", false);
        addParseRows("sign alone", "+", false);
        addParseRows("minus alone", "-", false);
        addParseRows("double sign", "--1", false);
        addParseRows("mixed signs", "+-1", false);
        addParseRows("two separators", "1..2", false);
        addParseRows("second separator", "1.2.3", false);
        addParseRows("exponent only", "e5", false);
        addParseRows("signed exponent only", "-E5", false);
        addParseRows("fraction in exponent", "1e5.5", false);
        addParseRows("space before exponent", "1 e5", false);
        addParseRows("space in exponent", "1e 5", false);
        addParseRows("hexadecimal", "0x10", false);
        addParseRows("infinity word", "inf", false);
        addParseRows("nan word", "nan", false);
        addParseRows("other digits", "\u0665", false);
        addParseRows("full-width digit", "\uff15", false);

        // Grouping and the other separator.
        addParseRow("grouping", QStringLiteral("1,000.5"), dot, false);
        addParseRow("grouping", QStringLiteral("1.000,5"), comma, false);
        addParseRow("comma with point", QStringLiteral("1,5"), dot, false);
        addParseRow("point with comma", QStringLiteral("1.5"), comma, false);
        addParseRow("lone comma with point", QStringLiteral(","), dot, false);
        addParseRow("lone point with comma", QStringLiteral("."), comma, false);

        // Exponents: the digits may be absent; they are read while the value is below 500.
        addParseRows("exponent", "2.5e1", true, 25.0f);
        addParseRows("capital exponent", "2.5E+1", true, 25.0f);
        addParseRows("negative exponent", "25e-1", true, 2.5f);
        addParseRows("empty exponent", "1e", true, 1.0f);
        addParseRows("signed empty exponent", "1e+", true, 1.0f);
        addParseRows("minus empty exponent", "1E-", true, 1.0f);
        addParseRows("exponent then spaces", "1e5  ", true, 100000.0f);
        addParseRows("tiny", "1e-50", true, 0.0f);
        addParseRows("exponent 499", "1e-499", true, 0.0f);
        addParseRows("exponent with leading zeros", "1e-0000000499", true, 0.0f);
        addParseRows("exponent 500", "1e-500", true, 0.0f);
        addParseRows("exponent 0500", "0e0500", true, 0.0f);
        addParseRows("exponent 4999", "1e-4999", true, 0.0f);
        addParseRows("exponent 5000", "1e-5000", false);
        addParseRows("zero with exponent 5000", "0e5000", false);
        addParseRows("exponent 50000", "1e50000", false);
        addParseRows("exponent cancels a long fraction", "0.0000000000000000000000000125e27", true,
                     12.5f);

        // The float range: overflow is refused, underflow is silent.
        addParseRows("1e39", "1e39", false);
        addParseRows("-1e39", "-1e39", false);
        addParseRows("1e499", "1e499", false);
        addParseRows("1e4999", "1e4999", false);
        addParseRows("max", "3.4028235e38", true, FLT_MAX);
        addParseRows("-max", "-3.4028235e38", true, -FLT_MAX);
        addParseRows("below the midpoint", "3.40282356e38", true, FLT_MAX);
        addParseRows("just below the midpoint", "3.4028235677973366e38", true, FLT_MAX);
        addParseRows("above the midpoint", "3.4028236e38", false);
        // (2^24 - 1/2) * 2^104, halfway between FLT_MAX and 2^128: ties go to the even 2^128.
        addParseRows("the midpoint", "340282356779733661637539395458142568448", false);
        addParseRows("subnormal", "1e-45", true, std::numeric_limits<float>::denorm_min());
        addParseRows("below half the smallest subnormal", "7e-46", true, 0.0f);
        addParseRows("smallest normal", "1.17549435e-38", true, FLT_MIN);
        if constexpr (LDBL_MANT_DIG == 64) {
            // Decimal -> 80-bit extended -> float. Within 2^-64 of a midpoint the extended value
            // is the midpoint itself, which then goes to the even float.
            addParseRows("just above 1 + 2^-24", "1.000000059604644775390626", true, 1.0f);
            addParseRows("clearly above 1 + 2^-24", "1.0000000596046448", true, above(1.0f));
            addParseRows("one below the midpoint", "340282356779733661637539395458142568447",
                         false);
        }
    }

    void parseHeightAcceptsOnlyTheNumberForm() {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(bool, accepted);
        QFETCH(float, value);
        const std::optional<float> got = parseHeight(text, separator);
        QCOMPARE(got.has_value(), accepted);
        if (accepted) {
            QVERIFY2(*got == value, qPrintable(QStringLiteral("read %1, expected %2")
                                                   .arg(double(*got), 0, 'g', 17)
                                                   .arg(double(value), 0, 'g', 17)));
        }
    }

    void parsingTheFieldTextGivesTheHeightBack_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QChar>("separator");
        const float values[] = {0.0f,       1.0f,         -2.5f,         0.1f,         1.0f / 3.0f,
                                -12.34567f, 1234.5678f,   9.99996f,      0.00003f,     0.00007f,
                                -0.000049f, 123456789.0f, 1e17f,         above(1e18f), 1e20f,
                                -3.3e30f,   FLT_MAX,      below(FLT_MAX)};
        for (const QChar sep : {dot, comma}) {
            for (const float v : values) {
                QTest::addRow("%g [%c]", double(v), sep.toLatin1()) << v << sep;
            }
        }
    }

    void parsingTheFieldTextGivesTheHeightBack() {
        QFETCH(float, value);
        QFETCH(QChar, separator);
        const QString text = formatHeight(value, HeightPattern::Field, separator);
        const std::optional<float> back = parseHeight(text, separator);
        QVERIFY2(back.has_value(), qPrintable(text));
        if (std::fabs(value) >= 1e18f) {
            // 15 significant digits pin a float down exactly.
            QCOMPARE(*back, value);
        } else {
            // Off by at most half the last decimal, plus the float's own spacing.
            const double ulp = double(above(std::fabs(value))) - double(std::fabs(value));
            QVERIFY2(std::fabs(double(*back) - double(value)) <= 0.00005 + ulp, qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestHeightText)
#include "tst_heighttext.moc"
