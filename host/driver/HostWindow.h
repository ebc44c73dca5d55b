// The host's own main window, as a real host has one: a visible top-level
// window on the calling thread, made the thread's active window so that a
// plug-in's dialog finds an owner to sit over. Windows only (HostWindow_win.cpp).
#ifndef LUMACUT_HOST_HOST_WINDOW_H
#define LUMACUT_HOST_HOST_WINDOW_H

#include <string>

// A rectangle in screen coordinates, right and bottom exclusive.
struct WindowBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class HostWindow {
public:
    enum class Frame {
        None,    // a bare popup: the window is its client area
        Titled,  // caption, system menu and sizing border, like a host's main window
    };

    // The client area lands exactly on `client`, whatever the frame.
    explicit HostWindow(const WindowBox& client, Frame frame = Frame::Titled,
                        const std::string& title = "Lumacut host");
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool Created() const { return handle_ != nullptr; }
    void* Handle() const { return handle_; }
    // Makes it the calling thread's active window again.
    void Activate();
    bool IsActive() const;
    bool IsEnabled() const;
    WindowBox ClientOnScreen() const;

private:
    void* handle_ = nullptr;
};

#endif
