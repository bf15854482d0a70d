// Runs a fuzz target's entry over files without libFuzzer, for the ordinary test suite: each
// file named and each file below each folder named, in name order. A reader that crashes takes
// the process down; one that throws is reported here; both fail the test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file or folder>...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            const std::size_t before = files.size();
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                    files.push_back(entry.path());
            std::sort(files.begin() + std::ptrdiff_t(before), files.end());
            if (files.size() == before) {
                std::fprintf(stderr, "%s: no inputs\n", arg.c_str()); // a corpus that went missing
                return 1;
            }
        } else if (fs::is_regular_file(arg, ec)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", arg.c_str());
            return 1;
        }
    }
    int failures = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::printf("%s\n", file.c_str());
        std::fflush(stdout); // the last name printed is the input that crashed
        try {
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: the reader threw: %s\n", file.c_str(), e.what());
            ++failures;
        } catch (...) {
            std::fprintf(stderr, "%s: the reader threw\n", file.c_str());
            ++failures;
        }
    }
    std::printf("%zu inputs, %d failed\n", files.size(), failures);
    return failures ? 1 : 0;
}
