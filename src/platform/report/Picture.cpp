// Picture files for report images: PNG through cairo, BMP decoded here.
#include <cairo.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/report/Prepared.h"

namespace tv::report {
namespace {

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

std::shared_ptr<Picture> LoadPng(const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  std::shared_ptr<Picture> pic;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_t* img = s;
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
      img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
      cairo_t* cr = cairo_create(img);
      cairo_set_source_surface(cr, s, 0, 0);
      cairo_paint(cr);
      cairo_destroy(cr);
    }
    cairo_surface_flush(img);
    pic = std::make_shared<Picture>();
    pic->width = w;
    pic->height = h;
    pic->pixels.resize(size_t(w) * h);
    const unsigned char* data = cairo_image_surface_get_data(img);
    int stride = cairo_image_surface_get_stride(img);
    for (int y = 0; y < h; ++y) std::memcpy(&pic->pixels[size_t(y) * w], data + size_t(y) * stride, size_t(w) * 4);
    if (img != s) cairo_surface_destroy(img);
  }
  cairo_surface_destroy(s);
  return pic;
}

std::shared_ptr<Picture> LoadBmp(const std::vector<unsigned char>& f) {
  if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return nullptr;
  uint32_t dataOffset = Le32(&f[10]);
  uint32_t headerSize = Le32(&f[14]);
  if (headerSize < 40) return nullptr;  // old OS/2 headers are not handled
  int32_t w = static_cast<int32_t>(Le32(&f[18]));
  int32_t hRaw = static_cast<int32_t>(Le32(&f[22]));
  int bpp = Le16(&f[28]);
  uint32_t compression = Le32(&f[30]);
  uint32_t colorsUsed = Le32(&f[46]);
  bool bottomUp = hRaw > 0;
  int32_t h = bottomUp ? hRaw : -hRaw;
  if (w <= 0 || h <= 0 || w > 20000 || h > 20000) return nullptr;
  if (compression != 0 && !(compression == 3 && (bpp == 32 || bpp == 16))) return nullptr;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint32_t n = colorsUsed ? colorsUsed : (1u << bpp);
    size_t off = 14 + headerSize;
    if (n > 256 || off + n * 4 > f.size()) return nullptr;
    for (uint32_t i = 0; i < n; ++i) {
      const unsigned char* p = &f[off + i * 4];
      palette.push_back(0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0]);
    }
  }
  size_t rowBytes = ((size_t(w) * bpp + 31) / 32) * 4;
  if (dataOffset + rowBytes * h > f.size()) return nullptr;
  auto pic = std::make_shared<Picture>();
  pic->width = w;
  pic->height = h;
  pic->pixels.resize(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    const unsigned char* row = &f[dataOffset + rowBytes * (bottomUp ? h - 1 - y : y)];
    uint32_t* out = &pic->pixels[size_t(y) * w];
    for (int32_t x = 0; x < w; ++x) {
      uint32_t px = 0xFF000000u;
      switch (bpp) {
        case 32: px = 0xFF000000u | (row[x * 4 + 2] << 16) | (row[x * 4 + 1] << 8) | row[x * 4]; break;
        case 24: px = 0xFF000000u | (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3]; break;
        default: {
          int idx = 0;
          if (bpp == 8) idx = row[x];
          else if (bpp == 4) idx = (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
          else idx = (row[x / 8] >> (7 - x % 8)) & 1;
          px = idx < static_cast<int>(palette.size()) ? palette[idx] : 0xFF000000u;
        }
      }
      out[x] = px;
    }
  }
  return pic;
}

}  // namespace

std::shared_ptr<Picture> LoadPicture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::shared_ptr<Picture> pic;
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG", 4) == 0) pic = LoadPng(path);
  else pic = LoadBmp(bytes);
  if (pic) pic->source = path;
  return pic;
}

}  // namespace tv::report
