#include "CenterOnParent.h"

#include "DialogPlacement.h"

void CenterOnParent(HWND dialog) {
    // For a dialog, the parent is its owner window.
    HWND owner = GetParent(dialog);
    if (owner == nullptr) owner = GetDesktopWindow();

    RECT client{};
    GetClientRect(owner, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(owner, &topLeft);
    ClientToScreen(owner, &bottomRight);

    RECT outer{};
    GetWindowRect(dialog, &outer);

    DialogPlacementInput input;
    input.ownerArea = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    input.width = outer.right - outer.left;
    input.height = outer.bottom - outer.top;
    input.buttonWidth = GetSystemMetrics(SM_CXSIZE);
    input.hasSystemMenu = (static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & WS_SYSMENU) != 0;
    input.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    input.screenHeight = GetSystemMetrics(SM_CYSCREEN);

    const DialogPosition position = PlaceDialog(input);
    SetWindowPos(dialog, nullptr, position.x, position.y, input.width, input.height, SWP_NOZORDER);
}
