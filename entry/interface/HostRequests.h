// The two requests the host sends through the entry point, named by the
// caller and selector strings it passes; the plug-in answers any other pair
// with nothing done.
#ifndef LUMACUT_ENTRY_HOST_REQUESTS_H
#define LUMACUT_ENTRY_HOST_REQUESTS_H

struct HostRequest {
    const char* caller;
    const char* selector;
};

// A run: from the host's menu, or an action step played back.
inline constexpr HostRequest kRunRequest = {"PS Photoshop", "Do It"};
// The About box, from the host's About menu.
inline constexpr HostRequest kAboutRequest = {"SP Interface", "About"};

#endif
