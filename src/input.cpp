#include "input.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <ostream>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Room around the data for the 16-byte and 64-byte loads of the fast paths.
// Past the data it holds NUL bytes, which are neither white space nor
// digits, so every scan stops at the end of the data.
constexpr std::size_t front_padding = 16;
constexpr std::size_t back_padding = 64;

IntegerReader::Options with_usable_buffer(IntegerReader::Options options) {
    options.buffer_size = std::max<std::size_t>(options.buffer_size, 1);
    return options;
}

#ifdef _WIN32
// Bytes are read untranslated, so that offsets stay exact. A carriage return
// before a line feed is white space just like the line feed, so dropping it
// would change no result; a 0x1A ends the input (Options).
void prepare(int fd) { _setmode(fd, _O_BINARY); }
long long read_some(int fd, char* buffer, std::size_t size) {
    return _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1U << 30)));
}
void seek_back(int fd, long long bytes) { _lseeki64(fd, -bytes, SEEK_CUR); }
#else
void prepare(int) {}
long long read_some(int fd, char* buffer, std::size_t size) { return ::read(fd, buffer, size); }
void seek_back(int fd, long long bytes) { ::lseek(fd, static_cast<off_t>(-bytes), SEEK_CUR); }
#endif

// The white space of the "C" locale: space, \t, \n, \v, \f and \r.
constexpr auto white_space_table = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) table[c] = true;
    return table;
}();
bool is_space(char c) { return white_space_table[static_cast<unsigned char>(c)]; }

// Stores a number from its sign and magnitude; returns false when the
// magnitude is out of range, with the nearest limit stored.
[[gnu::always_inline]] inline bool store_number(std::int32_t& value, bool negative, std::uint64_t magnitude) {
    if (magnitude > 2147483647U + std::uint64_t{negative}) [[unlikely]] {
        value = negative ? INT32_MIN : INT32_MAX;
        return false;
    }
    // Negation in unsigned arithmetic, where -2147483648 cannot overflow.
    const auto bits = static_cast<std::uint32_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? 0U - bits : bits);
    return true;
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64))
#define INTSTATS_FAST_PATHS 1

// SSE2 is part of every x86-64 processor; the SSSE3 conversion below is
// chosen at run time.

[[gnu::always_inline]] inline __m128i load16(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// Bit i is set when p[i] is white space, for the 64 bytes at p.
[[gnu::always_inline]] inline std::uint64_t white_space_mask(const char* p) {
    const __m128i tab = _mm_set1_epi8('\t');
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const __m128i bytes = load16(p + 16 * i);
        // \t to \r in one comparison: the byte minus \t, unsigned, is at most \r - \t.
        const __m128i from_tab = _mm_sub_epi8(bytes, tab);
        const __m128i is_white =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                         _mm_cmpeq_epi8(_mm_min_epu8(from_tab, _mm_set1_epi8('\r' - '\t')), from_tab));
        mask |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(is_white))} << (16 * i);
    }
    return mask;
}

// How many of the 16 bytes at p, from the first, are decimal digits.
[[gnu::always_inline]] inline unsigned leading_digits(const char* p) {
    const __m128i from_zero = _mm_sub_epi8(load16(p), _mm_set1_epi8('0'));
    const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(from_zero, _mm_set1_epi8(9)), from_zero);
    return static_cast<unsigned>(std::countr_zero(~static_cast<unsigned>(_mm_movemask_epi8(is_digit))));
}

// Sixteen digit values, most significant first, combined into their number.
[[gnu::always_inline]] inline std::uint64_t combine_pairs(__m128i pairs) {
    __m128i quads = _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
    quads = _mm_packs_epi32(quads, quads);
    const __m128i octets = _mm_madd_epi16(quads, _mm_setr_epi16(10000, 1, 10000, 1, 10000, 1, 10000, 1));
    const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(octets));
    return (both & 0xFFFFFFFF) * 100000000 + (both >> 32);
}

