#include "reports.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>

namespace {

// The numbers a pass reads from memory, and whether zeros follow them. The
// loops below index with size_t and keep the running value in a plain local,
// so that the compiler can vectorise them.
struct Extent {
    std::size_t in_memory;
    bool zeros_follow;
};

Extent extent_of(std::int32_t count, std::int32_t stored) {
    const std::int32_t length = std::max(0, count);
    const std::int32_t in_memory = std::clamp(stored, 0, length);
    return {static_cast<std::size_t>(in_memory), in_memory < length};
}

#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
// The x86-64 baseline has no packed minimum or maximum of 32-bit integers and
// needs four instructions for each; SSE4.1 has one. The loader picks the
// clone for the processor once.
#define INTSTATS_VECTOR_CLONES __attribute__((target_clones("sse4.1", "default")))
#else
#define INTSTATS_VECTOR_CLONES
#endif

INTSTATS_VECTOR_CLONES std::int32_t smallest(const std::int32_t* first, std::size_t length,
                                             std::int32_t start) {
    std::int32_t minimum = start;
    for (std::size_t i = 0; i < length; ++i) {
        minimum = first[i] < minimum ? first[i] : minimum;
    }
    return minimum;
}

INTSTATS_VECTOR_CLONES std::int32_t largest(const std::int32_t* first, std::size_t length,
                                            std::int32_t start) {
    std::int32_t maximum = start;
    for (std::size_t i = 0; i < length; ++i) {
        maximum = first[i] > maximum ? first[i] : maximum;
    }
    return maximum;
}

// Sums wrap modulo 2^32: the addition is done in unsigned arithmetic, where
// wrapping is defined, and C++20 defines the conversion back to int32_t.
// Zeros add nothing, so only the numbers in memory are read.
std::int32_t wrapping_sum(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    const Extent extent = extent_of(count, stored);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < extent.in_memory; ++i) {
        sum += static_cast<std::uint32_t>(first[i]);
    }
    return static_cast<std::int32_t>(sum);
}

void write_average(double average) {
#ifdef _WIN32
    // The Windows C runtime spells the NaN of 0.0 / 0.0 "-nan(ind)"; the
    // runtime this build links writes plain "nan", so spell it here.
    if (std::isnan(average)) {
        std::cout << (std::signbit(average) ? "-nan(ind)" : "nan");
        return;
    }
#endif
    std::cout << average;
}

}  // namespace

void report_minimum(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    const Extent extent = extent_of(count, stored);
    const std::int32_t start = extent.zeros_follow ? 0 : std::numeric_limits<std::int32_t>::max();
    std::cout << "Minimum value: " << smallest(first, extent.in_memory, start) << std::endl;
}

void report_maximum(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    const Extent extent = extent_of(count, stored);
    const std::int32_t start = extent.zeros_follow ? 0 : std::numeric_limits<std::int32_t>::min();
    std::cout << "Maximum value: " << largest(first, extent.in_memory, start) << std::endl;
}

void report_sum(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    std::cout << "Sum: " << wrapping_sum(first, count, stored) << std::endl;
}

void report_average(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    // Its own summing pass, with the same wrap; a count of 0 gives 0.0 / 0.0.
    const double average =
        static_cast<double>(wrapping_sum(first, count, stored)) / static_cast<double>(count);
    std::cout << "Average: ";
    write_average(average);
    std::cout << std::endl;
}
