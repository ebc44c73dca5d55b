#include "BatchInputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "host/common/OutputFiles.h"
#include "MaskCommands.h"
#include "host/run/MaskJob.h"

namespace fs = std::filesystem;

namespace {
std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A folder's photographs: its entries are only listed, never opened, so a
// FIFO or device among them is refused when its turn comes, unread.
bool AddFolder(const std::string& folder, std::vector<std::string>& photos, std::string& error) {
    std::vector<std::string> names;
    std::error_code failure;
    for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end; entry.increment(failure)) {
        const std::string name = entry->path().filename().string();
        if (name[0] != '.' && IsPhotographName(name)) names.push_back(name);
    }
    if (failure) {
        error = "cannot list " + folder + ": " + failure.message();
        return false;
    }
    if (names.empty()) {
        error = folder + " holds no photographs (JPEG, PNG, TIFF or PNM, by extension)";
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) photos.push_back(PathInFolder(folder, name));
    return true;
}
}  // namespace

bool IsPhotographName(const std::string& name) {
    const std::string extension = Lowered(fs::path(name).extension().string());
    for (const char* known : {".jpg", ".jpeg", ".png", ".tif", ".tiff", ".pnm", ".pgm", ".ppm"})
        if (extension == known) return true;
    return false;
}

bool ListPhotographs(const std::vector<std::string>& inputs, std::vector<std::string>& photos, std::string& error) {
    photos.clear();
    for (const std::string& input : inputs) {
        std::error_code failure;
        if (fs::is_directory(input, failure)) {
            if (!AddFolder(input, photos, error)) return false;
        } else {
            photos.push_back(input);
        }
    }
    std::map<std::string, std::string> byStem;
    for (const std::string& photo : photos) {
        const auto [first, added] = byStem.emplace(StemOf(photo), photo);
        if (!added) {
            error = first->second + " and " + photo + " would both write " + first->first +
                    "; rename one, or run them apart";
            return false;
        }
    }
    return true;
}

std::vector<std::string> ShardOf(const std::vector<std::string>& photos, int index, int count) {
    std::vector<std::string> slice;
    for (std::size_t i = static_cast<std::size_t>(index - 1); i < photos.size(); i += static_cast<std::size_t>(count))
        slice.push_back(photos[i]);
    return slice;
}

std::string StemOf(const std::string& path) { return fs::path(path).stem().string(); }

std::string PhotoFolderOf(const CommandLine& line, const std::string& photo) {
    return PathInFolder(line.outDir, StemOf(photo));
}

std::vector<std::string> OutputsOf(const CommandLine& line, const std::string& photo) {
    const bool batch = line.action == CommandLine::Action::Batch;
    if (!line.all) return {batch ? PathInFolder(line.outDir, StemOf(photo) + ".png") : line.mask};
    const std::string folder = batch ? PhotoFolderOf(line, photo) : line.outDir;
    std::vector<std::string> outputs;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) outputs.push_back(PathInFolder(folder, MaskFileName(mode)));
    outputs.push_back(PathInFolder(folder, kContactSheetName));
    return outputs;
}

bool OutputsExist(const std::vector<std::string>& outputs) {
    std::error_code failure;
    for (const std::string& output : outputs)
        if (!fs::is_regular_file(output, failure)) return false;
    return true;
}
