// The four statistics of a list of numbers, each written as one line to
// standard output.
#pragma once

#include <cstdint>

// Each report makes its own pass over the `count` numbers at `first` and
// writes its label, its value and a flushing line end. A count of 0 or less
// visits nothing.
//
// Of the `count` numbers, only the first `stored` need be in memory: the rest
// are 0. When the input ends before it supplies every number, the zeros it
// leaves are accounted for without reading memory that was never written,
// so a huge count with few numbers costs neither time nor memory.
void report_minimum(const std::int32_t* first, std::int32_t count, std::int32_t stored);
void report_maximum(const std::int32_t* first, std::int32_t count, std::int32_t stored);
void report_sum(const std::int32_t* first, std::int32_t count, std::int32_t stored);
void report_average(const std::int32_t* first, std::int32_t count, std::int32_t stored);

// The same reports over a list whose numbers are all in memory.
inline void report_minimum(const std::int32_t* first, std::int32_t count) {
    report_minimum(first, count, count);
}
inline void report_maximum(const std::int32_t* first, std::int32_t count) {
    report_maximum(first, count, count);
}
inline void report_sum(const std::int32_t* first, std::int32_t count) { report_sum(first, count, count); }
inline void report_average(const std::int32_t* first, std::int32_t count) {
    report_average(first, count, count);
}
