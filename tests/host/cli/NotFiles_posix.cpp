#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "CliTestSupport.h"

std::vector<NotAFile> NotFiles(const ScratchFolder& folder) {
    std::vector<NotAFile> others;
    // A FIFO no one writes to: opening it to read would wait for ever.
    if (mkfifo((folder / "fifo").c_str(), 0600) == 0) others.push_back({folder / "fifo", "is a FIFO"});
    // A socket's name lives as long as the file; the socket itself can go.
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "socket";
    if (listener >= 0 && socketPath.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            others.push_back({socketPath, "is a socket"});
    }
    if (listener >= 0) close(listener);
    others.push_back({"/dev/null", "is a device"});
    return others;
}
