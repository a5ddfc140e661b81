// A progressive picture decoded small reads only the scans its output blocks are made of: the
// pixels must be those of a decode of the whole file at the same scale, whatever the scan
// script, colour resolution or restart markers, and damaged files must fail as before.
#include "JpegScans.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "JpegImage.h"
#include "ManyScansJpeg.h"

namespace {

// Detail at every frequency in every colour, so that every coefficient carries something.
QImage Noise(int w, int h) {
  QImage picture(w, h, QImage::Format_RGB888);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    uchar* row = picture.scanLine(y);
    for (int x = 0; x < 3 * w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = uchar(seed >> 24);
    }
  }
  return picture;
}

// The whole file decoded by libjpeg alone at eighths/8 with the picture box's settings.
QImage WholeDecode(const std::string& jpeg, unsigned eighths) {
  jpeg_decompress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_read_header(&c, TRUE);
  c.scale_num = eighths;
  c.scale_denom = 8;
  c.out_color_space = JCS_RGB;
  c.dct_method = JDCT_ISLOW;
  c.do_fancy_upsampling = TRUE;
  c.do_block_smoothing = TRUE;
  jpeg_start_decompress(&c);
  QImage image(int(c.output_width), int(c.output_height), QImage::Format_RGB888);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = image.scanLine(int(c.output_scanline));
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return image;
}

// Decoded as the stretched picture box does for a box of the size eighths/8 gives.
QImage BoxDecode(const std::string& jpeg, unsigned eighths, bool scanByScan) {
  TJpegImage probe(jpeg, false, true, false);
  const QSize stored = probe.StoredSize();
  const QSize least((stored.width() * eighths + 7) / 8, (stored.height() * eighths + 7) / 8);
  TJpegImage image(jpeg, false, true, scanByScan, least);
  while (image.NextPass()) {
  }
  return image.Image();
}

// Bytes that belong to no segment before the third scan, which the decoder skips.
std::string WithStrayBytes(std::string jpeg) {
  std::size_t at = 0;
  for (int scan = 0; scan < 3; ++scan) at = jpeg.find("\xFF\xDA", at + 1);
  return at == std::string::npos ? jpeg : jpeg.insert(at, "stray");
}

int Scans(const std::string& jpeg) {
  const TJpegScans scans(jpeg);
  EXPECT_TRUE(scans.Walked());
  return scans.Count();
}

jpeg_scan_info Dc(int ah, int al) { return {3, {0, 1, 2, 0}, 0, 0, ah, al}; }
jpeg_scan_info Ac(int component, int first, int last, int ah, int al) {
  return {1, {component}, first, last, ah, al};
}

// The scripts: one scan per coefficient; the usual one of bands and refinements; and one where
// a coefficient the small output ignores (zig-zag 5) is first sent alone and then refined
// together with one it uses (4), so leaving its first scan out would break the progression.
std::vector<jpeg_scan_info> UsualScript() {
  return {Dc(0, 1),           Ac(0, 1, 5, 0, 2),  Ac(2, 1, 63, 0, 1), Ac(1, 1, 63, 0, 1),
          Ac(0, 6, 63, 0, 2), Ac(0, 1, 63, 2, 1), Dc(1, 0),           Ac(2, 1, 63, 1, 0),
          Ac(1, 1, 63, 1, 0), Ac(0, 1, 63, 1, 0)};
}

std::vector<jpeg_scan_info> MixedBandsScript() {
  std::vector<jpeg_scan_info> script = {Dc(0, 0),          Ac(0, 1, 3, 0, 1), Ac(0, 5, 5, 0, 1),
                                        Ac(0, 4, 4, 0, 1), Ac(0, 3, 5, 1, 0), Ac(0, 1, 2, 1, 0)};
  for (int c = 0; c < 3; ++c) script.push_back(Ac(c, c == 0 ? 6 : 1, 63, 0, 0));
  return script;
}

TEST(JpegScansTest, SmallDecodesGiveThePixelsOfTheWholeFile) {
  const QImage picture = Noise(512, 384);
  const std::vector<std::pair<const char*, std::string>> files = {
      {"one scan per coefficient", ManyScansJpeg(picture, 2)},
      {"full colour", ProgressiveJpeg(picture, UsualScript(), true)},
      {"usual script", ProgressiveJpeg(picture, UsualScript())},
      {"mixed bands", ProgressiveJpeg(picture, MixedBandsScript())},
      {"restart markers", ProgressiveJpeg(picture, UsualScript(), false, 1)},
      {"stray bytes", WithStrayBytes(ProgressiveJpeg(picture, UsualScript()))},
      // Brightness detail from zig-zag 10 on only, never completed: decoded whole, the DC is
      // smoothed for the missing coefficients; reduced, the same must happen.
      {"incomplete", ProgressiveJpeg(picture, {Dc(0, 0), Ac(0, 10, 63, 0, 0), Ac(1, 1, 63, 0, 0),
                                               Ac(2, 1, 63, 0, 0)})},
  };
  for (const auto& [name, jpeg] : files) {
    EXPECT_TRUE(TJpegScans(jpeg).Walked()) << name;
    for (unsigned eighths : {1u, 2u, 3u, 8u}) {
      const QImage whole = WholeDecode(jpeg, eighths);
      for (bool scanByScan : {false, true}) {
        EXPECT_EQ(BoxDecode(jpeg, eighths, scanByScan), whole)
            << name << " at " << eighths << "/8" << (scanByScan ? " scan by scan" : "");
      }
    }
  }
}

