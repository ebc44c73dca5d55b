#include <windows.h>

#include "HostWindow.h"

namespace {
const char* const kClassName = "LumacutHostWindow";

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterHostClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = HostWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}
}  // namespace

HostWindow::HostWindow(const WindowBox& client, Frame frame, const std::string& title) {
    if (!RegisterHostClass()) return;
    const DWORD style = frame == Frame::Titled ? WS_OVERLAPPEDWINDOW : WS_POPUP;
    RECT outer{client.left, client.top, client.right, client.bottom};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND window = CreateWindowExA(0, kClassName, title.c_str(), style, outer.left, outer.top, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return;
    handle_ = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    Activate();
}

HostWindow::~HostWindow() {
    if (handle_ != nullptr) DestroyWindow(static_cast<HWND>(handle_));
}

void HostWindow::Activate() {
    HWND window = static_cast<HWND>(handle_);
    if (window == nullptr) return;
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

bool HostWindow::IsActive() const { return handle_ != nullptr && GetActiveWindow() == static_cast<HWND>(handle_); }

bool HostWindow::IsEnabled() const { return handle_ != nullptr && IsWindowEnabled(static_cast<HWND>(handle_)) != 0; }

WindowBox HostWindow::ClientOnScreen() const {
    HWND window = static_cast<HWND>(handle_);
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
