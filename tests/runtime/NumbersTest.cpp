#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "runtime/ErrorNumber.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace runtime;

namespace {

TEST(Numbers, WholeNumberConversionTakesHalvesToEven)
{
    const std::pair<double, std::int64_t> rows[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    EXPECT_EQ(clng("2.5"), 2);
    EXPECT_EQ(clng(" 3.5 "), 4);
    EXPECT_EQ(errorNumberOf([] { clng("2147483648"); }), 6);
}

struct FormatRow {
    double value;
    const char* pattern;
    const char* text;
};

class FormatNumber : public testing::TestWithParam<FormatRow> {};

TEST_P(FormatNumber, Formats)
{
    EXPECT_EQ(formatNumber(GetParam().value, QString::fromLatin1(GetParam().pattern)),
              QString::fromLatin1(GetParam().text));
}

// Format rounds halves away from zero, unlike the whole-number conversions.
INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumber,
    testing::Values(FormatRow{5, "000", "005"}, FormatRow{100, "000", "100"},
                    FormatRow{1234, "000", "1234"}, FormatRow{99.5, "000", "100"},
                    FormatRow{2.5, "000", "003"}, FormatRow{0.125, "##0.00", "0.13"},
                    FormatRow{2.675, "##0.00", "2.68"}, FormatRow{0, "##0.00", "0.00"},
                    FormatRow{9570.0 / 1024 / 1024, "##0.00", "0.01"},
                    FormatRow{1234567.891, "##0.00", "1234567.89"},
                    FormatRow{-0.001, "##0.00", "0.00"}, FormatRow{0, "###,###,###,##0", "0"},
                    FormatRow{999, "###,###,###,##0", "999"},
                    FormatRow{1234567, "###,###,###,##0", "1,234,567"},
                    FormatRow{2147483647, "###,###,###,##0", "2,147,483,647"},
                    FormatRow{-1, "###,###,###,##0", "-1"}, FormatRow{7.5, "0.0#mb", "7.5mb"},
                    FormatRow{std::numeric_limits<double>::infinity(), "##0.00", "INF"}));

TEST(Numbers, NumberTextRoundTrips)
{
    const std::pair<double, const char*> rows[] = {
        {39793.5, "39793.5"}, {-12, "-12"}, {1e16, "1E+16"}, {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"}, {123456789012345, "123456789012345"},
        {0.00001, "1E-05"}, {0, "0"}, {-0.0, "0"}};
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(numberText(value), text);
        EXPECT_EQ(numberText(cdbl(numberText(value))), text);
    }
}

TEST(Numbers, SingleTextRoundTrips)
{
    const std::pair<float, const char*> rows[] = {
        {1234.5f, "1234.5"}, {9570, "9570"}, {0.1f, "0.1"}, {1e7f, "1E+07"},
        {1.0f / 3, "0.3333333"}, {-7.25f, "-7.25"}, {15345.75f, "15345.75"}};
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(singleText(value), text);
        EXPECT_EQ(singleText(csng(singleText(value))), text);
    }
    EXPECT_EQ(csng("15345.75"), 15345.75f);  // placements come back exact
    EXPECT_EQ(errorNumberOf([] { csng("1e39"); }), 6);
}

TEST(Numbers, ValTakesTheLeadingNumber)
{
    const std::pair<const char*, double> rows[] = {
        {"70.5", 70.5}, {" 7 0 ", 70}, {"abc", 0}, {"12abc", 12}, {"-3.5e2x", -350},
        {"1,000", 1}, {".5", 0.5}, {"", 0}, {"1e", 1}, {"- 4", -4}, {"2D3", 2000}, {"1e-400", 0},
        {"1e-99999999999999999999", 0}, {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(val(QString::fromLatin1(text)), expected) << text;
}

TEST(Numbers, StrictConversionsRefuseNonNumbers)
{
    EXPECT_EQ(cdbl(" 1,234.5 "), 1234.5);
    EXPECT_EQ(cdbl("+7"), 7);
    EXPECT_EQ(cdbl("-2.5E3"), -2500);
    EXPECT_EQ(cdbl("1e-400"), 0);
    EXPECT_EQ(errorNumberOf([] { cdbl("1e400"); }), 6);
    for (const char* text : {"", " ", "abc", "12abc", "1.2.3", "1e", ".", ",5", "1 2"}) {
        EXPECT_EQ(errorNumberOf([text] { cdbl(QString::fromLatin1(text)); }), err::TypeMismatch)
            << text;
        EXPECT_EQ(errorNumberOf([text] { csng(QString::fromLatin1(text)); }), err::TypeMismatch);
    }
}

TEST(Numbers, BooleanTextBothWays)
{
    const std::pair<const char*, bool> rows[] = {{"True", true}, {"false", false}, {"TRUE", true},
                                                 {"0", false},   {"-1", true},     {" 2.5 ", true}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(cbool(QString::fromLatin1(text)), expected) << text;
    EXPECT_EQ(cbool(boolText(true)), true);
    EXPECT_EQ(cbool(boolText(false)), false);
    for (const char* text : {"yes", "", "Truth"})
        EXPECT_EQ(errorNumberOf([text] { cbool(QString::fromLatin1(text)); }), err::TypeMismatch);
}

TEST(RuntimeError, CarriesNumberAndDescription)
{
    EXPECT_EQ(RuntimeError(75, "custom").description(), "custom");
    EXPECT_STREQ(RuntimeError(9).what(), "Run-time error '9': Subscript out of range");
    EXPECT_EQ(errorNumberOf([] { runtime::raise(err::PathNotFound); }), 76);
}

}  // namespace
