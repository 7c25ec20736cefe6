// Draws Tavolet's two 16-colour icons and writes them as .ico files:
//   tavolet.ico  the program's icon, a black key cap with a "T" on a transparent ground
//   blocked.ico  shown while the screen saver is held off: a yellow monitor on red
// Each holds the small-icon sizes of 100 to 300 % display scaling (16, 20, 24, 32, 40, 48) and
// the program's icon also the large ones up to 200 % (32, 48, 64).
// usage: make_icons OUTPUT_FOLDER
#include <algorithm>
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
  // A frame `line` pixels thick whose outer corners are cut off.
  void Frame(int x0, int y0, int x1, int y1, int colour, int line = 1) {
    Fill(x0 + 1, y0, x1 - 1, y0 + line - 1, colour);
    Fill(x0 + 1, y1 - line + 1, x1 - 1, y1, colour);
    Fill(x0, y0 + 1, x0 + line - 1, y1 - 1, colour);
    Fill(x1 - line + 1, y0 + 1, x1, y1 - 1, colour);
  }
};

// Every size is drawn on its own pixel grid (no scaling), so each stays sharp. Lengths are
// given for 16 pixels and rounded to the size; strokes grow a pixel for every 16.
struct Grid {
  int size;
  int At(double units16) const { return static_cast<int>(units16 * size / 16.0 + 0.5); }
  int Stroke() const { return size < 24 ? 1 : (size + 8) / 16; }
};

Image KeyCap(int size) {
  Image image(size);
  const Grid g{size};
  const int line = g.Stroke();
  const int edge = g.At(1), last = size - 1 - edge;
  image.Frame(edge, edge, last, last, kBlack, line);
  const int lip = last - line - g.At(1.5);
  image.Fill(edge + line, lip - line + 1, last - line, lip, kBlack);
  // The T, symmetric about the middle: its bar and its stem.
  const int barLeft = g.At(4), barTop = g.At(4), barRows = std::max(2, g.At(2) - (size >= 32));
  image.Fill(barLeft, barTop, size - 1 - barLeft, barTop + barRows - 1, kBlack);
  const int stemHalf = std::max(1, g.At(1)), stemBottom = lip - line - std::max(1, g.At(1.5));
  image.Fill(size / 2 - stemHalf, barTop + barRows, size / 2 + stemHalf - 1, stemBottom, kBlack);
  return image;
}

// A monitor on a stand, yellow on red.
Image Blocked(int size) {
  Image image(size);
  const Grid g{size};
  const int line = g.Stroke();
  image.Fill(0, 0, size - 1, size - 1, kRed);
  const int left = g.At(2), top = g.At(2), right = size - 1 - left, bottom = g.At(10.5);
  image.Frame(left, top, right, bottom, kYellow, line);
  image.Fill(left + line, top + line, right - line, top + 2 * line - 1, kYellow);  // title bar
  const int neckHalf = std::max(1, g.At(1)), foot = size - 1 - g.At(2);
  image.Fill(size / 2 - neckHalf, bottom + 1, size / 2 + neckHalf - 1, foot - line, kYellow);
  image.Fill(g.At(4), foot - line + 1, size - 1 - g.At(4), foot, kYellow);
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
  std::vector<Image> program, blocked;
  for (int size : {16, 20, 24, 32, 40, 48, 64}) program.push_back(KeyCap(size));
  for (int size : {16, 20, 24, 32, 40, 48}) blocked.push_back(Blocked(size));
  const bool ok =
      WriteIcon(folder + "/tavolet.ico", program) && WriteIcon(folder + "/blocked.ico", blocked);
  return ok ? 0 : 1;
}
