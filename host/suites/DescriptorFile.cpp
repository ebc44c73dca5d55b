#include "DescriptorFile.h"

#include <fstream>
#include <sstream>

#include "ActionText.h"
#include "ActionsHost.h"

namespace {
// A recorded descriptor is a handful of keys; anything much larger is not
// one of ours and is refused before it is read into memory.
constexpr std::streamoff kMaxFileSize = 1 << 20;

void Say(std::string* error, const std::string& what) {
    if (error != nullptr) *error = what;
}
}  // namespace

bool SaveDescriptorFile(const std::string& path, const DescriptorValue& descriptor, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        Say(error, "cannot write " + path);
        return false;
    }
    out << "# lumacut descriptor\n" << DescriptorText(descriptor) << "\n";
    out.close();
    if (!out) {
        Say(error, "cannot write " + path);
        return false;
    }
    return true;
}

std::optional<DescriptorValue> LoadDescriptorFile(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Say(error, "cannot read " + path);
        return std::nullopt;
    }
    // At most one byte more than a descriptor may hold is read, whatever
    // size the file reports: a 32-bit build's file offsets need not tell
    // the size of a file beyond 2 GiB truly.
    std::string content(static_cast<std::size_t>(kMaxFileSize) + 1, '\0');
    in.read(&content[0], static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > static_cast<std::size_t>(kMaxFileSize)) {
        Say(error, path + " is too large to be a descriptor");
        return std::nullopt;
    }
    std::istringstream lines(content);
    std::string text;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '#') continue;
        text += line + "\n";
    }
    std::string why;
    std::optional<DescriptorValue> descriptor = ParseDescriptor(text, &why);
    if (!descriptor) Say(error, path + ": " + why);
    return descriptor;
}

bool SaveDescriptorHandle(const ActionsHost& actions, ActionDescriptor descriptor, const std::string& path,
                          std::string* error) {
    const std::optional<DescriptorValue> content = actions.Content(descriptor);
    if (!content) {
        Say(error, "no live descriptor to save");
        return false;
    }
    return SaveDescriptorFile(path, *content, error);
}

ActionDescriptor LoadDescriptorHandle(ActionsHost& actions, const std::string& path, std::string* error) {
    const std::optional<DescriptorValue> content = LoadDescriptorFile(path, error);
    return content ? actions.NewDescriptor(*content) : nullptr;
}
