// Draws Tavolet's two 16-colour icons and writes them as .ico files:
//   tavolet.ico  the program's icon, a black key cap with a "T" on a transparent ground
//   blocked.ico  shown while the screen saver is held off: 16 x 16 yellow monitor on red,
//                32 x 32 left blank
// usage: make_icons OUTPUT_FOLDER
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The standard 16-colour palette; an image is rows of palette indices, -1 = transparent.
const uint8_t kPalette[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                 {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                 {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
constexpr int kBlack = 0, kRed = 9, kYellow = 11, kClear = -1;

struct Image {
  int size;
  std::vector<int> pixels;
  explicit Image(int s) : size(s), pixels(s * s, kClear) {}
  void Set(int x, int y, int colour) { pixels[y * size + x] = colour; }
  void Fill(int x0, int y0, int x1, int y1, int colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, colour);
  }
  void Frame(int x0, int y0, int x1, int y1, int colour) {
    Fill(x0 + 1, y0, x1 - 1, y0, colour);
    Fill(x0 + 1, y1, x1 - 1, y1, colour);
    Fill(x0, y0 + 1, x0, y1 - 1, colour);
    Fill(x1, y0 + 1, x1, y1 - 1, colour);
  }
};

Image KeyCap(int size) {
  Image image(size);
  const bool big = size == 32;
  const int edge = big ? 2 : 1, last = size - 1 - edge;
  image.Frame(edge, edge, last, last, kBlack);
  image.Fill(edge + 1, last - (big ? 3 : 2), last - 1, last - (big ? 3 : 2), kBlack);  // lip
  if (big) {
    image.Fill(8, 7, 23, 9, kBlack);     // bar of the T
    image.Fill(14, 10, 17, 23, kBlack);  // stem
  } else {
    image.Fill(4, 4, 11, 5, kBlack);
    image.Fill(7, 6, 8, 10, kBlack);
  }
  return image;
}

Image BlockedSmall() {
  Image image(16);
  image.Fill(0, 0, 15, 15, kRed);
  image.Frame(2, 2, 13, 10, kYellow);  // screen
  image.Fill(3, 3, 12, 3, kYellow);
  image.Fill(7, 11, 8, 12, kYellow);   // neck
  image.Fill(4, 13, 11, 13, kYellow);  // foot
  return image;
}

void Put16(std::string& out, unsigned v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string Dib(const Image& image) {
  const int n = image.size;
  const int colourStride = ((n * 4 + 31) / 32) * 4, maskStride = ((n + 31) / 32) * 4;
  std::string dib;
  Put32(dib, 40);
  Put32(dib, n);
  Put32(dib, n * 2);
  Put16(dib, 1);
  Put16(dib, 4);
  Put32(dib, 0);
  Put32(dib, (colourStride + maskStride) * n);
  Put32(dib, 0), Put32(dib, 0), Put32(dib, 16), Put32(dib, 0);
  for (const auto& rgb : kPalette) {
    dib.push_back(static_cast<char>(rgb[2]));
    dib.push_back(static_cast<char>(rgb[1]));
    dib.push_back(static_cast<char>(rgb[0]));
    dib.push_back(0);
  }
  for (int y = n - 1; y >= 0; --y) {  // colour rows, bottom-up
    std::string row(colourStride, '\0');
    for (int x = 0; x < n; ++x) {
      const int p = image.pixels[y * n + x];
      const int index = p == kClear ? 0 : p;
      row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 ? index : index << 4));
    }
    dib += row;
  }
  for (int y = n - 1; y >= 0; --y) {  // transparency mask, bottom-up
    std::string row(maskStride, '\0');
    for (int x = 0; x < n; ++x) {
      if (image.pixels[y * n + x] == kClear)
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    dib += row;
  }
  return dib;
}

bool WriteIcon(const std::string& path, const std::vector<Image>& images) {
  std::string header, body;
  Put16(header, 0);
  Put16(header, 1);
  Put16(header, static_cast<unsigned>(images.size()));
  unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
  for (const Image& image : images) {
    const std::string dib = Dib(image);
    header.push_back(static_cast<char>(image.size));
    header.push_back(static_cast<char>(image.size));
    header.push_back(16);
    header.push_back(0);
    Put16(header, 1);
    Put16(header, 4);
    Put32(header, static_cast<unsigned>(dib.size()));
    Put32(header, offset);
    offset += static_cast<unsigned>(dib.size());
    body += dib;
  }
  std::ofstream out(path, std::ios::binary);
  out << header << body;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = WriteIcon(folder + "/tavolet.ico", {KeyCap(32), KeyCap(16)}) &&
                  WriteIcon(folder + "/blocked.ico", {Image(32), BlockedSmall()});
  return ok ? 0 : 1;
}
