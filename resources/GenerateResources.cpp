// Writes the module's generated resource data into a directory for the
// resource compiler: pipl.bin, aete.bin and logo.bmp. It runs on the build
// machine, so it is told the machine the module is built for.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "LogoBitmap.h"
#include "PluginDescription.h"

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lumacut-resgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string machineName = argc == 3 ? argv[2] : "";
    if (machineName != "i386" && machineName != "amd64") {
        std::fprintf(stderr, "usage: lumacut-resgen OUTPUT_DIRECTORY i386|amd64\n");
        return 2;
    }
    const CodeMachine machine = machineName == "amd64" ? CodeMachine::kX64 : CodeMachine::kX86;
    const std::string directory = argv[1];
    try {
        const bool written = WriteFile(directory + "/pipl.bin", WritePropertyList(LumacutPropertyList(), machine)) &&
                             WriteFile(directory + "/aete.bin", WriteTerminology(LumacutTerminology())) &&
                             WriteFile(directory + "/logo.bmp", WriteBmp24(DrawLumacutLogo()));
        return written ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lumacut-resgen: %s\n", error.what());
        return 1;
    }
}
