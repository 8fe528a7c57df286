// intstats: asks for a count and that many whole numbers on standard input,
// then writes their minimum, maximum, sum and average to standard output.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "input.h"
#include "reports.h"

namespace {

constexpr int standard_input = 0;  // the file descriptor

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
// costs no memory until numbers are stored into it. One element more than
// the count keeps a count of 0 from looking like a failure.
ElementStorage obtain_storage(std::int32_t count) {
    const std::size_t elements = static_cast<std::size_t>(count) + 1;
    ElementStorage storage(static_cast<std::int32_t*>(std::calloc(elements, sizeof(std::int32_t))));
#ifdef __linux__
    // Storing hundreds of millions of numbers faults in one page at a time;
    // huge pages take a fraction of those faults. It is only advice, and its
    // errno must not stand in for that of a failed write.
    if (storage) {
        const int saved_errno = errno;
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const auto start = reinterpret_cast<std::uintptr_t>(storage.get());
        const std::uintptr_t first_page = (start + page - 1) / page * page;
        const std::uintptr_t last_page = (start + elements * sizeof(std::int32_t)) / page * page;
        if (last_page > first_page) {
            madvise(reinterpret_cast<void*>(first_page), last_page - first_page, MADV_HUGEPAGE);
        }
        errno = saved_errno;
    }
#endif
    return storage;
}

// A write that failed leaves standard output in a failed state; that is an
// error, not a success, once everything has been written. Nothing since the
// failed write has set errno.
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
    IntegerReader input(standard_input, {.tied = &std::cout});
    std::int32_t count = 0;  // stays 0 when the input ends before a count
    std::cout << "\n enter total no of elements=>";
    input >> count;
    if (input.read_error() != 0) {
        return fail("read error: " + reason(input.read_error()));
    }
    if (count < 0) {
        return fail("invalid count " + std::to_string(count) + ": must not be negative");
    }
    const ElementStorage elements = obtain_storage(count);
    if (!elements) {
        return fail("cannot obtain storage for " + std::to_string(count) + " numbers: " + reason(ENOMEM));
    }

    std::cout << "\n enter elements=>";
    // One extraction for each number, until the input fails or ends: no
    // later extraction would store anything, and the numbers after it are 0.
    const std::int32_t stored = input.extract_many(elements.get(), count);
    if (input.read_error() != 0) {
        return fail("read error: " + reason(input.read_error()));
    }
    // The rest of a file is the next reader's, even if writing the report
    // ends the process.
    input.hand_back();

    report_minimum(elements.get(), count, stored);
    report_maximum(elements.get(), count, stored);
    report_sum(elements.get(), count, stored);
    report_average(elements.get(), count, stored);
    return finish_output();
}
