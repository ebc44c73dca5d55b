// libFuzzer target: a saved step, the descriptor file --replay reads, from
// its bytes to a run of the plug-in. The text is parsed as the file's
// content; where it parses, it is printed as a file again and must read
// back as the same value (the printed form is what a user keeps and edits).
// Then it goes to the plug-in as a run's scripting parameters, as a host
// passes a recorded step, with every event played on a small document; the
// run must end with every handle, block, string and suite released and the
// host's contract kept, whatever the descriptor holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "host/engine/Document.h"
#include "host/engine/EventExecutor.h"
#include "host/suites/ActionText.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/DescriptorFile.h"
#include "host/suites/StandInHost.h"

extern "C" HostStatus AutoPluginMain(const char* caller, const char* selector, void* message) noexcept;

namespace {
[[noreturn]] void Finding(const std::string& what, const std::string& detail) {
    std::fprintf(stderr, "lumacut descriptor fuzz: %s\n%s\n", what.c_str(), detail.c_str());
    std::abort();
}

// Not a NaN anywhere: a NaN is unequal to itself, so such a value is held
// to its printed form alone.
bool EqualToItself(const DescriptorValue& value) { return value == value; }

void RoundTrip(const DescriptorValue& parsed) {
    const std::string printed = DescriptorFileText(parsed);
    std::string error;
    const std::optional<DescriptorValue> again = ParseDescriptorFileText(printed, "printed", &error);
    if (!again) Finding("the printed form does not parse: " + error, printed);
    if (DescriptorFileText(*again) != printed) Finding("the printed form changes when read back", printed);
    if (EqualToItself(parsed) && !(*again == parsed)) Finding("the value changes when printed and read back", printed);
}

// A ramp of every fourth level, so that every mode selects part of it.
RgbPlanes SmallPicture() {
    Plane gray(16, 4);
    for (int y = 0; y < gray.Height(); ++y)
        for (int x = 0; x < gray.Width(); ++x) gray.MutableRow(y)[x] = static_cast<uint8_t>(x * 16 + y * 4);
    return {gray, gray, gray};
}

void Run(const DescriptorValue& parameters, const std::string& text) {
    StandInHost host;
    Document document(SmallPicture());
    host.Actions().SetPlayHandler([&](const PlayedEvent& event) { return ExecuteEvent(document, event); });
    ActionParameters incoming{0, 0, host.Actions().NewDescriptor(parameters)};
    EntryMessage message{};
    message.self = host.Plugin();
    message.basic = host.Basic();
    message.actionParameters = &incoming;
    AutoPluginMain("PS Photoshop", "Do It", &message);
    // Whatever descriptor the parameters hold now is the host's to free.
    if (incoming.descriptor != nullptr) host.Actions().TakeDescriptor(incoming.descriptor);
    const std::string detail = text + "\n--- host log ---\n" + host.LogText();
    if (host.Actions().LiveHandles() != 0) Finding("Actions handles left live by the run", detail);
    if (host.LiveBlocks() != 0) Finding("host blocks left allocated", detail);
    if (host.LiveStrings() != 0) Finding("plug-in name not released", detail);
    if (host.SuitesHeld() != 0) Finding("a suite is held after the run", detail);
    if (!host.FirstError().empty()) Finding("host contract broken: " + host.FirstError(), detail);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The loader reads no more than this; a fuzzer's longer inputs would
    // only repeat the size refusal.
    if (size > kMaxDescriptorFileBytes) return 0;
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<DescriptorValue> parsed = ParseDescriptorFileText(content, "input", &error);
    if (!parsed) {
        if (error.rfind("input: ", 0) != 0 || error.find('\n') != std::string::npos)
            Finding("a refusal that is not one line naming the file: " + error, content);
        return 0;
    }
    RoundTrip(*parsed);
    Run(*parsed, content);
    return 0;
}
