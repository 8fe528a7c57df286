// Runs the same extractions through IntegerReader and through
// std::istringstream >> int, the reference, and compares what each stored,
// its state after each step and where it left the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "input.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace reader_reference {

// A step of a script: 0 is one `>>`; n > 0 is one extract_many(n), which the
// reference performs as its loop of `>>`. After the script both go on one
// `>>` at a time until they fail, then make one more.
using Script = std::vector<int>;

// Stored into every target before a step, so that "stores nothing" shows.
constexpr std::int32_t untouched = 0x5EED;

template <class Stream>
std::string state_of(const Stream& in) {
    std::string state;
    state += in.good() ? 'g' : '-';
    state += in.fail() ? 'f' : '-';
    state += in.eof() ? 'e' : '-';
    return state;
}

// Runs a script on either stream and describes each step: what it made and
// stored, and the state after it. `extract_many(first, count)` makes the
// steps of count > 0 and returns how many extractions it made.
template <class Stream, class ExtractMany>
std::string run_script(Stream& in, ExtractMany extract_many, const Script& script) {
    std::string text;
    auto record = [&](int step_kind, const std::vector<std::int32_t>& values, int made) {
        text += std::to_string(step_kind) + ": made " + std::to_string(made) + " [";
        for (const auto value : values) text += std::to_string(value) + ' ';
        text += "] " + state_of(in) + '\n';
    };
    auto single = [&] {
        std::vector<std::int32_t> values{untouched};
        in >> values[0];
        record(0, values, 1);
    };
    for (const int step_kind : script) {
        if (step_kind == 0) {
            single();
        } else {
            std::vector<std::int32_t> values(static_cast<std::size_t>(step_kind), untouched);
            const int made = extract_many(values.data(), step_kind);
            record(step_kind, values, made);
        }
    }
    while (!in.fail()) single();
    single();
    return text;
}

inline std::string reference_transcript(std::string_view input, bool substitute_ends_input,
                                        const Script& script) {
    std::string text(input);
    if (substitute_ends_input) text = text.substr(0, text.find('\x1A'));
    std::istringstream in(text);
    auto extract_many = [&in](std::int32_t* first, int count) {
        int made = 0;
        while (made < count && in) in >> first[made++];
        return made;
    };
    std::string transcript = run_script(in, extract_many, script);
    in.clear();
    return transcript + "offset " + std::to_string(static_cast<long long>(in.tellg())) + '\n';
}

struct ReaderSetting {
    std::size_t buffer_size = IntegerReader::default_buffer_size;
    bool substitute_ends_input = false;
    bool baseline_instructions_only = false;
};

// The input is written to a temporary file, so that the reader's
// hand-back of unconsumed input can be checked through the file offset.
inline std::string reader_transcript(std::string_view input, const ReaderSetting& setting,
                                     const Script& script) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    if (!file || std::fwrite(input.data(), 1, input.size(), file.get()) != input.size() ||
        std::fflush(file.get()) != 0) {
        return "cannot write a temporary file\n";
    }
    const int fd = fileno(file.get());
    lseek(fd, 0, SEEK_SET);
    std::string transcript;
    {
        IntegerReader in(fd, {.buffer_size = setting.buffer_size,
                              .substitute_ends_input = setting.substitute_ends_input,
                              .baseline_instructions_only = setting.baseline_instructions_only});
        auto extract_many = [&in](std::int32_t* first, int count) { return in.extract_many(first, count); };
        transcript = run_script(in, extract_many, script);
    }
    return transcript + "offset " + std::to_string(static_cast<long long>(lseek(fd, 0, SEEK_CUR))) + '\n';
}

// An empty string when the reader and the reference agree; otherwise both
// transcripts.
inline std::string difference(std::string_view input, const ReaderSetting& setting, const Script& script) {
    const std::string expected = reference_transcript(input, setting.substitute_ends_input, script);
    const std::string actual = reader_transcript(input, setting, script);
    if (expected == actual) return {};
    std::string input_escaped;
    for (const char c : input) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            input_escaped += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            input_escaped += escaped;
        }
    }
    return "input \"" + input_escaped + "\", buffer " + std::to_string(setting.buffer_size) +
           (setting.substitute_ends_input ? ", 0x1A ends input" : "") +
           (setting.baseline_instructions_only ? ", baseline instructions" : "") + "\nstd::istringstream:\n" +
           expected + "IntegerReader:\n" + actual;
}

}  // namespace reader_reference
