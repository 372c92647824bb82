// The committed skin bitmaps against what the program relies on when it loads them by id.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Expected {
  int id;
  int width;
  int height;
};

// Every bitmap id of the skin with the size of the whole bitmap.
constexpr std::array<Expected, 46> kBitmaps{{
    {128, 32, 32},                                                    // icon
    {131, 300, 581}, {178, 400, 34},                                  // backgrounds
    {180, 180, 15},  {181, 180, 15}, {182, 23, 11},  {179, 23, 11},   // normal slider
    {191, 80, 15},   {194, 80, 15},  {193, 20, 10},  {192, 20, 10},   // mini slider
    {142, 400, 25},  {143, 400, 25}, {144, 200, 20}, {145, 200, 20},  // normal buttons
    {148, 200, 20},  {149, 200, 20}, {153, 240, 24}, {157, 140, 35}, {156, 140, 35},
    {147, 140, 35},  {158, 140, 35}, {155, 140, 35}, {154, 140, 35}, {197, 140, 35},
    {159, 80, 20},   {137, 64, 16},  {133, 64, 16},  {195, 64, 16},  {139, 64, 16},
    {171, 80, 20},   {172, 80, 20},  {175, 80, 20},  {174, 80, 20},  // mini buttons
    {176, 80, 20},   {173, 80, 20},  {187, 60, 15},  {185, 60, 15},  {190, 60, 15},
    {183, 60, 15},   {164, 14, 7},   {165, 14, 7},   {166, 14, 7},   {167, 14, 7},  // level meters
    {168, 14, 7},    {169, 14, 7},
}};

constexpr std::array<int, 29> kButtons{142, 143, 144, 145, 148, 149, 153, 157, 156, 147,
                                       158, 155, 154, 197, 159, 137, 133, 195, 139, 171,
                                       172, 175, 174, 176, 173, 187, 185, 190, 183};

std::string PathOf(int id, const char* extension) {
  return std::string(LUMIO_SKIN_DIR) + "/" + std::to_string(id) + extension;
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le(const std::vector<uint8_t>& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes[at + static_cast<size_t>(i)];
  return value;
}

QImage Load(int id) {
  return QImage(QString::fromStdString(PathOf(id, ".bmp"))).convertToFormat(QImage::Format_RGB32);
}

double Luminance(QRgb p) {
  return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
}

double MeanLuminance(const QImage& image, int x, int y, int w, int h) {
  double sum = 0;
  for (int row = y; row < y + h; ++row) {
    for (int col = x; col < x + w; ++col)
      sum += Luminance(image.pixel(col, row));
  }
  return sum / (w * h);
}

// The header as the platform's bitmap loader reads it: an uncompressed 24-bit DIB.
TEST(SkinBitmaps, EveryIdIsA24BitBmpOfItsSize) {
  for (const Expected& e : kBitmaps) {
    SCOPED_TRACE("bitmap " + std::to_string(e.id));
    const auto bytes = ReadBytes(PathOf(e.id, ".bmp"));
    ASSERT_TRUE(bytes.has_value()) << "missing " << PathOf(e.id, ".bmp");
    ASSERT_GE(bytes->size(), 54u);
    EXPECT_EQ((*bytes)[0], 'B');
    EXPECT_EQ((*bytes)[1], 'M');
    ASSERT_GE(Le(*bytes, 14, 4), 40u) << "info header";
    EXPECT_EQ(static_cast<int32_t>(Le(*bytes, 18, 4)), e.width);
    const auto height = static_cast<int32_t>(Le(*bytes, 22, 4));
    EXPECT_EQ(height < 0 ? -height : height, e.height);
    EXPECT_EQ(Le(*bytes, 28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(Le(*bytes, 30, 4), 0u) << "compression";
    const uint64_t row_bytes = (static_cast<uint64_t>(e.width) * 3 + 3) / 4 * 4;
    EXPECT_GE(bytes->size(), Le(*bytes, 10, 4) + row_bytes * static_cast<uint64_t>(e.height));
    const QImage image = Load(e.id);
    EXPECT_EQ(image.size(), QSize(e.width, e.height)) << "Qt reads it";
  }
}

TEST(SkinBitmaps, IconPngHasAlphaAndTransparentCorners) {
  const QImage icon(QString::fromStdString(PathOf(128, ".png")));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.size(), QSize(64, 64));
  ASSERT_TRUE(icon.hasAlphaChannel());
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(63, 63)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(32, 32)), 255);
}

