#include "glyphs.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace skin {

namespace {

// Glyphs are designed on a 0..1 square and mapped onto the box.
struct Unit {
  QRectF box;
  QPointF at(double x, double y) const {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
  }
  double len(double v) const { return v * std::min(box.width(), box.height()); }
};

QPainterPath Stroked(const QPainterPath& path, double width, Qt::PenCapStyle cap) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(cap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(path);
}

// A filled polygon with slightly rounded corners, which reads softer at small sizes.
QPainterPath SoftPolygon(const QPolygonF& polygon, double rounding) {
  QPainterPath path;
  path.addPolygon(polygon);
  path.closeSubpath();
  if (rounding <= 0) return path;
  return path.united(Stroked(path, rounding, Qt::RoundCap)).simplified();
}

QPainterPath Triangle(const Unit& u, QPointF a, QPointF b, QPointF c) {
  return SoftPolygon(QPolygonF{u.at(a.x(), a.y()), u.at(b.x(), b.y()), u.at(c.x(), c.y())},
                     u.len(0.07));
}

QPainterPath RoundBar(const Unit& u, double x0, double y0, double x1, double y1, double radius) {
  QPainterPath path;
  path.addRoundedRect(QRectF(u.at(x0, y0), u.at(x1, y1)), u.len(radius), u.len(radius));
  return path;
}

QPainterPath SpeakerCone(const Unit& u) {
  return SoftPolygon(QPolygonF{u.at(0.10, 0.37), u.at(0.27, 0.37), u.at(0.48, 0.17),
                               u.at(0.48, 0.83), u.at(0.27, 0.63), u.at(0.10, 0.63)},
                     u.len(0.06));
}

QPainterPath Wave(const Unit& u, double radius) {
  const QPointF centre = u.at(0.44, 0.5);
  const double r = u.len(radius);
  QPainterPath arc;
  arc.arcMoveTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -48);
  arc.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -48, 96);
  return Stroked(arc, u.len(0.085), Qt::RoundCap);
}

QPainterPath Line(const Unit& u, QPointF a, QPointF b, double width) {
  QPainterPath path;
  path.moveTo(u.at(a.x(), a.y()));
  path.lineTo(u.at(b.x(), b.y()));
  return Stroked(path, width, Qt::RoundCap);
}

// A chevron with its point at (0.5, apex) and its arms ending at height `arms`.
QPainterPath Chevron(const Unit& u, double apex, double arms) {
  QPainterPath path;
  path.moveTo(u.at(0.27, arms));
  path.lineTo(u.at(0.5, apex));
  path.lineTo(u.at(0.73, arms));
  return Stroked(path, std::max(1.4, u.len(0.1)), Qt::RoundCap);
}

QPainterPath Gear(const Unit& u) {
  const QPointF centre = u.at(0.5, 0.5);
  QPainterPath gear;
  constexpr int kTeeth = 8;
  const double outer = u.len(0.46);
  const double inner = u.len(0.31);
  QPolygonF outline;
  for (int i = 0; i < kTeeth * 4; ++i) {
    // Each tooth: rise, top, fall, root; a quarter of the pitch each.
    const double angle = (i - 0.5) * 2 * std::numbers::pi / (kTeeth * 4);
    const double radius = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
    outline << QPointF(centre.x() + radius * std::cos(angle),
                       centre.y() + radius * std::sin(angle));
  }
  gear = SoftPolygon(outline, u.len(0.04));
  QPainterPath hole;
  hole.addEllipse(centre, u.len(0.13), u.len(0.13));
  return gear.subtracted(hole);
}