// A picture whose coefficients outgrow what is left unpacked: the arrays past the budget are
// kept packed row by row, and every pixel must still be libjpeg's own.
TEST(JpegScansTest, BigPictureDecodesTheSameWithPackedCoefficients) {
  const std::string jpeg = ProgressiveJpeg(Noise(3000, 2400), UsualScript(), true);
  for (unsigned eighths : {8u, 2u}) {
    const QImage whole = WholeDecode(jpeg, eighths);
    EXPECT_EQ(BoxDecode(jpeg, eighths, eighths == 2), whole) << eighths << "/8";
  }
}

// At an eighth, a block of brightness is one pixel (the DC alone) and, with colour halved,
// a colour block is two pixels each way: of every coefficient of colour the odd rows and
// columns and the first (5 x 5 - 1 = 24 AC coefficients) are needed.
TEST(JpegScansTest, OnlyTheScansOfUsedCoefficientsStay) {
  const std::string many = ManyScansJpeg(Noise(64, 48), 2);
  ASSERT_EQ(Scans(many), 1 + 189 * 2);
  const std::vector<TJpegScans::Component> eighth = {{1, 1}, {2, 2}, {3, 2}};
  const std::string fewer = TJpegScans(many).WithoutUnused(eighth);
  EXPECT_EQ(Scans(fewer), 1 + 2 * 24 * 2);
  // A file that never finishes its brightness is decoded whole.
  const std::string unfinished = ProgressiveJpeg(
      Noise(64, 48), {Dc(0, 0), Ac(0, 1, 63, 0, 1), Ac(1, 1, 63, 0, 0), Ac(2, 1, 63, 0, 0)});
  EXPECT_EQ(TJpegScans(unfinished).WithoutUnused(eighth), "");
  // Restart markers inside scans are no scan ends: the usual script keeps its DC and colour
  // scans.
  const std::string restarts = ProgressiveJpeg(Noise(64, 48), UsualScript(), false, 1);
  EXPECT_EQ(Scans(TJpegScans(restarts).WithoutUnused(eighth)), 6);
  // Every block of one pixel: the DC scan alone.
  EXPECT_EQ(Scans(TJpegScans(many).WithoutUnused({{1, 1}, {2, 1}, {3, 1}})), 1);
  // Whole blocks, or components it does not know of: nothing is left out.
  EXPECT_EQ(TJpegScans(many).WithoutUnused({{1, 8}, {2, 8}, {3, 8}}), "");
  EXPECT_EQ(TJpegScans(many).WithoutUnused({{7, 1}, {8, 1}, {9, 1}}), "");

  // At a quarter the mixed script keeps the lone first scan of zig-zag 5 for the refinement
  // that needs it, and so every scan; at an eighth the brightness scans all go.
  const std::string mixed = ProgressiveJpeg(Noise(64, 48), MixedBandsScript());
  EXPECT_EQ(TJpegScans(mixed).WithoutUnused({{1, 2}, {2, 4}, {3, 4}}), "");
  EXPECT_EQ(Scans(TJpegScans(mixed).WithoutUnused(eighth)), 1 + 2);
}

TEST(JpegScansTest, DamagedFilesAreNotWalkedAndStillFail) {
  const std::string many = ManyScansJpeg(Noise(256, 192), 1);
  const std::string cut = many.substr(0, many.size() * 2 / 3);
  std::string noEnd = many.substr(0, many.size() - 2);
  std::string badLength = many;
  badLength[5] = '\x01';  // the first segment is shorter than its own length field
  for (const std::string& damaged : {cut, noEnd, badLength, std::string("\xFF\xD8\xFF")}) {
    const TJpegScans scans(damaged);
    EXPECT_FALSE(scans.Walked());
    EXPECT_EQ(scans.WithoutUnused({{1, 1}, {2, 1}, {3, 1}}), "");
  }
  // Decoded small, a cut-off file fails as it does at full size.
  EXPECT_THROW(BoxDecode(cut, 1, true), std::runtime_error);
  EXPECT_THROW(BoxDecode(cut, 1, false), std::runtime_error);
  // Far too many scans fail at once, although a small decode would read few of them.
  const std::string tooMany = ManyScansJpeg(Noise(256, 192), 3);
  ASSERT_GT(Scans(tooMany), TJpegImage::kMaxScans);
  try {
    BoxDecode(tooMany, 1, true);
    ADD_FAILURE() << "a file of " << Scans(tooMany) << " scans was decoded";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("Too many scans"), std::string::npos) << e.what();
  }
}

}  // namespace
