#include "preview.h"

#include "buttons.h"
#include "paint_util.h"
#include "palette.h"
#include "skin_ids.h"
#include "slider_bitmaps.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

namespace pal = palette;

constexpr int kGap = 16;

struct Scene {
  bool hover = false;    // every button on its hover frame
  bool playing = false;  // pause face instead of play
  bool muted = false;
  bool dragging = false;  // active thumb
  int volume = 60;
};

// What the slider paints: active channel left of the thumb centre, the thumb through its key.
void PlaceSlider(QPainter& painter, const std::map<int, QImage>& skin, const QRect& place,
                 const SliderGeometry& g, int channel, int active_channel, int thumb,
                 int active_thumb, const Scene& scene) {
  constexpr int kMarginLeft = 2;
  constexpr int kMarginRight = 2;
  const int tw = g.thumb.width();
  const int span = g.channel.width() - kMarginRight - tw - kMarginLeft;
  const int centre = kMarginLeft + static_cast<int>(scene.volume / 100.0 * span) + tw / 2;
  const QPoint origin = place.topLeft();
  painter.drawImage(origin + QPoint(centre, 0), skin.at(channel),
                    QRect(centre, 0, g.channel.width() - centre, g.channel.height()));
  painter.drawImage(origin, skin.at(active_channel), QRect(0, 0, centre, g.channel.height()));
  const QImage& face = skin.at(scene.dragging ? active_thumb : thumb);
  const QRgb key = skin.at(thumb).pixel(0, 0);
  QImage keyed = face.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < keyed.height(); ++y) {
    for (int x = 0; x < keyed.width(); ++x) {
      if (skin.at(thumb).pixel(x, y) == key) keyed.setPixel(x, y, 0);
    }
  }
  painter.drawImage(origin + QPoint(centre - tw / 2, g.thumb_top), keyed);
}

void PlaceButton(QPainter& painter, const std::map<int, QImage>& skin, int id, const QRect& place,
                 bool hover) {
  const QImage& bitmap = skin.at(id);
  const int frame_width = bitmap.width() / 4;
  const QSize shown(std::min(frame_width, place.width()),
                    std::min(bitmap.height(), place.height()));
  painter.drawImage(place.topLeft(), bitmap, QRect(QPoint(hover ? frame_width : 0, 0), shown));
}

