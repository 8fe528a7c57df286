#include "reports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What `write` writes to standard output.
template <class Write>
std::string captured(Write write) {
    std::ostringstream captured;
    std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
    write();
    std::cout.rdbuf(saved);
    return captured.str();
}

// The four reports in the program's order, with `stored` of the `count`
// numbers in memory, and with all of them through the two-argument forms.
std::string reports_of(const std::vector<std::int32_t>& elements, std::int32_t count, std::int32_t stored) {
    return captured([&] {
        report_minimum(elements.data(), count, stored);
        report_maximum(elements.data(), count, stored);
        report_sum(elements.data(), count, stored);
        report_average(elements.data(), count, stored);
    });
}

std::string reports_of(const std::vector<std::int32_t>& elements, std::int32_t count) {
    return captured([&] {
        report_minimum(elements.data(), count);
        report_maximum(elements.data(), count);
        report_sum(elements.data(), count);
        report_average(elements.data(), count);
    });
}

std::string reports_of(const std::vector<std::int32_t>& elements) {
    return reports_of(elements, static_cast<std::int32_t>(elements.size()));
}

std::string lines(const std::string& minimum, const std::string& maximum, const std::string& sum,
                  const std::string& average) {
    return "Minimum value: " + minimum + "\nMaximum value: " + maximum + "\nSum: " + sum +
           "\nAverage: " + average + "\n";
}

#ifdef _WIN32
const std::string empty_average = "-nan(ind)";
#else
const std::string empty_average = "-nan";
#endif

struct ReportCase {
    const char* name;
    std::vector<std::int32_t> elements;
    std::string expected;
};

void PrintTo(const ReportCase& report_case, std::ostream* out) { *out << report_case.name; }

class ReportTable : public testing::TestWithParam<ReportCase> {};

TEST_P(ReportTable, WritesTheFourLines) { EXPECT_EQ(reports_of(GetParam().elements), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportTable,
    testing::Values(
        ReportCase{"Empty", {}, lines("2147483647", "-2147483648", "0", empty_average)},
        ReportCase{"One", {7}, lines("7", "7", "7", "7")},
        ReportCase{"Typical", {3, -1, 10, 8}, lines("-1", "10", "20", "5")},
        ReportCase{"SumWrapsUp", {2147483647, 1}, lines("1", "2147483647", "-2147483648", "-1.07374e+09")},
        ReportCase{"SumWrapsTwice", {2147483647, 2147483647}, lines("2147483647", "2147483647", "-2", "-1")},
        ReportCase{
            "SumWrapsDown", {-2147483648, -1}, lines("-2147483648", "-1", "2147483647", "1.07374e+09")},
        ReportCase{"Negatives", {-1, -2}, lines("-2", "-1", "-3", "-1.5")},
        ReportCase{"Equal", {4, 4, 4}, lines("4", "4", "12", "4")},
        ReportCase{"SixDigitsRounded", {1, 2, 2}, lines("1", "2", "5", "1.66667")},
        ReportCase{"Thirds", {10, 0, 0}, lines("0", "10", "10", "3.33333")},
        ReportCase{"Half", {2, 3}, lines("2", "3", "5", "2.5")},
        ReportCase{"ExponentAtAMillion", {1000000}, lines("1000000", "1000000", "1000000", "1e+06")},
        ReportCase{"JustBelowExponent", {999999}, lines("999999", "999999", "999999", "999999")},
        ReportCase{"RoundsUpIntoExponent",
                   {9999995, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                   lines("0", "9999995", "9999995", "1e+06")},
        ReportCase{"SmallFraction",
                   {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                   lines("0", "1", "1", "0.05")},
        ReportCase{"Limits", {-2147483648, 2147483647}, lines("-2147483648", "2147483647", "-1", "-0.5")}),
    [](const testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

TEST(Reports, NegativeCountVisitsNothing) {
    const std::vector<std::int32_t> elements{5, 6};
    EXPECT_EQ(reports_of(elements, -2), lines("2147483647", "-2147483648", "0", "-0"));
}

TEST(Reports, CoverExactlyTheCountGiven) {
    const std::vector<std::int32_t> elements{5, -9, 100};
    EXPECT_EQ(reports_of(elements, 1), lines("5", "5", "5", "5"));
}

// Numbers that are not in memory are zeros: the reports must write what they
// write for the same list with the zeros stored.
TEST(Reports, ZerosAfterTheStoredNumbers) {
    const std::vector<std::vector<std::int32_t>> prefixes{{}, {5}, {-5}, {3, 9, 1}, {-3, -9}};
    for (const auto& prefix : prefixes) {
        for (std::int32_t zeros = 0; zeros <= 3; ++zeros) {
            std::vector<std::int32_t> materialised = prefix;
            materialised.resize(prefix.size() + static_cast<std::size_t>(zeros), 0);
            const auto stored = static_cast<std::int32_t>(prefix.size());
            EXPECT_EQ(reports_of(prefix, stored + zeros, stored), reports_of(materialised))
                << prefix.size() << " stored, " << zeros << " zeros";
        }
    }
}

// Lists of every length up to a few vector widths, with the extremes in every
// position, against the standard algorithms and a 64-bit sum reduced mod 2^32.
TEST(Reports, AgreeWithReferenceOnRandomLists) {
    std::mt19937 generator(20261211);
    std::uniform_int_distribution<std::int32_t> any_value(std::numeric_limits<std::int32_t>::min(),
                                                          std::numeric_limits<std::int32_t>::max());
    for (int length = 1; length <= 70; ++length) {
        for (int round = 0; round < 20; ++round) {
            std::vector<std::int32_t> elements(static_cast<std::size_t>(length));
            for (auto& element : elements) element = any_value(generator) / (round % 2 == 0 ? 1 : 1000);
            std::int64_t wide_sum = 0;
            for (const auto element : elements) wide_sum += element;
            const auto sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide_sum));
            std::ostringstream average;
            average << static_cast<double>(sum) / length;
            ASSERT_EQ(reports_of(elements), lines(std::to_string(*std::ranges::min_element(elements)),
                                                  std::to_string(*std::ranges::max_element(elements)),
                                                  std::to_string(sum), average.str()))
                << "length " << length << " round " << round;
        }
    }
}

}  // namespace
