#include "DescriptorFile.h"

#include <cstdio>
#include <fstream>

#include "ActionText.h"
#include "ActionsHost.h"
#include "host/common/RegularFile.h"

namespace {
void Say(std::string* error, const std::string& what) {
    if (error != nullptr) *error = what;
}
}  // namespace

std::string DescriptorFileText(const DescriptorValue& descriptor) {
    return "# lumacut descriptor\n" + DescriptorText(descriptor) + "\n";
}

std::optional<DescriptorValue> ParseDescriptorFileText(const std::string& content, const std::string& name,
                                                       std::string* error) {
    if (content.empty()) {
        Say(error, name + ": the file is empty");
        return std::nullopt;
    }
    // Text saved by an editor in another encoding is told as such, not as
    // a syntax error at its first byte.
    static const char* const kByteOrderMarks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    for (const char* mark : kByteOrderMarks)
        if (content.rfind(mark, 0) == 0) {
            Say(error, name + ": starts with a byte-order mark (Unicode text); a descriptor is plain ASCII text");
            return std::nullopt;
        }
    const std::size_t nul = content.find('\0');
    if (nul != std::string::npos) {
        Say(error, name + ": a NUL byte at " + TextPosition(content, nul) +
                       " (UTF-16 text?); a descriptor is plain ASCII text");
        return std::nullopt;
    }
    // Comment lines are emptied, not dropped, and nothing is added, so that
    // a failure's line and column are the file's own.
    std::string text;
    bool comment = false;
    bool lineStart = true;
    for (const char c : content) {
        if (lineStart) comment = c == '#';
        lineStart = c == '\n';
        if (!comment || lineStart) text += c;
    }
    std::string why;
    std::optional<DescriptorValue> descriptor = ParseDescriptor(text, &why);
    if (!descriptor) Say(error, name + ": " + why);
    return descriptor;
}

bool SaveDescriptorFile(const std::string& path, const DescriptorValue& descriptor, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        Say(error, "cannot write " + path);
        return false;
    }
    out << DescriptorFileText(descriptor);
    out.close();
    if (!out) {
        Say(error, "cannot write " + path);
        return false;
    }
    return true;
}

std::optional<DescriptorValue> LoadDescriptorFile(const std::string& path, std::string* error) {
    std::string why;
    const FilePointer file = OpenRegularFile(path, why);
    if (file == nullptr) {
        Say(error, why);
        return std::nullopt;
    }
    // At most one byte more than a descriptor may hold is read, whatever
    // size the file reports: a 32-bit build's file offsets need not tell
    // the size of a file beyond 2 GiB truly.
    std::string content(kMaxDescriptorFileBytes + 1, '\0');
    content.resize(std::fread(&content[0], 1, content.size(), file.get()));
    if (std::ferror(file.get())) {
        Say(error, "cannot read " + path);
        return std::nullopt;
    }
    if (content.size() > kMaxDescriptorFileBytes) {
        Say(error, path + " is too large to be a descriptor");
        return std::nullopt;
    }
    return ParseDescriptorFileText(content, path, error);
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
