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
    std::int32_t minimum = extent.zeros_follow ? 0 : std::numeric_limits<std::int32_t>::max();
    for (std::size_t i = 0; i < extent.in_memory; ++i) {
        minimum = first[i] < minimum ? first[i] : minimum;
    }
    std::cout << "Minimum value: " << minimum << std::endl;
}

void report_maximum(const std::int32_t* first, std::int32_t count, std::int32_t stored) {
    const Extent extent = extent_of(count, stored);
    std::int32_t maximum = extent.zeros_follow ? 0 : std::numeric_limits<std::int32_t>::min();
    for (std::size_t i = 0; i < extent.in_memory; ++i) {
        maximum = first[i] > maximum ? first[i] : maximum;
    }
    std::cout << "Maximum value: " << maximum << std::endl;
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
