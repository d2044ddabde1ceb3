#include "framework/qt/NamedDisplays.h"

// The Mac's window server is no display the environment names; there
// DisplayOpening asks nothing of this.
#ifndef __APPLE__

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace framework {
namespace {

bool X11DisplayAnswers(const char* name) {
  xcb_connection_t* connection = xcb_connect(name, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The compositor's socket: the name itself when it is a path, else the name
// inside the runtime folder.
bool WaylandDisplayAnswers(const std::string& name) {
  std::string path = name;
  if (name.front() != '/') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    path = std::string(runtime) + "/" + name;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return false;
  const bool answers = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(socket);
  return answers;
}

}  // namespace

std::vector<NamedDisplay> NamedDisplays() {
  std::vector<NamedDisplay> named;
  if (const char* x11 = std::getenv("DISPLAY"); x11 != nullptr && *x11 != '\0')
    named.push_back({std::string("DISPLAY=") + x11, X11DisplayAnswers(x11)});
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0')
    named.push_back({std::string("WAYLAND_DISPLAY=") + wayland, WaylandDisplayAnswers(wayland)});
  return named;
}

}  // namespace framework

#endif  // __APPLE__
