#include "CliTestSupport.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& name) {
    path_ = ::testing::TempDir() + "lumacut-cli-" + name;
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::set<std::string> ScratchFolder::Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(path_))
        names.insert(fs::relative(entry.path(), path_).generic_string());
    return names;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string PngHeader(uint32_t width, uint32_t height) {
    std::string png = "\x89PNG\r\n\x1a\n";
    auto be32 = [&](uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((value >> shift) & 0xFF);
    };
    be32(13);
    png += "IHDR";
    be32(width);
    be32(height);
    png += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit gray, no interlace
    be32(0);                                        // CRC: not checked when only the header is read
    return png;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
