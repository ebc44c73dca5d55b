#include "CliTestSupport.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
// Pixels that depend on `seed`, so that no two photographs are alike.
void WritePatternPhoto(const std::string& path, int seed, int width, int height) {
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) ppm += static_cast<char>((x * (c + 1) + y * seed + (x ^ y) * seed) & 0xFF);
    WriteFile(path, ppm);
}
}  // namespace

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

std::vector<std::string> MakePhotos(const ScratchFolder& folder, int count) {
    fs::create_directory(folder / "in");
    std::vector<std::string> stems;
    for (int i = 0; i < count; ++i) {
        stems.push_back(std::string(1, static_cast<char>('a' + i)));
        WritePatternPhoto(folder / ("in/" + stems.back() + ".ppm"), i + 3, 1200, 800);
    }
    return stems;
}

std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).generic_string()] = FileText(entry.path().string());
    return files;
}

void ExpectNoTemporary(const std::string& folder) {
    for (const auto& [name, bytes] : Contents(folder)) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

void ExpectPlainText(const ProgramResult& result) {
    for (const std::string* text : {&result.out, &result.err}) {
        EXPECT_EQ(text->find('\x1b'), std::string::npos) << "no terminal, no escape sequences";
        // A carriage return ends a line under Windows; alone, it rewrites one in place.
        for (std::size_t at = text->find('\r'); at != std::string::npos; at = text->find('\r', at + 1))
            EXPECT_EQ(text->compare(at, 2, "\r\n"), 0) << "a line rewritten in place without a terminal";
    }
}
