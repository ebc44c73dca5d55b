#include <windows.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "DialogDriver.h"

namespace {
// Long enough for a dialog on an emulated CPU, short enough that a hung
// dialog fails the test rather than the test run.
constexpr UINT kMessageTimeout = 30000;
constexpr DWORD kPollInterval = 20;

HWND Handle(void* window) { return static_cast<HWND>(window); }

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kMessageTimeout,
                               result != nullptr ? result : &ignored) != 0;
}

std::string WindowText(HWND window) {
    if (window == nullptr) return {};
    DWORD_PTR length = 0;
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
    std::vector<char> text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) return {};
    return std::string(text.data(), copied);
}

WindowBox BoxOf(HWND window) {
    RECT rect{};
    if (window != nullptr) GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Key messages as the keyboard driver posts them: repeat count 1 and the
// scan code, plus the previous-state and transition bits on release.
LPARAM KeyData(int virtualKey, bool release) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), 0);  // MAPVK_VK_TO_VSC
    uint32_t data = 1u | (scan << 16);
    if (release) data |= (1u << 30) | (1u << 31);
    return static_cast<LPARAM>(data);
}

using Clock = std::chrono::steady_clock;

Clock::time_point After(int milliseconds) { return Clock::now() + std::chrono::milliseconds(milliseconds); }

bool CaptureScreenArea(const WindowBox& box, RgbImage& image) {
    const int width = box.Width();
    const int height = box.Height();
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool captured = false;
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        captured = BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        if (captured) {
            image.width = width;
            image.height = height;
            image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
            const uint8_t* source = static_cast<const uint8_t*>(bits);
            for (std::size_t pixel = 0; pixel < static_cast<std::size_t>(width) * height; ++pixel) {
                image.pixels[pixel * 3 + 0] = source[pixel * 4 + 2];
                image.pixels[pixel * 3 + 1] = source[pixel * 4 + 1];
                image.pixels[pixel * 3 + 2] = source[pixel * 4 + 0];
            }
        }
        SelectObject(memory, previous);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return captured;
}
}  // namespace

// ---- DialogView

bool DialogView::IsOpen() const { return IsWindow(Handle(window_)) != 0; }

std::string DialogView::Caption() const { return WindowText(Handle(window_)); }

bool DialogView::HasControl(int id) const { return GetDlgItem(Handle(window_), id) != nullptr; }

std::string DialogView::Text(int id) const { return WindowText(GetDlgItem(Handle(window_), id)); }

std::string DialogView::ClassName(int id) const {
    char name[64] = {};
    HWND control = GetDlgItem(Handle(window_), id);
    if (control == nullptr || GetClassNameA(control, name, sizeof name) == 0) return {};
    return name;
}

int DialogView::Checked(int id) const {
    HWND control = GetDlgItem(Handle(window_), id);
    DWORD_PTR state = 0;
    if (control == nullptr || !Send(control, BM_GETCHECK, 0, 0, &state)) return -1;
    return static_cast<int>(state);
}

bool DialogView::Visible(int id) const {
    HWND control = GetDlgItem(Handle(window_), id);
    return control != nullptr && IsWindowVisible(control) != 0;
}

bool DialogView::Enabled(int id) const {
    HWND control = GetDlgItem(Handle(window_), id);
    return control != nullptr && IsWindowEnabled(control) != 0;
}

unsigned long DialogView::Style(int id) const {
    HWND window = id == 0 ? Handle(window_) : GetDlgItem(Handle(window_), id);
    return window == nullptr ? 0 : static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE));
}

unsigned long DialogView::ExStyle(int id) const {
    HWND window = id == 0 ? Handle(window_) : GetDlgItem(Handle(window_), id);
    return window == nullptr ? 0 : static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE));
}

WindowBox DialogView::Box() const { return BoxOf(Handle(window_)); }

WindowBox DialogView::Box(int id) const { return BoxOf(GetDlgItem(Handle(window_), id)); }

int DialogView::FocusId() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(Handle(window_), nullptr);
    if (!GetGUIThreadInfo(thread, &info) || info.hwndFocus == nullptr) return 0;
    if (!IsChild(Handle(window_), info.hwndFocus)) return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

bool DialogView::Click(int id) {
    HWND control = GetDlgItem(Handle(window_), id);
    return control != nullptr && Send(control, BM_CLICK, 0, 0);
}