// The slider keys its thumbs by the top-left pixel and draws the active thumb through the plain
// thumb's mask, so the two must key exactly the same pixels, all of them outside the shape.
TEST(SkinBitmaps, ThumbsAreKeyedFromTheTopLeftAndShareOneOutline) {
  const std::array<std::array<int, 2>, 2> pairs{{{182, 179}, {193, 192}}};
  for (const auto& [plain_id, active_id] : pairs) {
    SCOPED_TRACE("thumb " + std::to_string(plain_id));
    const QImage plain = Load(plain_id);
    const QImage active = Load(active_id);
    ASSERT_EQ(plain.size(), active.size());
    const QRgb key = plain.pixel(0, 0);
    EXPECT_EQ(active.pixel(0, 0), key);
    const int w = plain.width();
    const int h = plain.height();
    for (auto [x, y] : {std::array{w - 1, 0}, std::array{0, h - 1}, std::array{w - 1, h - 1}}) {
      EXPECT_EQ(plain.pixel(x, y), key) << "corner " << x << "," << y;
    }
    EXPECT_NE(plain.pixel(w / 2, h / 2), key);
    for (int y = 0; y < h; ++y) {
      // Keyed pixels only at the two ends of each row: nothing inside the thumb is see-through.
      int left = 0;
      while (left < w && plain.pixel(left, y) == key)
        ++left;
      int right = w - 1;
      while (right >= left && plain.pixel(right, y) == key)
        --right;
      for (int x = 0; x < w; ++x) {
        const bool outside = x < left || x > right;
        EXPECT_EQ(plain.pixel(x, y) == key, outside) << "plain " << x << "," << y;
        EXPECT_EQ(active.pixel(x, y) == key, outside) << "active " << x << "," << y;
      }
    }
  }
}

TEST(SkinBitmaps, ActiveChannelLooksFilled) {
  for (auto [plain_id, active_id] : {std::array{180, 181}, std::array{191, 194}}) {
    const QImage plain = Load(plain_id);
    const QImage active = Load(active_id);
    ASSERT_EQ(plain.size(), active.size());
    const int mid = plain.height() / 2;
    int differing = 0;
    for (int x = 0; x < plain.width(); ++x)
      differing += plain.pixel(x, mid) != active.pixel(x, mid);
    EXPECT_GT(differing, plain.width() / 2) << "channel " << plain_id;
  }
}

// Meter n lights n bars of five; a lit bar is green, an unlit one grey.
TEST(SkinBitmaps, LevelMeterNLightsNBars) {
  auto is_green = [](QRgb p) { return qGreen(p) > qRed(p) + 30 && qGreen(p) > qBlue(p) + 30; };
  for (int n = 0; n <= 5; ++n) {
    SCOPED_TRACE("meter " + std::to_string(164 + n));
    const QImage meter = Load(164 + n);
    // Bars rise to the right, so the top-left pixel is background.
    const QRgb background = meter.pixel(0, 0);
    int green_runs = 0;
    int bar_runs = 0;
    bool in_green = false;
    bool in_bar = false;
    for (int x = 0; x < meter.width(); ++x) {
      bool green = false;
      bool bar = false;
      for (int y = 0; y < meter.height(); ++y) {
        green = green || is_green(meter.pixel(x, y));
        bar = bar || meter.pixel(x, y) != background;
      }
      green_runs += green && !in_green;
      bar_runs += bar && !in_bar;
      in_green = green;
      in_bar = bar;
    }
    EXPECT_EQ(green_runs, n);
    EXPECT_EQ(bar_runs, 5);
  }
}