// The value of the 1 to 15 digits at p, with SSE2: the 16 bytes that end
// with the digits are loaded, the bytes before the digits are cleared to
// leading zeros, and pairs, quads and octets are combined by multiply-adds.
struct Sse2Digits {
    [[gnu::always_inline]] static std::uint64_t value(const char* p, unsigned digits) {
        static constexpr std::uint8_t last_of_32[32] = {
            0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        __m128i values = _mm_sub_epi8(load16(p + digits - 16), _mm_set1_epi8('0'));
        values = _mm_and_si128(values, load16(last_of_32 + digits));
        const __m128i zero = _mm_setzero_si128();
        const __m128i by_ten = _mm_setr_epi16(10, 1, 10, 1, 10, 1, 10, 1);
        return combine_pairs(_mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(values, zero), by_ten),
                                             _mm_madd_epi16(_mm_unpackhi_epi8(values, zero), by_ten)));
    }
};

// The same with SSSE3: one shuffle moves the digits to the end of the
// vector with zeros before them, and one multiply-add makes the pairs.
struct Ssse3Digits {
    [[gnu::target("ssse3")]] static std::uint64_t value(const char* p, unsigned digits) {
        static constexpr std::int8_t shift_to_end[32] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                         -1, -1, -1, -1, -1, 0,  1,  2,  3,  4,  5,
                                                         6,  7,  8,  9,  10, 11, 12, 13, 14, 15};
        const __m128i values =
            _mm_shuffle_epi8(_mm_sub_epi8(load16(p), _mm_set1_epi8('0')), load16(shift_to_end + digits));
        return combine_pairs(
            _mm_maddubs_epi16(values, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1)));
    }
};

struct Token {
    const char* end;  // just after the last digit
    std::uint64_t magnitude;
    bool negative;
};

// The common token: an optional sign and 1 to 15 digits. Reads up to 17
// bytes after p and 16 before the token's end.
template <class Digits>
[[gnu::always_inline]] inline bool parse_short_token(const char* p, Token& token) {
    const bool negative = *p == '-';
    p += (negative || *p == '+') ? 1 : 0;
    const unsigned digits = leading_digits(p);
    if (digits == 0 || digits == 16) return false;
    token = {p + digits, Digits::value(p, digits), negative};
    return true;
}

struct RunEnd {
    const char* next;  // where the next extraction begins
    std::int32_t made;
    bool out_of_range;  // the last number made
};

// Extractions of common tokens that end inside the data, found 64 bytes at a
// time: the white space of a block tells where every number in it starts, so
// numbers are parsed independently of each other rather than each waiting
// for the scan of the one before. Stops before anything else.
template <class Digits>
[[gnu::always_inline]] inline RunEnd run_of_numbers(const char* next, const char* end, std::int32_t* first,
                                                    std::int32_t count) {
    std::int32_t made = 0;
    std::uint64_t after_space = 1;  // a number may start right at next
    for (const char* block = next; block < end; block += 64) {
        const std::uint64_t spaces = white_space_mask(block);
        std::uint64_t starts = ~spaces & ((spaces << 1) | after_space);
        after_space = spaces >> 63;
        for (; starts != 0; starts &= starts - 1) {
            const char* const start = block + std::countr_zero(starts);
            if (start >= end) break;
            Token token;
            if (!parse_short_token<Digits>(start, token) || token.end == end) return {start, made, false};
            if (!store_number(first[made++], token.negative, token.magnitude)) return {token.end, made, true};
            if (made == count || !is_space(*token.end)) return {token.end, made, false};
        }
    }
    return {end, made, false};  // only white space was left
}

RunEnd run_with_sse2(const char* next, const char* end, std::int32_t* first, std::int32_t count) {
    return run_of_numbers<Sse2Digits>(next, end, first, count);
}

[[gnu::target("ssse3")]] RunEnd run_with_ssse3(const char* next, const char* end, std::int32_t* first,
                                               std::int32_t count) {
    return run_of_numbers<Ssse3Digits>(next, end, first, count);
}

using RunFunction = RunEnd (*)(const char*, const char*, std::int32_t*, std::int32_t);

RunFunction best_run() { return __builtin_cpu_supports("ssse3") ? run_with_ssse3 : run_with_sse2; }

#endif

}  // namespace