void DialogView::PressKey(int virtualKey) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(Handle(window_), nullptr);
    HWND target = Handle(window_);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), KeyData(virtualKey, false));
    PostMessageA(target, WM_KEYUP, static_cast<WPARAM>(virtualKey), KeyData(virtualKey, true));
}

void DialogView::TypeChar(char character) {
    Send(Handle(window_), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(character)), 1);
}

void DialogView::CloseBox() { PostMessageA(Handle(window_), WM_SYSCOMMAND, SC_CLOSE, 0); }

void DialogView::ClickAt(int x, int y) {
    HWND dialog = Handle(window_);
    POINT point{x, y};
    HWND target = ChildWindowFromPointEx(dialog, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (target == nullptr) target = dialog;
    POINT onScreen = point;
    ClientToScreen(dialog, &onScreen);
    if (target != dialog) {
        // Text and picture controls let clicks through to the dialog, as
        // the mouse's hit test would.
        DWORD_PTR hit = 0;
        Send(target, WM_NCHITTEST, 0, MAKELPARAM(onScreen.x, onScreen.y), &hit);
        if (static_cast<LRESULT>(hit) == HTTRANSPARENT) target = dialog;
    }
    POINT local = onScreen;
    ScreenToClient(target, &local);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
}

void DialogView::Command(int id, int notification) {
    HWND control = GetDlgItem(Handle(window_), id);
    Send(Handle(window_), WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(control));
}

bool DialogView::WaitUntilClosed(int milliseconds) const {
    const Clock::time_point deadline = After(milliseconds);
    while (IsOpen()) {
        if (Clock::now() > deadline) return false;
        Sleep(kPollInterval);
    }
    return true;
}

bool DialogView::Screenshot(RgbImage& image, std::string& error) const {
    HWND dialog = Handle(window_);
    // Bring every control's latest state onto the screen first.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Send(dialog, WM_NULL, 0, 0);
    Sleep(300);
    if (!CaptureScreenArea(Box(), image)) {
        error = "cannot capture the screen under the dialog";
        return false;
    }
    return true;
}

// ---- DialogDriver

DialogDriver::DialogDriver(Script script, int appearMilliseconds, int closeMilliseconds)
    : script_(std::move(script)),
      appearMilliseconds_(appearMilliseconds),
      closeMilliseconds_(closeMilliseconds),
      hostThread_(GetCurrentThreadId()) {
    watcher_ = std::thread([this] {
        started_ = true;
        Watch();
    });
    // A new thread is announced to every loaded module (DllMain) before it
    // runs; once it runs, that is over and cannot race the test's own calls.
    while (!started_) Sleep(1);
}

DialogDriver::~DialogDriver() {
    if (watcher_.joinable()) Finish();
}

bool DialogDriver::Finish() {
    callReturned_ = true;
    if (watcher_.joinable()) watcher_.join();
    return appeared_ && problem_.empty();
}

namespace {
BOOL CALLBACK TakeFirstDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;  // the dialog manager's class
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}
}  // namespace

void* DialogDriver::FindDialog() const {
    HWND found = nullptr;
    EnumThreadWindows(static_cast<DWORD>(hostThread_), TakeFirstDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void DialogDriver::Watch() {
    const Clock::time_point appearDeadline = After(appearMilliseconds_);
    HWND dialog = nullptr;
    // Visible: the dialog manager shows the dialog once WM_INITDIALOG is
    // done and the loop first goes idle.
    while (dialog == nullptr || !IsWindowVisible(dialog)) {
        dialog = static_cast<HWND>(FindDialog());
        if (dialog != nullptr && IsWindowVisible(dialog)) break;
        if (callReturned_) {
            problem_ = "the call returned and no dialog appeared";
            return;
        }
        if (Clock::now() > appearDeadline) {
            problem_ = "no dialog appeared within " + std::to_string(appearMilliseconds_) + " ms";
            return;
        }
        Sleep(kPollInterval);
    }
    appeared_ = true;

    DialogView view(dialog);
    try {
        script_(view);
    } catch (const std::exception& error) {
        problem_ = std::string("the script failed: ") + error.what();
    } catch (...) {
        problem_ = "the script failed";
    }
    if (view.WaitUntilClosed(closeMilliseconds_)) return;
    // The host's thread is stuck in the dialog: end it so the test can go on.
    if (problem_.empty()) problem_ = "the dialog was left open";
    view.Command(IDCANCEL);
    if (!view.WaitUntilClosed(closeMilliseconds_)) {
        Send(dialog, WM_CLOSE, 0, 0);
        view.WaitUntilClosed(closeMilliseconds_);
    }
}
