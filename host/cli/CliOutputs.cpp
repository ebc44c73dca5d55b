#include "CliOutputs.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "CliPrint.h"
#include "CommandLine.h"
#include "host/image/PngWriter.h"

DoneLine Wrote(const std::string& path) {
    return [path](double) { return "wrote " + path; };
}

std::string WriteOutput(const std::string& path, const FileWriter& write, const DoneLine& done) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!WriteAtomically(path, write, error)) return error;
    const std::string line = done(Milliseconds(std::chrono::steady_clock::now() - start));
    if (!line.empty()) Say(line);
    return std::string();
}

std::string WritePicture(const std::string& path, const RgbImage& picture, const DoneLine& done) {
    return WriteOutput(
        path, [&](const std::string& temporary, std::string& why) { return WriteRgbPng(temporary, picture, why); },
        done);
}

std::string WriteMaskPicture(const std::string& path, const Plane& mask, const DoneLine& done, PngTimes* times) {
    return WriteOutput(
        path,
        [&](const std::string& temporary, std::string& why) {
            return WriteGrayPng(temporary, mask, why, MaskPngSettings(), times);
        },
        done);
}

std::string WriteText(const std::string& path, const std::string& text, const DoneLine& done) {
    const auto write = [&](const std::string& temporary, std::string& why) {
        std::ofstream file(temporary, std::ios::binary);
        file << text;
        file.close();
        if (!file) why = "cannot write " + temporary;
        return static_cast<bool>(file);
    };
    return WriteOutput(path, write, done);
}

int ExitFor(const std::string& error) { return error.empty() ? kExitOk : Fail(kExitInputOutput, error); }

int MakeOutFolder(const std::string& folder) {
    std::error_code failure;
    std::filesystem::create_directory(folder, failure);
    if (failure) return Fail(kExitInputOutput, "cannot make " + folder + ": " + failure.message());
    return kExitOk;
}
