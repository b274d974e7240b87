// Runs a fuzz target over every file of its kept corpus, so the corpus is an ordinary test in
// builds without libFuzzer. An empty or missing corpus fails: a replay of nothing proves nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    std::error_code error;
    size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(argv[1], error)) {
        if (!item.is_regular_file())
            continue;
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++replayed;
    }
    if (error || replayed == 0) {
        std::fprintf(stderr, "%s: no corpus to replay\n", argv[1]);
        return 1;
    }
    std::printf("replayed %zu inputs from %s\n", replayed, argv[1]);
    return 0;
}