IntegerReader::IntegerReader(int fd, Options options)
    : fd_(fd),
      options_(with_usable_buffer(options)),
      buffer_(new char[front_padding + options_.buffer_size + back_padding]()),
      next_(buffer_.get() + front_padding),
      end_(next_),
      filled_end_(next_) {
    prepare(fd_);
}

void IntegerReader::hand_back() {
    // On a pipe or a terminal the seek fails, and there is nothing to give back.
    if (next_ != filled_end_) {
        const int saved_errno = errno;
        seek_back(fd_, filled_end_ - next_);
        errno = saved_errno;
        filled_end_ = next_;
    }
    input_closed_ = true;
    at_end_ = true;  // later extractions store nothing, and read nothing
}

IntegerReader& IntegerReader::operator>>(std::int32_t& value) {
    if (!good() || !skip_white_space()) {
        failed_ = true;
        return *this;
    }
    if (!extract_common(value)) extract_anywhere(value);
    return *this;
}

std::int32_t IntegerReader::extract_many(std::int32_t* first, std::int32_t count) {
    std::int32_t made = 0;
    while (made < count && !failed_) {
        made += extract_run(first + made, count - made);
        // What the run left: a token at the end of the buffer, an unusual
        // one, or the end of the input.
        if (made < count && !failed_) *this >> first[made++];
    }
    return made;
}

bool IntegerReader::skip_white_space() {
    for (;;) {
        while (is_space(*next_)) ++next_;
        if (next_ != end_) return true;
        if (!refill()) {
            at_end_ = true;
            return false;
        }
    }
}

bool IntegerReader::extract_common(std::int32_t& value) {
#ifndef INTSTATS_FAST_PATHS
    (void)value;
    return false;
#else
    Token token;
    if (!parse_short_token<Sse2Digits>(next_, token) || token.end == end_) return false;
    next_ = token.end;
    if (!store_number(value, token.negative, token.magnitude)) failed_ = true;
    return true;
#endif
}

std::int32_t IntegerReader::extract_run(std::int32_t* first, std::int32_t count) {
#ifndef INTSTATS_FAST_PATHS
    (void)first;
    (void)count;
    return 0;
#else
    if (!good()) return 0;
    static const RunFunction best = best_run();
    const RunFunction run = options_.baseline_instructions_only ? run_with_sse2 : best;
    const RunEnd ran = run(next_, end_, first, count);
    next_ = ran.next;
    if (ran.out_of_range) failed_ = true;
    return ran.made;
#endif
}

void IntegerReader::extract_anywhere(std::int32_t& value) {
    const bool negative = *next_ == '-';
    if (negative || *next_ == '+') ++next_;
    const std::uint64_t limit = 2147483647U + std::uint64_t{negative};
    std::uint64_t magnitude = 0;
    bool any_digit = false;
    for (;;) {
        if (next_ == end_ && !refill()) {
            at_end_ = true;
            break;
        }
        const unsigned digit = static_cast<unsigned char>(*next_) - unsigned{'0'};
        if (digit > 9) break;
        any_digit = true;
        // Past the limit the digits are still consumed, but no longer counted.
        magnitude = std::min(magnitude * 10 + digit, limit + 1);
        ++next_;
    }
    if (!any_digit) {
        value = 0;
        failed_ = true;
    } else if (!store_number(value, negative, magnitude)) {
        failed_ = true;
    }
}

bool IntegerReader::refill() {
    if (input_closed_) return false;
    if (options_.tied != nullptr) options_.tied->flush();
    char* const data = buffer_.get() + front_padding;
    long long received;
    do {
        received = read_some(fd_, data, options_.buffer_size);
    } while (received < 0 && errno == EINTR);
    if (received <= 0) {
        if (received < 0) read_error_ = errno;
        input_closed_ = true;
        received = 0;
    }
    next_ = data;
    filled_end_ = data + received;
    end_ = filled_end_;
    if (options_.substitute_ends_input) {
        if (const void* substitute = std::memchr(data, 0x1A, static_cast<std::size_t>(received))) {
            end_ = static_cast<const char*>(substitute);
            input_closed_ = true;
        }
    }
    std::fill_n(data + (end_ - data), back_padding, '\0');
    return next_ != end_;
}
