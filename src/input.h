// Formatted reading of signed 32-bit integers from a file descriptor, fast
// and with exactly the results of `std::istream >> int` in the "C" locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>

class IntegerReader {
public:
    static constexpr std::size_t default_buffer_size = std::size_t{1} << 17;
#ifdef _WIN32
    static constexpr bool platform_substitute_ends_input = true;
#else
    static constexpr bool platform_substitute_ends_input = false;
#endif

    struct Options {
        // Output to flush before each read of the descriptor, so that a prompt
        // is visible before the program waits for its answer.
        std::ostream* tied = nullptr;
        std::size_t buffer_size = default_buffer_size;
        // A byte 0x1A ends the input, as it does for a text stream on Windows.
        bool substitute_ends_input = platform_substitute_ends_input;
        // Keep to the x86-64 baseline even where the processor offers more,
        // so that tests cover both ways of converting digits.
        bool baseline_instructions_only = false;
    };

    IntegerReader(int fd, Options options);
    // Hands back what was read but not consumed: a seekable input is left
    // positioned just after the last character an extraction consumed.
    // Done by the destructor too; afterwards the input counts as ended.
    void hand_back();
    ~IntegerReader() { hand_back(); }
    IntegerReader(const IntegerReader&) = delete;
    IntegerReader& operator=(const IntegerReader&) = delete;

    // One extraction, as `std::istream >> int` does it: white space is
    // skipped, then an optional sign and decimal digits are taken, up to the
    // first character that cannot continue the number. A field with no
    // number stores 0 and fails; a number out of range stores the nearest
    // limit and fails; the end of input before a number stores nothing and
    // fails. Once failed or at the end, nothing more is stored.
    IntegerReader& operator>>(std::int32_t& value);

    // The same as `while (made < count && *this) *this >> first[made++];`,
    // returning `made`, but many times faster on long runs of numbers.
    std::int32_t extract_many(std::int32_t* first, std::int32_t count);

    bool good() const { return !failed_ && !at_end_; }
    bool fail() const { return failed_; }
    bool eof() const { return at_end_; }
    explicit operator bool() const { return !failed_; }
    // The errno of a read that failed, or 0; the input ended there.
    int read_error() const { return read_error_; }

private:
    bool skip_white_space();
    bool extract_common(std::int32_t& value);
    void extract_anywhere(std::int32_t& value);
    std::int32_t extract_run(std::int32_t* first, std::int32_t count);
    bool refill();

    int fd_;
    Options options_;
    std::unique_ptr<char[]> buffer_;
    const char* next_;
    const char* end_;         // the end of what extractions may consume
    const char* filled_end_;  // the end of what was read: past end_ after a 0x1A
    bool input_closed_ = false;
    bool failed_ = false;
    bool at_end_ = false;
    int read_error_ = 0;
};
