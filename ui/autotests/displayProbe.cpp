// SPDX-License-Identifier: GPL-3.0-or-later
// displayProbe: asks a stand-in for DISPLAY whether it answers, as the programs do before Qt
// starts. The stand-in turns the first connection away, as Xvfb does after its last client leaves,
// and must be found answering (status 0). A display that never answers is app/autotests' case.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ui/DesktopServices.h"

namespace {

// Display N's abstract socket, which libxcb tries first, and its length (a zero byte, the name).
struct DisplaySocket {
    sockaddr_un address{};
    socklen_t length = 0;

    explicit DisplaySocket(int number) {
        address.sun_family = AF_UNIX;
        const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
        std::memcpy(address.sun_path + 1, name.data(), name.size());
        length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    }

    const sockaddr* at() const { return reinterpret_cast<const sockaddr*>(&address); }
};

// Copies bytes one way until either side closes; one thread for each way.
void pass(int from, int to) {
    std::array<char, 65536> buffer{};
    for (ssize_t got = 0; (got = ::read(from, buffer.data(), buffer.size())) > 0;) {
        if (::write(to, buffer.data(), static_cast<size_t>(got)) != got) {
            break;
        }
    }
    ::shutdown(to, SHUT_RDWR);
}

}  // namespace

int main() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] != ':') {
        std::fprintf(stderr, "usage: DISPLAY=:N displayProbe\n");
        return 2;
    }
    const int real = std::atoi(display + 1);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    int number = 900;
    for (; number < 1000; ++number) {
        const DisplaySocket place(number);
        if (::bind(listener, place.at(), place.length) == 0) {
            break;
        }
    }
    if (number == 1000 || ::listen(listener, 8) != 0) {
        std::perror("displayProbe: no free display number for the stand-in");
        return 2;
    }
    std::thread([listener, real] {
        for (int connections = 0;; ++connections) {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            if (connections == 0) {
                ::close(client);
                continue;
            }
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const DisplaySocket target(real);
            if (::connect(server, target.at(), target.length) != 0) {
                ::close(client);
                continue;
            }
            std::thread(pass, client, server).detach();
            std::thread(pass, server, client).detach();
        }
    }).detach();

    const std::string standIn = ":" + std::to_string(number);
    ::setenv("DISPLAY", standIn.c_str(), 1);
    const auto why = morvanta::desktop::missingDesktop();
    std::printf("%s\n", why.value_or("the display answers").c_str());
    return why.has_value() ? 1 : 0;
}
