// Before the window system starts: which display to use, and what to say in
// one line when none can be used.
#pragma once

#include <string>

namespace app {

// The displays this session offers, as far as can be told without Qt.
struct Displays {
  std::string wayland;  // the Wayland display that answers, empty if none
  std::string x;        // $DISPLAY, empty if unset
  bool waylandSession = false;  // $XDG_SESSION_TYPE is "wayland"
};

Displays FindDisplays();

// The Qt platform list to ask for, or empty to leave Qt's own choice: a
// Wayland display that answers is used natively, falling back to X.
std::string PreferredPlatforms(const Displays& displays);

// The running program's own path (from /proc/self/exe, else `argv0`).
std::string ProgramPath(const char* argv0);

// The one line to print when no platform plugin could start. `qtMessage`
// is Qt's own fatal message, which lists the plugins it found;
// `xUnreachable` says that Qt could not connect to the X display.
std::string StartFailure(const Displays& displays, const std::string& qtMessage,
                         bool xUnreachable, const std::string& programPath);

}  // namespace app
