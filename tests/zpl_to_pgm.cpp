// Turns a ZPL label job back into a picture: zpl_to_pgm JOB OUT.pgm
#include <fstream>
#include <iostream>
#include <iterator>

#include "printed_page.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zpl_to_pgm JOB OUT.pgm\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string zpl((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const scan::Image img = scan::ReadZpl(zpl);
  if (img.width == 0) {
    std::cerr << argv[1] << ": no label graphic\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << "P5\n" << img.width << ' ' << img.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(img.pixels.data()),
            static_cast<std::streamsize>(img.pixels.size()));
  return out ? 0 : 1;
}
