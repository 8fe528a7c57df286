#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "input.h"
#include "reader_reference.h"

namespace {

using reader_reference::difference;
using reader_reference::Script;

// Tiny buffers make every token straddle reads; the real size takes the
// 64-byte block path.
const std::vector<std::size_t> buffer_sizes{1, 2, 3, 7, 64, IntegerReader::default_buffer_size};

const std::vector<Script> scripts{
    {},                 // one `>>` at a time
    {100},              // one extract_many for everything
    {0, 3, 0, 0, 1, 7}  // a count first, then a mix
};

void expect_agreement(const std::string& input) {
    for (const std::size_t buffer_size : buffer_sizes) {
        for (const Script& script : scripts) {
            for (const bool substitute_ends_input : {false, true}) {
                for (const bool baseline_instructions_only : {false, true}) {
                    const std::string found = difference(
                        input, {buffer_size, substitute_ends_input, baseline_instructions_only}, script);
                    ASSERT_EQ(found, "") << found;
                }
            }
        }
    }
}

TEST(IntegerReader, AgreesOnAdversarialInputs) {
    using namespace std::string_literals;
    // clang-format off
    const std::vector<std::string> inputs{
        "", " ", "\n", "5", "-5", "+5", "-", "+", "--5", "+-5", "-+5", "- 5", "-\n",
        "0", "-0", "+0", "00000000000000000000000000000000000000", "0000000000000000000000000000000000007",
        "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967296", "-4294967296",
        "9223372036854775807", "9223372036854775808", "18446744073709551616",
        "123456789012345678901234567890", "-123456789012345678901234567890 5",
        "999999999999999", "9999999999999999", "99999999999999999", "-000000000000002147483648",
        "1 2 3", "1 2 3\n", "3\n5 1 4", " \t\n\v\f\r7 \t\n\v\f\r8 \t\n\v\f\r",
        "0x10", "0X10 5", "1,000", "1.5", "1e5", "12abc 5", "5-3", "5+3", "1\r\n2\r\n",
        "\0"s, "5\0 6"s, "\0 5"s, "\x80", "5\xC3\xA9 6", "\xFF\xFF", "5\xFA" "6", "5\xFF" "6",
        "\x1A", "5\x1A", "1 2\x1A 3", "\x1A 5", "5 \x1A", "-\x1A", "12\x1A" "34",
        "\x1C 5", "\x1F" "5", "\x7F" "5", "/5", ":5", "5/", "5:"};
    // clang-format on
    for (const std::string& input : inputs) expect_agreement(input);
}

// Numbers of every length that the fast paths distinguish, at every offset
// against the 64-byte blocks and the ends of reads.
TEST(IntegerReader, AgreesAcrossBlockAndReadBoundaries) {
    std::string input;
    for (int digits = 1; digits <= 20; ++digits) {
        for (int shift = 0; shift < 3; ++shift) {
            input += std::string(static_cast<std::size_t>(shift), ' ');
            input += (digits % 3 == 0 ? "-" : digits % 3 == 1 ? "+" : "");
            for (int i = 0; i < digits; ++i) input += static_cast<char>('1' + (i + shift) % 9);
            input += '\n';
        }
    }
    for (std::size_t cut = 0; cut <= 80; ++cut) expect_agreement(input.substr(cut));
}

// Random token soups: white space, signs, zeros, digit runs of every length
// and arbitrary bytes.
TEST(IntegerReader, AgreesOnRandomInputs) {
    std::mt19937 generator(7);
    auto below = [&](unsigned bound) {
        return std::uniform_int_distribution<unsigned>(0, bound - 1)(generator);
    };
    const std::string white = " \t\n\v\f\r";
    for (int round = 0; round < 1500; ++round) {
        std::string input;
        const unsigned tokens = below(12);
        for (unsigned t = 0; t < tokens; ++t) {
            for (unsigned i = below(3); i > 0; --i) input += white[below(6)];
            if (below(4) == 0) input += "+-"[below(2)];
            if (below(5) == 0) input += std::string(below(20), '0');
            for (unsigned i = below(below(2) == 0 ? 31 : 11); i > 0; --i)
                input += static_cast<char>('0' + below(10));
            if (below(8) == 0) input += static_cast<char>(below(256));
        }
        expect_agreement(input);
    }
}

// A long run of random 32-bit numbers, as a benchmark feeds the program,
// across many reads of the real buffer size.
TEST(IntegerReader, AgreesOnALongRunOfNumbers) {
    std::mt19937 generator(11);
    std::string input;
    for (int i = 0; i < 200000; ++i) {
        input += std::to_string(static_cast<std::int32_t>(generator()));
        input += (i % 10 == 9) ? '\n' : ' ';
    }
    for (const Script& script : {Script{}, Script{0, 250000}}) {
        for (const bool baseline_instructions_only : {false, true}) {
            const std::string found =
                difference(input, {.baseline_instructions_only = baseline_instructions_only}, script);
            ASSERT_EQ(found, "") << found.substr(0, 2000);
        }
    }
}

TEST(IntegerReader, HandsBackTheRestOfAFileAndReadsNoMore) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_GE(std::fputs("12 34 56", file.get()), 0);
    ASSERT_EQ(std::fflush(file.get()), 0);
    const int fd = fileno(file.get());
    lseek(fd, 0, SEEK_SET);
    IntegerReader in(fd, {});
    std::int32_t value = 0;
    in >> value;
    EXPECT_EQ(value, 12);
    in.hand_back();
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 2);
    value = reader_reference::untouched;
    in >> value;
    EXPECT_EQ(value, reader_reference::untouched);
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 2);
}

}  // namespace
