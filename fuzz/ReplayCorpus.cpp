// Feeds every file of the folders it is given to a fuzz target, once each,
// in name order: the target's corpus replayed by an ordinary build (gcc,
// under ASan and UBSan) at every landing, so that an input a fuzzer once
// found failing fails again if its fault comes back. The target aborts on
// a finding, and a sanitizer ends the run on a fault, either failing the
// test; a folder with no file in it fails too, so a corpus moved away is not
// a silent pass.
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        std::error_code failure;
        for (fs::directory_iterator entry(argv[i], failure), end; !failure && entry != end; entry.increment(failure))
            if (entry->is_regular_file()) files.push_back(entry->path());
        if (failure || files.empty()) {
            std::fprintf(stderr, "%s: no corpus files in %s\n", argv[0], argv[i]);
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], file.string().c_str());
                return 1;
            }
            // A finding's name is on the last line printed before it.
            std::printf("%s\n", file.filename().string().c_str());
            std::fflush(stdout);
            // libFuzzer never passes a null pointer, not even for no bytes.
            static const uint8_t kNothing = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : reinterpret_cast<const uint8_t*>(bytes.data()),
                                   bytes.size());
        }
        std::printf("replayed %zu files of %s\n", files.size(), argv[i]);
    }
    return 0;
}
