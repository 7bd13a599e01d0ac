// A drawing surface that records every call, for tests without a display.
#include "recording_surface.h"

#include <cstdio>
#include <sstream>

std::string RecordingSurface::Num(double v) {
  std::ostringstream out;
  out.precision(10);
  out << v;
  return out.str();
}

std::string RecordingSurface::Hex(int colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(colour));
  return buf;
}

void RecordingSurface::Record(std::string call) {
  if (Failed()) return;  // a failed device draws nothing more
  ++count_;
  calls.push_back(std::move(call));
}

int RecordingSurface::Width() const {
  const_cast<RecordingSurface*>(this)->Record("Width");
  return width_;
}

int RecordingSurface::Height() const {
  const_cast<RecordingSurface*>(this)->Record("Height");
  return height_;
}

void RecordingSurface::Line(int flags, float x1, float y1, float x2, float y2, int colour) {
  Record("Line " + std::to_string(flags) + " " + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " +
         Num(y2) + " " + Hex(colour));
}

void RecordingSurface::Font(std::u16string_view name, int points, bool bold) {
  Record("Font " + ui::ToUtf8(name) + " " + std::to_string(points) + (bold ? " bold" : ""));
}

std::vector<std::string> RecordingSurface::Only(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}
