// Runs a fuzz target over stored inputs without libFuzzer: every file of the folders (or the files)
// named on the command line, in name order. Any compiler builds it; CI replays the corpora with it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A heap block of exactly the input's size, so that AddressSanitizer catches a read past its end.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    std::fprintf(stderr, "replay: %s (%zu bytes)\n", path.string().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR|FILE...\n", argv[0]);
        return 2;
    }
    int runs = 0;
    for (int a = 1; a < argc; ++a) {
        std::filesystem::path arg(argv[a]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            if (files.empty()) {
                std::fprintf(stderr, "replay: %s holds no inputs\n", arg.string().c_str());
                return 1;
            }
            for (const auto& f : files) {
                if (!RunFile(f))
                    return 1;
                ++runs;
            }
        } else {
            if (!RunFile(arg))
                return 1;
            ++runs;
        }
    }
    std::printf("replay: %d inputs ran\n", runs);
    return 0;
}
