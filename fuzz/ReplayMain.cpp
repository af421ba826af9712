// Runs every file of the given corpus folders (or single files) through a
// fuzz target once, without libFuzzer. The normal and sanitized test builds
// use this to replay the committed corpora with the project's own compiler.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The files to replay: regular files named directly, and the regular files
// directly inside named folders, in name order so that runs repeat exactly.
bool CollectInputs(int argc, char** argv, std::vector<std::filesystem::path>& inputs)
{
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(path, ec))
                if (entry.is_regular_file(ec))
                    files.push_back(entry.path());
            if (ec) {
                std::fprintf(stderr, "cannot list %s: %s\n", path.c_str(), ec.message().c_str());
                return false;
            }
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (std::filesystem::is_regular_file(path, ec)) {
            inputs.push_back(path);
        } else {
            std::fprintf(stderr, "no such corpus file or folder: %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);

    std::vector<std::filesystem::path> inputs;
    if (!CollectInputs(argc, argv, inputs))
        return 1;
    // A replay that runs nothing proves nothing.
    if (inputs.empty()) {
        std::fprintf(stderr, "no corpus inputs given\n");
        return 1;
    }

    std::vector<std::uint8_t> bytes;
    for (const auto& path : inputs) {
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
        // An empty vector's data() may be null; the fuzzer never passes that.
        static const std::uint8_t kNothing = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed without a finding\n", inputs.size());
    return 0;
}
