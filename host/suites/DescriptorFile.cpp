#include "DescriptorFile.h"

#include <fstream>

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
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || size > kMaxFileSize) {
        Say(error, path + " is too large to be a descriptor");
        return std::nullopt;
    }
    std::string text;
    std::string line;
    while (std::getline(in, line)) {
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
