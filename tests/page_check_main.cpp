// Checks what a printer was sent, for the Windows program's tests, or a
// picture that Copy put on the clipboard (as a PGM): every symbol of VALUE at
// its place, each bar edge within a dot of the print routine's boxes, read by
// zxing-cpp and by zbar.
//   page_check zpl|ps|pgm FILE DPI WIDTH_IN LENGTH_IN MARGIN_PT upright|turned VALUE
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "page_check.h"
#include "printed_page.h"
#include "ui/core/text.h"

int main(int argc, char** argv) {
  if (argc != 9) {
    std::cerr << "usage: page_check zpl|ps|pgm FILE DPI WIDTH_IN LENGTH_IN MARGIN_PT upright|turned VALUE\n";
    return 2;
  }
  const std::string kind = argv[1];
  const scan::PageSpec spec{std::atoi(argv[3]), std::atof(argv[4]), std::atof(argv[5]),
                            std::atof(argv[6]), std::string(argv[7]) == "turned"};
  scan::Image page;
  if (kind == "zpl") {
    std::ifstream in(argv[2], std::ios::binary);
    page = scan::ReadZpl(std::string(std::istreambuf_iterator<char>(in), {}));
  } else if (kind == "pgm") {
    page = scan::ReadPgm(argv[2]);
  } else {
    page = scan::ReadPostScript(argv[2], spec.dpi);
  }
  const scan::PageCheck check = scan::CheckPage(page, spec, ui::DeriveState(ui::FromUtf8(argv[8])));
  std::cout << check.Report();
  return check.Good() ? 0 : 1;
}
