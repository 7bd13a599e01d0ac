// Choosing the display the window opens on, and saying why none could be used.
#include "app/linux/startup.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace app {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The socket a Wayland client would connect to, as libwayland finds it.
std::string WaylandSocketPath(const std::string& name) {
  if (!name.empty() && name.front() == '/') return name;
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  return runtime.empty() ? "" : runtime + "/" + name;
}

bool Answers(const std::string& socketPath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return connected;
}

// A path the shell takes as one word.
std::string ShellWord(const std::string& text) {
  if (!text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789/._+-") == std::string::npos)
    return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Whether Qt's "Available platform plugins are: a, b, c." line names `plugin`.
bool QtFoundPlugin(const std::string& qtMessage, const std::string& plugin) {
  const std::string lead = "Available platform plugins are: ";
  const std::size_t start = qtMessage.find(lead);
  if (start == std::string::npos) return false;
  std::istringstream list(qtMessage.substr(start + lead.size(),
                                           qtMessage.find('\n', start) - start - lead.size()));
  std::string name;
  while (std::getline(list >> std::ws, name, ',')) {
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (name == plugin) return true;
  }
  return false;
}

}  // namespace

Displays FindDisplays() {
  Displays displays;
  std::string name = Env("WAYLAND_DISPLAY");
  if (name.empty()) name = "wayland-0";  // libwayland's default
  if (Answers(WaylandSocketPath(name))) displays.wayland = name;
  displays.x = Env("DISPLAY");
  displays.waylandSession = Env("XDG_SESSION_TYPE") == "wayland";
  return displays;
}

std::string PreferredPlatforms(const Displays& displays) {
  if (displays.wayland.empty() || (!displays.x.empty() && !displays.waylandSession)) return "";
  return "wayland;xcb";
}

std::string ProgramPath(const char* argv0) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) path = std::filesystem::absolute(argv0 ? argv0 : "barcodes", error);
  return path.string();
}

std::string StartFailure(const Displays& displays, const std::string& qtMessage,
                         bool xUnreachable, const std::string& programPath) {
  const std::string xvfb = "; to run it without one, install the package xvfb and use: xvfb-run -a " +
                           ShellWord(programPath);
  if (!displays.wayland.empty() && !QtFoundPlugin(qtMessage, "wayland"))
    return "barcodes: there is a Wayland display (" + displays.wayland +
           "), but Qt's Wayland platform plugin is not installed; install the package qt6-wayland";
  if (displays.wayland.empty() && displays.x.empty())
    return "barcodes: there is no graphical display (neither DISPLAY nor WAYLAND_DISPLAY names one)" +
           xvfb;
  if (displays.wayland.empty() && xUnreachable)
    return "barcodes: the X display " + displays.x +
           " cannot be opened, and no Wayland display answers" + xvfb;
  std::string where = displays.wayland.empty() ? "" : "Wayland " + displays.wayland;
  if (!displays.x.empty()) where += (where.empty() ? "X " : ", X ") + displays.x;
  return "barcodes: no Qt platform plugin could start on this display (" + where +
         "); run it with QT_DEBUG_PLUGINS=1 to see why";
}

}  // namespace app
