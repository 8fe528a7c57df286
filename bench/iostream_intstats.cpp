// The same dialogue reading with `std::cin >>` on unsynchronised streams:
// the baseline the benchmark measures intstats against.
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "reports.h"

int main() {
    std::ios::sync_with_stdio(false);
    std::int32_t count = 0;
    std::cout << "\n enter total no of elements=>";
    std::cin >> count;
    if (count < 0) return EXIT_FAILURE;
    auto* elements =
        static_cast<std::int32_t*>(std::calloc(static_cast<std::size_t>(count) + 1, sizeof(std::int32_t)));
    if (elements == nullptr) return EXIT_FAILURE;
    std::cout << "\n enter elements=>";
    std::int32_t stored = 0;
    while (stored < count && std::cin) std::cin >> elements[stored++];
    report_minimum(elements, count, stored);
    report_maximum(elements, count, stored);
    report_sum(elements, count, stored);
    report_average(elements, count, stored);
    std::free(elements);
    return std::cout ? EXIT_SUCCESS : EXIT_FAILURE;
}