// The program draws its labels top-left aligned in their rectangles.
void Label(QPainter& painter, const QRect& place, const QString& text, const QColor& color,
           int pixel_size) {
  painter.save();
  painter.setClipRect(place);
  painter.setFont(SkinFont(pixel_size));
  painter.setPen(color);
  painter.drawText(place, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

void PaintLists(QPainter& painter, const std::map<int, QImage>& skin) {
  const QRect categories = normal::kCategoryList;
  painter.fillRect(categories, pal::kListGreen);
  const QStringList names = {
      QStringLiteral("收藏"), QStringLiteral("最近"), QStringLiteral("音乐"),
      QStringLiteral("新闻"), QStringLiteral("交通"), QStringLiteral("文艺"),
      QStringLiteral("体育"), QStringLiteral("经济"), QStringLiteral("曲艺")};
  for (int i = 0; i < names.size(); ++i) {
    const QRect row(categories.left(), categories.top() + i * 20, categories.width(), 20);
    if (i == 2) painter.fillRect(row, QColor(66, 22, 125));
    painter.setFont(SkinFont(14, i == 2));
    painter.setPen(Qt::white);
    painter.drawText(row, Qt::AlignCenter, names[i]);
  }
  const QRect stations = normal::kStationList;
  const QStringList stations_names = {
      QStringLiteral("中国之声"),     QStringLiteral("经济之声"),
      QStringLiteral("音乐之声"),     QStringLiteral("北京交通广播"),
      QStringLiteral("上海动感101"),  QStringLiteral("广东珠江经济台"),
      QStringLiteral("深圳飞扬971"),  QStringLiteral("杭州西湖之声"),
      QStringLiteral("四川城市之音"), QStringLiteral("天津相声广播"),
      QStringLiteral("湖南金鹰955"),  QStringLiteral("江苏故事广播"),
      QStringLiteral("浙江音乐调频")};
  const int column = stations.width() * 7 / 8;
  for (int i = 0; i * 24 < stations.height(); ++i) {
    const QRect row(stations.left(), stations.top() + i * 24, stations.width(),
                    std::min(24, stations.height() - i * 24));
    const bool selected = i == 1;
    painter.fillRect(row, selected ? QColor(25, 58, 106)
                                   : (i % 2 == 0 ? pal::kStationRowEven : pal::kStationRowOdd));
    if (i >= stations_names.size()) continue;
    painter.setFont(SkinFont(14, selected));
    painter.setPen(selected ? QColor(Qt::white) : pal::kListGreen);
    painter.drawText(row.adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     stations_names[i]);
    const QImage& meter = skin.at(kBmpLevelMeter0 + (i * 7 + 3) % kLevelMeterCount);
    painter.drawImage(QPoint(row.left() + column, row.top() + (24 - 16) / 2 + 4), meter);
  }
}

QImage NormalWindow(const std::map<int, QImage>& skin, const QImage& icon, const Scene& scene) {
  QImage window = skin.at(kBmpNormalBackground).copy(0, 0, kNormalWidth, kNormalHeight);
  QPainter painter(&window);
  PrepareSmooth(painter);
  painter.drawImage(normal::kIcon, icon);
  painter.setFont(SkinFont(12));
  painter.setPen(Qt::black);
  painter.drawText(normal::kTitle, Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Lumio网络收音机1.2 - Tarvel网络"));

  const bool h = scene.hover;
  PlaceButton(painter, skin, scene.playing ? kBmpPause : kBmpPlay, normal::kPlay, h);
  PlaceButton(painter, skin, kBmpStop, normal::kStop, h);
  PlaceButton(painter, skin, kBmpPrevious, normal::kPrevious, h);
  PlaceButton(painter, skin, kBmpNext, normal::kNext, h);
  PlaceButton(painter, skin, scene.muted ? kBmpMuted : kBmpMute, normal::kMute, h);
  PlaceButton(painter, skin, kBmpSettings, normal::kSettings, h);
  PlaceButton(painter, skin, kBmpModeSwitch, normal::kModeSwitch, h);
  PlaceButton(painter, skin, kBmpMinimise, normal::kMinimise, h);
  PlaceButton(painter, skin, kBmpClose, normal::kClose, h);
  PlaceButton(painter, skin, kBmpContentCategories, normal::kContentCategories, h);
  PlaceButton(painter, skin, kBmpRegionCategories, normal::kRegionCategories, h);
  PlaceButton(painter, skin, kBmpFind, normal::kFind, h);
  PlaceButton(painter, skin, kBmpAbout, normal::kAbout, h);
  PlaceButton(painter, skin, kBmpHelp, normal::kHelp, h);
  PlaceSlider(painter, skin, normal::kVolume, kNormalSlider, kBmpChannel, kBmpActiveChannel,
              kBmpThumb, kBmpActiveThumb, scene);

  Label(painter, normal::kBanner, QStringLiteral("欢迎使用Lumio网络收音机1.2 - Tarvel网络"),
        pal::kBannerCyan, 14);
  Label(painter, normal::kStationName, QStringLiteral("中国之声"), pal::kLabelWhite, 16);
  Label(painter, normal::kStatus,
        scene.playing ? QStringLiteral("正在播放") : QStringLiteral("开始连接..."),
        pal::kLabelWhite, 12);
  Label(painter, normal::kPlayTime, QStringLiteral("03:25"), pal::kLabelWhite, 12);
  PaintLists(painter, skin);
  painter.end();
  return window;
}

QImage MiniBar(const std::map<int, QImage>& skin, const QImage& icon, const Scene& scene) {
  QImage bar = skin.at(kBmpMiniBackground).copy();
  QPainter painter(&bar);
  PrepareSmooth(painter);
  painter.drawImage(mini::kIcon, icon);
  const bool h = scene.hover;
  PlaceButton(painter, skin, scene.playing ? kBmpMiniPause : kBmpMiniPlay, mini::kPlay, h);
  PlaceButton(painter, skin, kBmpMiniPrevious, mini::kPrevious, h);
  PlaceButton(painter, skin, kBmpMiniNext, mini::kNext, h);
  PlaceButton(painter, skin, kBmpMiniMinimise, mini::kMinimise, h);
  PlaceButton(painter, skin, kBmpMiniClose, mini::kClose, h);
  PlaceButton(painter, skin, kBmpMiniSettings, mini::kSettings, h);
  PlaceButton(painter, skin, kBmpMiniModeSwitch, mini::kModeSwitch, h);
  PlaceSlider(painter, skin, mini::kVolume, kMiniSlider, kBmpMiniChannel, kBmpMiniActiveChannel,
              kBmpMiniThumb, kBmpMiniActiveThumb, scene);
  Label(painter, mini::kStationName, QStringLiteral("中国之声"), pal::kLabelWhite, 12);
  Label(painter, mini::kStatus,
        scene.playing ? QStringLiteral("正在播放") : QStringLiteral("正在缓冲.."), pal::kLabelWhite,
        12);
  Label(painter, mini::kBanner, QStringLiteral("欢迎使用Lumio"), pal::kBannerCyan, 12);
  painter.end();
  return bar;
}

// Every bitmap at its own size, in id order, wrapped into rows.
QImage Sheet(const std::map<int, QImage>& skin, int width) {
  int x = 0;
  int y = 0;
  int row_height = 0;
  std::vector<std::pair<QPoint, const QImage*>> places;
  for (const auto& [id, image] : skin) {
    if (id == kBmpNormalBackground || id == kBmpMiniBackground) continue;
    if (x > 0 && x + image.width() > width) {
      x = 0;
      y += row_height + 18;
      row_height = 0;
    }
    places.emplace_back(QPoint(x, y + 12), &image);
    row_height = std::max(row_height, image.height());
    x += image.width() + 10;
  }
  QImage sheet = NewCanvas(width, y + row_height + 20, QColor(128, 128, 128));
  QPainter painter(&sheet);
  painter.setFont(SkinFont(10));
  int index = 0;
  for (const auto& [id, image] : skin) {
    if (id == kBmpNormalBackground || id == kBmpMiniBackground) continue;
    const auto& [at, bitmap] = places[static_cast<size_t>(index++)];
    painter.setPen(Qt::white);
    painter.drawText(at + QPoint(0, -2), QString::number(id));
    painter.drawImage(at, *bitmap);
  }
  painter.end();
  return sheet;
}

}  // namespace

QImage ComposePreview(const std::map<int, QImage>& skin, const QImage& icon, int scale) {
  const QImage small_icon = icon.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  Scene rest;
  Scene hover{true, true, true, true, 30};
  const QImage normal_rest = NormalWindow(skin, small_icon, rest);
  const QImage normal_hover = NormalWindow(skin, small_icon, hover);
  const QImage mini_rest = MiniBar(skin, small_icon, rest);
  const QImage mini_hover = MiniBar(skin, small_icon, hover);

  const int width = std::max(2 * kNormalWidth + kGap, kMiniWidth) + 2 * kGap;
  const QImage sheet = Sheet(skin, width - 2 * kGap);
  const int height = kGap + kNormalHeight + kGap + 2 * (kMiniHeight + kGap) + sheet.height() + kGap;
  QImage preview = NewCanvas(width, height, QColor(200, 204, 202));
  QPainter painter(&preview);
  int y = kGap;
  painter.drawImage(kGap, y, normal_rest);
  painter.drawImage(2 * kGap + kNormalWidth, y, normal_hover);
  y += kNormalHeight + kGap;
  painter.drawImage(kGap, y, mini_rest);
  y += kMiniHeight + kGap;
  painter.drawImage(kGap, y, mini_hover);
  y += kMiniHeight + kGap;
  painter.drawImage(kGap, y, sheet);
  painter.end();
  if (scale <= 1) return preview;
  return preview.scaled(preview.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace skin
