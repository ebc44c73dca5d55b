// Drives a plug-in's modal dialog from a watcher thread, as a user would,
// while the host's thread sits inside the plug-in call: finds the dialog,
// reads its controls, clicks, types, closes, and takes its picture.
// Windows only (DialogDriver_win.cpp).
//
//   int checked = 0;
//   DialogDriver driver([&](DialogView& dialog) {
//       checked = dialog.Checked(7);
//       dialog.Click(1);
//   });
//   status = SendRun(module, host, &parameters);
//   ASSERT_TRUE(driver.Finish()) << driver.Problem();
//
// The script runs while the host's thread is blocked in the dialog's modal
// loop; it only records, the test asserts after Finish().
#ifndef LUMACUT_HOST_DIALOG_DRIVER_H
#define LUMACUT_HOST_DIALOG_DRIVER_H

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "HostWindow.h"
#include "host/common/RgbImage.h"

// A dialog that is open on the watched thread. Every call goes to the
// dialog's thread as a message, with a time limit, so a hung dialog fails
// a test instead of hanging it.
class DialogView {
public:
    explicit DialogView(void* window) : window_(window) {}
    void* Window() const { return window_; }
    bool IsOpen() const;

    // ---- reading
    std::string Caption() const;
    bool HasControl(int id) const;
    std::string Text(int id) const;
    std::string ClassName(int id) const;
    // BST_UNCHECKED 0, BST_CHECKED 1; -1 when there is no such control.
    int Checked(int id) const;
    bool Visible(int id) const;
    bool Enabled(int id) const;
    unsigned long Style(int id) const;  // 0 for id 0 means the dialog's own
    unsigned long ExStyle(int id) const;
    WindowBox Box() const;        // the dialog's outer rectangle on screen
    WindowBox Box(int id) const;  // a control's, on screen
    // The control that has the keyboard focus, 0 if none of the dialog's.
    int FocusId() const;

    // ---- acting
    // A button click as the button itself produces it (BM_CLICK).
    bool Click(int id);
    // A key pressed and released on the focused control, through the modal
    // loop, so the dialog manager's keyboard handling (Escape, Enter, Tab)
    // applies.
    void PressKey(int virtualKey);
    // A character delivered straight to the dialog window.
    void TypeChar(char character);
    // The title bar's close box.
    void CloseBox();
    // A left click at a point of the dialog's client area, delivered to the
    // window under it (the dialog, or the control there).
    void ClickAt(int x, int y);
    // WM_COMMAND as a control would send it.
    void Command(int id, int notification = 0);

    // Waits until the dialog is gone.
    bool WaitUntilClosed(int milliseconds) const;
    // What is on screen where the dialog is; writing it is the caller's.
    bool Screenshot(RgbImage& image, std::string& error) const;

private:
    void* window_;
};

class DialogDriver {
public:
    using Script = std::function<void(DialogView&)>;

    // Starts watching the calling thread for a dialog; the script runs once
    // one is open and visible. Under Wine on an emulated CPU a dialog can
    // take many seconds to come up, hence the generous default.
    explicit DialogDriver(Script script, int appearMilliseconds = 120000, int closeMilliseconds = 60000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Call once the plug-in call has returned: stops waiting for a dialog
    // that never came, closes one left open, joins the watcher. True when a
    // dialog appeared, the script ran and the dialog closed on its own.
    bool Finish();
    bool Appeared() const { return appeared_; }
    const std::string& Problem() const { return problem_; }

private:
    void Watch();
    void* FindDialog() const;

    Script script_;
    int appearMilliseconds_;
    int closeMilliseconds_;
    unsigned long hostThread_;
    std::atomic<bool> started_{false};
    std::atomic<bool> callReturned_{false};
    bool appeared_ = false;
    std::string problem_;
    std::thread watcher_;
};

#endif