// Four equal frames; the hover frame must read as lit up next to the normal one.
TEST(SkinBitmaps, ButtonsHaveFourFramesAndALighterHoverFrame) {
  for (int id : kButtons) {
    SCOPED_TRACE("button " + std::to_string(id));
    const QImage button = Load(id);
    ASSERT_FALSE(button.isNull());
    ASSERT_EQ(button.width() % 4, 0);
    const int fw = button.width() / 4;
    const double normal = MeanLuminance(button, 0, 0, fw, button.height());
    const double hover = MeanLuminance(button, fw, 0, fw, button.height());
    EXPECT_GT(hover, normal + 4) << "normal " << normal << ", hover " << hover;
  }
}

// Buttons and channels are opaque, so each is painted on the background it covers. A frame cut
// from the wrong place shows as a box around the control; the frame's bottom-right pixel lies
// outside every face and must be the background's pixel there.
TEST(SkinBitmaps, ControlsBlendIntoTheBackgroundUnderThem) {
  struct Placed {
    int id;
    int background;
    int x, y;  // the control's top-left corner in the window
    int frames;
  };
  const std::array<Placed, 27> placed{{
      {142, 131, 50, 180, 4},  {143, 131, 150, 180, 4}, {148, 131, 125, 530, 4},
      {149, 131, 185, 530, 4}, {157, 131, 20, 103, 4},  {156, 131, 20, 103, 4},
      {147, 131, 75, 103, 4},  {158, 131, 115, 103, 4}, {155, 131, 155, 103, 4},
      {154, 131, 205, 103, 4}, {197, 131, 205, 103, 4}, {159, 131, 265, 530, 4},
      {195, 131, 234, 2, 4},   {139, 131, 250, 2, 4},   {137, 131, 266, 2, 4},
      {133, 131, 282, 2, 4},   {180, 131, 60, 155, 1},  {181, 131, 60, 155, 1},
      {175, 178, 30, 7, 4},    {174, 178, 30, 7, 4},    {176, 178, 55, 7, 4},
      {173, 178, 80, 7, 4},    {187, 178, 368, 2, 4},   {185, 178, 383, 2, 4},
      {190, 178, 368, 17, 4},  {183, 178, 383, 17, 4},  {191, 178, 105, 9, 1},
  }};
  const QImage normal = Load(131);
  const QImage mini = Load(178);
  ASSERT_FALSE(normal.isNull());
  ASSERT_FALSE(mini.isNull());
  auto close = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
  };
  for (const Placed& p : placed) {
    SCOPED_TRACE("bitmap " + std::to_string(p.id));
    const QImage bitmap = Load(p.id);
    ASSERT_FALSE(bitmap.isNull());
    const QImage& background = p.background == 131 ? normal : mini;
    const int fw = bitmap.width() / p.frames;
    const int fh = bitmap.height();
    EXPECT_TRUE(close(bitmap.pixel(fw - 1, fh - 1), background.pixel(p.x + fw - 1, p.y + fh - 1)));
  }
}

// The program draws the title in black on the top strip and the labels in white (and the banner
// in cyan) straight onto the background.
TEST(SkinBitmaps, BackgroundsGiveTheLabelsContrast) {
  const QImage normal = Load(131);
  ASSERT_FALSE(normal.isNull());
  EXPECT_GT(MeanLuminance(normal, 24, 6, 196, 14), 180) << "title strip";
  struct Area {
    const char* name;
    int x, y, w, h;
  };
  const std::array<Area, 4> normal_labels{{{"banner", 20, 30, 200, 20},
                                           {"station name", 10, 50, 200, 30},
                                           {"status", 210, 60, 80, 15},
                                           {"play time", 260, 25, 30, 20}}};
  for (const Area& a : normal_labels) {
    EXPECT_LT(MeanLuminance(normal, a.x, a.y, a.w, a.h), 60) << a.name;
  }
  const QImage mini = Load(178);
  ASSERT_FALSE(mini.isNull());
  const std::array<Area, 3> mini_labels{{{"station name", 190, 5, 175, 15},
                                         {"status", 190, 20, 90, 14},
                                         {"banner", 280, 20, 85, 14}}};
  for (const Area& a : mini_labels) {
    EXPECT_LT(MeanLuminance(mini, a.x, a.y, a.w, a.h), 60) << "mini " << a.name;
  }
}

}  // namespace
