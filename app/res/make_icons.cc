// Build-time tool (runs on the build machine): writes the program's icon and its link pointer.
//   make_icons ICON_OUT CURSOR_OUT CURSOR_ART
// The icon is drawn here: a power symbol on a round blue face, at 16, 32 and 48 pixels, 32-bit with
// alpha. The cursor comes from a 32 x 32 text picture ('#' black, 'o' white, '.' transparent; lines
// starting with ';' are comments) as a monochrome cursor.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// BITMAPINFOHEADER of an icon or cursor image: the height counts the colour rows and the mask rows.
void PutBitmapHeader(Bytes& out, int size, int bitCount) {
  Put32(out, 40);
  Put32(out, size);
  Put32(out, size * 2);
  Put16(out, 1);
  Put16(out, bitCount);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
}

// The AND mask: 1 where the pixel is transparent; rows bottom-up, each padded to 32 bits.
void PutMask(Bytes& out, int size, const std::vector<bool>& transparent) {
  const int rowBytes = (size + 31) / 32 * 4;
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int x = 0; x < size; ++x)
      if (transparent[y * size + x]) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
}

struct Rgba {
  double r, g, b, a;
};

// Coverage of the shapes at a point of the unit square centred on 0 (y grows downwards).
Rgba IconColour(double x, double y) {
  const double radius = std::hypot(x, y);
  Rgba colour{0, 0, 0, 0};
  if (radius <= 0.94) {
    // Face: a blue that lightens towards the top left, with a darker rim.
    const double light = std::clamp(0.55 - 0.35 * (x + y), 0.0, 1.0);
    colour = {0.08 + 0.20 * light, 0.32 + 0.30 * light, 0.70 + 0.25 * light, 1};
    if (radius > 0.84) colour = {0.05, 0.18, 0.45, 1};
  }
  // Power symbol: an open ring with its gap at the top, and a bar through the gap.
  const double angleFromTop = std::abs(std::atan2(x, -y));
  const bool onRing = std::abs(radius - 0.48) <= 0.08 && angleFromTop >= 0.65;
  const double barY = std::clamp(y, -0.68, -0.08);
  const bool onBar = std::hypot(x, y - barY) <= 0.08;
  if (onRing || onBar) colour = {1, 1, 1, 1};
  return colour;
}

Bytes IconImage(int size) {
  Bytes out;
  PutBitmapHeader(out, size, 32);
  std::vector<bool> transparent(size * size);
  std::vector<uint8_t> pixels(size * size * 4);
  constexpr int kSamples = 4;  // per axis, for smooth edges
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Rgba sum{0, 0, 0, 0};
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double u = ((x + (sx + 0.5) / kSamples) / size) * 2 - 1;
          const double v = ((y + (sy + 0.5) / kSamples) / size) * 2 - 1;
          const Rgba c = IconColour(u, v);
          sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
        }
      }
      const double alpha = sum.a / (kSamples * kSamples);
      auto channel = [&](double premultiplied) {
        return static_cast<uint8_t>(std::lround(alpha > 0 ? 255 * premultiplied / sum.a : 0));
      };
      uint8_t* p = &pixels[(y * size + x) * 4];
      p[0] = channel(sum.b);
      p[1] = channel(sum.g);
      p[2] = channel(sum.r);
      p[3] = static_cast<uint8_t>(std::lround(255 * alpha));
      transparent[y * size + x] = p[3] < 128;
    }
  }
  for (int y = size - 1; y >= 0; --y)
    out.insert(out.end(), pixels.begin() + y * size * 4, pixels.begin() + (y + 1) * size * 4);
  PutMask(out, size, transparent);
  return out;
}

Bytes IconFile() {
  const int sizes[] = {16, 32, 48};
  std::vector<Bytes> images;
  for (int size : sizes) images.push_back(IconImage(size));
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, static_cast<uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

bool CursorFile(const std::string& artPath, Bytes& out) {
  constexpr int kSize = 32;
  constexpr int kHotX = 5, kHotY = 0;
  FILE* art = std::fopen(artPath.c_str(), "r");
  if (!art) return false;
  std::vector<std::string> rows;
  bool wellFormed = true;
  char buffer[256];
  while (wellFormed && std::fgets(buffer, sizeof buffer, art)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    wellFormed = line.size() == kSize && line.find_first_not_of("#o.") == std::string::npos;
    rows.push_back(line);
  }
  std::fclose(art);
  if (!wellFormed || rows.size() != kSize) return false;

  Bytes image;
  PutBitmapHeader(image, kSize, 1);
  Put32(image, 0x00000000);  // palette: black
  Put32(image, 0x00FFFFFF);  //          white
  std::vector<bool> transparent(kSize * kSize);
  for (int y = kSize - 1; y >= 0; --y) {
    Bytes row(kSize / 8, 0);
    for (int x = 0; x < kSize; ++x) {
      const char c = rows[y][x];
      if (c == 'o') row[x / 8] |= 0x80 >> (x % 8);
      transparent[y * kSize + x] = c == '.';
    }
    image.insert(image.end(), row.begin(), row.end());
  }
  PutMask(image, kSize, transparent);

  Put16(out, 0);
  Put16(out, 2);  // cursor
  Put16(out, 1);
  out.push_back(kSize);
  out.push_back(kSize);
  out.push_back(2);  // colours
  out.push_back(0);
  Put16(out, kHotX);
  Put16(out, kHotY);
  Put32(out, static_cast<uint32_t>(image.size()));
  Put32(out, 6 + 16);
  out.insert(out.end(), image.begin(), image.end());
  return true;
}

bool WriteFile(const char* path, const Bytes& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_icons ICON_OUT CURSOR_OUT CURSOR_ART\n");
    return 2;
  }
  Bytes cursor;
  if (!CursorFile(argv[3], cursor)) {
    std::fprintf(stderr, "make_icons: %s is not a 32 x 32 picture of '#', 'o' and '.'\n", argv[3]);
    return 1;
  }
  if (!WriteFile(argv[1], IconFile()) || !WriteFile(argv[2], cursor)) {
    std::fprintf(stderr, "make_icons: cannot write the output files\n");
    return 1;
  }
  return 0;
}
