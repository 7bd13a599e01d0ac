// Which display the program asks Qt for, and what it says when none works.
#include <gtest/gtest.h>

#include "app/linux/startup.h"

using app::Displays;

namespace {

const std::string kQtFound =
    "This application failed to start because no Qt platform plugin could be initialized.\n\n"
    "Available platform plugins are: offscreen, wayland-egl, wayland, xcb.\n";
const std::string kQtFoundNoWayland =
    "This application failed to start because no Qt platform plugin could be initialized.\n\n"
    "Available platform plugins are: offscreen, wayland-egl, xcb.\n";

}  // namespace

TEST(Startup, PreferredPlatforms) {
  struct Case { Displays displays; std::string want; };
  const Case cases[] = {
      {{"", "", false}, ""},                          // nothing answers: Qt's own choice
      {{"wayland-0", "", false}, "wayland;xcb"},      // Wayland only
      {{"wayland-0", ":0", true}, "wayland;xcb"},     // a Wayland session with XWayland
      {{"wayland-1", ":0", false}, ""},               // an X session with a nested compositor
      {{"", ":0", true}, ""},                         // WAYLAND_DISPLAY set, nobody answers
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::PreferredPlatforms(c.displays), c.want) << c.displays.wayland << c.displays.x;
}

TEST(Startup, StartFailureSaysWhatIsTrue) {
  struct Case { Displays displays; std::string qt; bool xUnreachable; std::string path, want; };
  const Case cases[] = {
      {{"wayland-0", "", false}, "", false, "/usr/bin/barcodes",
       "barcodes: there is a Wayland display (wayland-0), but Qt's Wayland platform plugin is not "
       "installed; install the package qt6-wayland"},
      {{"wayland-0", ":1", true}, kQtFoundNoWayland, true, "/usr/bin/barcodes",
       "barcodes: there is a Wayland display (wayland-0), but Qt's Wayland platform plugin is not "
       "installed; install the package qt6-wayland"},
      {{"", "", false}, kQtFound, false, "/home/a b/it's/barcodes",
       "barcodes: there is no graphical display (neither DISPLAY nor WAYLAND_DISPLAY names one); to "
       "run it without one, install the package xvfb and use: xvfb-run -a '/home/a b/it'\\''s/barcodes'"},
      {{"", ":7", false}, kQtFound, true, "/opt/b/barcodes",
       "barcodes: the X display :7 cannot be opened, and no Wayland display answers; to run it "
       "without one, install the package xvfb and use: xvfb-run -a /opt/b/barcodes"},
      {{"wayland-0", ":7", true}, kQtFound, false, "/opt/b/barcodes",
       "barcodes: no Qt platform plugin could start on this display (Wayland wayland-0, X :7); run it "
       "with QT_DEBUG_PLUGINS=1 to see why"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::StartFailure(c.displays, c.qt, c.xUnreachable, c.path), c.want) << c.want;
}
