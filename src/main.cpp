// intstats: asks for a count and that many whole numbers on standard input,
// then writes their minimum, maximum, sum and average to standard output.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "reports.h"

namespace {

struct FreeDeleter {
    void operator()(std::int32_t* p) const { std::free(p); }
};
using ElementStorage = std::unique_ptr<std::int32_t[], FreeDeleter>;

// Errors are one line on standard error, after whatever standard output
// already holds, so that a console shows them in order.
int fail(const std::string& message) {
    std::cout.flush();
    std::cerr << "intstats: " << message << '\n';
    return EXIT_FAILURE;
}

std::string reason(int error) { return std::strerror(error != 0 ? error : EIO); }

// Zeroed storage, so that numbers the input never supplied read as 0. The
// allocator hands a large block over as untouched zero pages, so a huge count
// costs no memory until numbers are stored into it.
ElementStorage obtain_storage(std::int32_t count) {
    return ElementStorage(static_cast<std::int32_t*>(
        std::calloc(static_cast<std::size_t>(count) + 1, sizeof(std::int32_t))));
}

bool input_failed() { return std::ferror(stdin) != 0; }

// A write that failed leaves standard output in a failed state; that is an
// error, not a success, once everything has been written.
int finish_output() {
    const int write_errno = errno;
    std::cout.flush();
    if (!std::cout) {
        return fail("write error: " + reason(write_errno));
    }
    return EXIT_SUCCESS;
}

}  // namespace

int main() {
    std::int32_t count = 0;  // stays 0 when the input ends before a count
    std::cout << "\n enter total no of elements=>";
    std::cin >> count;
    if (input_failed()) {
        return fail("read error: " + reason(errno));
    }
    if (count < 0) {
        return fail("invalid count " + std::to_string(count) + ": must not be negative");
    }
    const ElementStorage elements = obtain_storage(count);
    if (!elements) {
        return fail("cannot obtain storage for " + std::to_string(count) +
                    " numbers: " + reason(ENOMEM));
    }

    std::cout << "\n enter elements=>";
    // Once the input has failed or ended no later extraction stores
    // anything, so the loop stops there; the numbers after it are 0.
    std::int32_t stored = 0;
    while (stored < count && std::cin) {
        std::cin >> elements[stored];
        ++stored;
    }
    if (input_failed()) {
        return fail("read error: " + reason(errno));
    }

    report_minimum(elements.get(), count, stored);
    report_maximum(elements.get(), count, stored);
    report_sum(elements.get(), count, stored);
    report_average(elements.get(), count, stored);
    return finish_output();
}
