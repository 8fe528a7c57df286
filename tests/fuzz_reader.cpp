// libFuzzer target: IntegerReader against std::istringstream >> int on
// arbitrary bytes. The first byte picks the buffer size, the script of
// extractions, whether 0x1A ends the input and whether the reader keeps to
// baseline instructions.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reader_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::size_t buffer_sizes[] = {1, 2, 3, 7, 64, 4096, IntegerReader::default_buffer_size, 5};
    static const reader_reference::Script scripts[] = {{}, {100}, {0, 3, 0, 0, 1, 7}, {5, 5, 5}};
    const std::uint8_t control = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const reader_reference::ReaderSetting setting{buffer_sizes[control & 7], (control & 0x80) != 0,
                                                  (control & 0x40) != 0};
    const std::string found = reader_reference::difference(input, setting, scripts[(control >> 3) & 3]);
    if (!found.empty()) {
        std::fputs(found.c_str(), stderr);
        std::abort();
    }
    return 0;
}
