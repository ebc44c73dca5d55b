// The About box: the plug-in's name, version and copyright (string 16000),
// and a button that has the host open the maker's web page.
#ifndef LUMACUT_UI_ABOUT_DIALOG_H
#define LUMACUT_UI_ABOUT_DIALOG_H

#include "ModalDialog.h"
#include "resources/ResourceIds.h"

constexpr int kAboutTextControl = LUMACUT_ABOUT_TEXT_CONTROL;
constexpr int kWebAddressButton = LUMACUT_WEB_ADDRESS_BUTTON;

class AboutDialog : public ModalDialog {
public:
    // Control 3 shows the string with the dialog's own id, at most 254
    // characters.
    void OnInit() override;
    // 4 (and 5, which the template does not have) opens the web address;
    // the box stays open.
    void OnCommand(int controlId) override;
    // A left click on the box, or Escape or Enter typed to it, closes it
    // with end code 0.
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OpenWebAddress(int controlId);
};

#endif
