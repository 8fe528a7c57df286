// Writes seeded benchmark input: the count, then that many random signed
// 32-bit numbers, a given number to a line (1 gives one number a line and no
// count, the form datamash reads).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_input COUNT PER_LINE SEED FILE\n");
        return 2;
    }
    const long long count = std::stoll(argv[1]);
    const int per_line = std::stoi(argv[2]);
    std::mt19937_64 generator(std::stoull(argv[3]));
    std::FILE* out = std::fopen(argv[4], "wb");
    if (out == nullptr) {
        std::perror(argv[4]);
        return 1;
    }
    if (per_line > 1) std::fprintf(out, "%lld\n", count);
    for (long long i = 0; i < count; ++i) {
        const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(generator()));
        const bool line_ends = per_line <= 1 || (i + 1) % per_line == 0 || i + 1 == count;
        std::fprintf(out, "%d%c", static_cast<int>(value), line_ends ? '\n' : ' ');
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[4]);
        return 1;
    }
    return 0;
}