QPainterPath Broadcast(const Unit& u) {
  QPainterPath path;
  path.addEllipse(u.at(0.5, 0.42), u.len(0.085), u.len(0.085));
  // The mast.
  path = path.united(
      SoftPolygon(QPolygonF{u.at(0.47, 0.46), u.at(0.53, 0.46), u.at(0.62, 0.86), u.at(0.38, 0.86)},
                  u.len(0.03)));
  for (double radius : {0.2, 0.34}) {
    const QPointF centre = u.at(0.5, 0.42);
    const double r = u.len(radius);
    const QRectF ring(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    for (double start : {-42.0, 138.0}) {
      QPainterPath arc;
      arc.arcMoveTo(ring, start);
      arc.arcTo(ring, start, 84);
      path = path.united(Stroked(arc, u.len(0.075), Qt::RoundCap));
    }
  }
  return path.simplified();
}

}  // namespace

QPainterPath GlyphPath(Glyph glyph, const QRectF& box) {
  const Unit u{box};
  switch (glyph) {
    case Glyph::kNone:
      return {};
    case Glyph::kPlay:
      // Shifted right of centre: a triangle's visual weight sits left of its box centre.
      return Triangle(u, {0.30, 0.17}, {0.30, 0.83}, {0.86, 0.5});
    case Glyph::kPause: {
      QPainterPath path = RoundBar(u, 0.22, 0.18, 0.42, 0.82, 0.05);
      return path.united(RoundBar(u, 0.58, 0.18, 0.78, 0.82, 0.05));
    }
    case Glyph::kStop:
      return RoundBar(u, 0.22, 0.22, 0.78, 0.78, 0.09);
    case Glyph::kPrevious: {
      QPainterPath path = RoundBar(u, 0.16, 0.22, 0.28, 0.78, 0.04);
      return path.united(Triangle(u, {0.82, 0.22}, {0.82, 0.78}, {0.34, 0.5}));
    }
    case Glyph::kNext: {
      QPainterPath path = RoundBar(u, 0.72, 0.22, 0.84, 0.78, 0.04);
      return path.united(Triangle(u, {0.18, 0.22}, {0.18, 0.78}, {0.66, 0.5}));
    }
    case Glyph::kSpeaker:
      return SpeakerCone(u).united(Wave(u, 0.18)).united(Wave(u, 0.34));
    case Glyph::kSpeakerLow:
      return SpeakerCone(u).united(Wave(u, 0.18));
    case Glyph::kSpeakerMuted:
      return SpeakerCone(u);
    case Glyph::kMutedCross: {
      const double w = u.len(0.085);
      return Line(u, {0.60, 0.36}, {0.88, 0.64}, w).united(Line(u, {0.60, 0.64}, {0.88, 0.36}, w));
    }
    case Glyph::kMinimise: {
      // Whole pixels keep the dash crisp.
      const double y = std::round(box.top() + box.height() * 0.62);
      const double x0 = std::round(box.left() + box.width() * 0.26);
      const double x1 = std::round(box.left() + box.width() * 0.74);
      QPainterPath path;
      path.addRect(QRectF(x0, y, x1 - x0, 2));
      return path;
    }
    case Glyph::kClose: {
      const double w = std::max(1.5, u.len(0.12));
      return Line(u, {0.28, 0.28}, {0.72, 0.72}, w).united(Line(u, {0.28, 0.72}, {0.72, 0.28}, w));
    }
    case Glyph::kMenu: {
      QPainterPath path;
      const double x0 = std::round(box.left() + box.width() * 0.27);
      const double x1 = std::round(box.left() + box.width() * 0.73);
      const double middle = std::floor(box.top() + box.height() / 2);
      for (int i = -1; i <= 1; ++i)
        path.addRect(QRectF(x0, middle - 1 + i * 4, x1 - x0, 2));
      return path;
    }
    case Glyph::kToMini:
      // Folding in: the window collapses to the bar.
      return Chevron(u, 0.37, 0.2).united(Chevron(u, 0.63, 0.8));
    case Glyph::kToNormal:
      // Folding out: the bar opens into the window.
      return Chevron(u, 0.2, 0.37).united(Chevron(u, 0.8, 0.63));
    case Glyph::kGear:
      return Gear(u);
    case Glyph::kBroadcast:
      return Broadcast(u);
  }
  return {};
}

}  // namespace skin
