#include "AboutDialog.h"

#include <string>

#include "ModuleInstance.h"
#include "entry/base/HostSuiteTable.h"
#include "entry/base/ModuleAllocator.h"
#include "PluginDialogs.h"

namespace {
constexpr int kTextBufferSize = 256;

// A block of host memory, given back on every path out.
class ModuleBlock {
public:
    explicit ModuleBlock(std::size_t size) : block_(AllocateModuleBlock(size)) {}
    ~ModuleBlock() { FreeModuleBlock(block_); }
    ModuleBlock(const ModuleBlock&) = delete;
    ModuleBlock& operator=(const ModuleBlock&) = delete;
    char* Text() const { return static_cast<char*>(block_); }

private:
    void* block_;
};
}  // namespace

void AboutDialog::OnInit() {
    char text[kTextBufferSize] = {};
    // 255 characters of room: at most 254 and the terminating zero. A string
    // missing from the module leaves the control empty.
    LoadStringA(static_cast<HINSTANCE>(GetModuleInstance(nullptr)), static_cast<UINT>(dialogId), text,
                kTextBufferSize - 1);
    SetDlgItemTextA(window, kAboutTextControl, text);
}

void AboutDialog::OnCommand(int controlId) {
    if (controlId == kWebAddressButton || controlId == kWebAddressButton + 1) OpenWebAddress(controlId);
}

void AboutDialog::OpenWebAddress(int controlId) {
    // Host memory and the file-list suite can fail here; what they throw is
    // caught in GenericProc, after the block and the address are given back.
    ModuleBlock caption(kTextBufferSize);
    caption.Text()[0] = '\0';
    GetDlgItemTextA(window, controlId, caption.Text(), kTextBufferSize);
    const std::string address = "http://" + std::string(caption.Text());
    FileList().BrowseUrl(address.c_str());
}

void AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_LBUTTONDOWN) {
        EndDialog(window, 0);
    } else if (message == WM_CHAR) {
        const unsigned character = static_cast<unsigned>(wParam) & 0xFFu;
        if (character == 27 || character == 13) EndDialog(window, 0);
    }
}

int32_t ShowAboutBox(PluginRef plugin, int32_t dialogId) {
    AboutDialog box;
    return static_cast<int32_t>(box.RunModal(plugin, "Generic About Box", dialogId));
}
