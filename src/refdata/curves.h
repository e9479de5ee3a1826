#pragma once

#include <string>
#include <string_view>
#include <vector>

// Curves stored as short texts: valve characteristics, Fl, Fd and xT over travel, noise
// corrections and fluid properties over temperature. Every number in a curve text is followed
// by a backslash; "." is always accepted as decimal separator, and so is the user's own.
namespace quenta {

// Which coordinate a curve's lookups take.
enum enumCurveFunction : int {
  cCurveFunction_x,  // give x, get y
  cCurveFunction_y,  // give y, get x
};

// One cubic Bezier segment: its four points and the power-basis coefficients of x(t) and y(t),
// x(t) = Ax·t³ + Bx·t² + Cx·t + Dx for t in [0, 1], x'(t) = A3x·t² + B2x·t + Cx.
struct xBezierCurveSegment {
  // P0.x, P0.y, P1.x, P1.y, P2.x, P2.y, P3.x, P3.y: start, two control points, end.
  double points[8] = {};
  double Ax = 0, Bx = 0, Cx = 0, Dx = 0;
  double A3x = 0, B2x = 0;
  double Ay = 0, By = 0, Cy = 0, Dy = 0;
  double A3y = 0, B2y = 0;
  // All four points at one height: y(t) is that height for every t, so a lookup by x needs no
  // search (the constant FL, Fd and xT of plates and of many trims).
  bool level = false;
};

// A chain of cubic Bezier segments, eight numbers each. Segments are independent: one need not
// start where the previous one ended.
class xBezierCurve {
 public:
  // Throws Exception "Malformed curve." when the text is empty, ends inside a segment or holds
  // a number beyond ±1E300, and ConvertError when one of its numbers is not a number.
  xBezierCurve(std::string_view curvestring, enumCurveFunction func);

  // By x or by y as the curve was built. A value below the first segment's start gives that
  // start's other coordinate; a value beyond the last segment's end gives 1.0. Any other curve
  // function gives 0. Never fails, and finite for finite input.
  double Lookup(double value) const;

  // Segment n, counted from 1; nullptr outside 1..SegmentCount().
  const xBezierCurveSegment* getSegment(int n) const;
  int SegmentCount() const { return static_cast<int>(segments_.size()); }

  // Path texts of the curve drawn into the rectangle whose corner (x1, y2) is the point (0, 0)
  // and whose corner (x2, y1) is the point (1, 1); numbers with two decimals and ".". The
  // caller wraps them into its SVG path element or PDF content stream.
  std::string getSVG(double x1, double y1, double x2, double y2) const;
  std::string getPDF(double x1, double y1, double x2, double y2) const;

 private:
  std::vector<xBezierCurveSegment> segments_;
  enumCurveFunction func_;
};

// One point of a polyline.
struct xInterpolateCurveSegment {
  double x = 0;
  double y = 0;
};

// A polyline of x\y\ pairs in increasing x, interpolated linearly and clamped at both ends.
// Built with cCurveFunction_y, each pair is read as y\x\, so the same table can be inverted.
class xInterpolateCurve {
 public:
  // Throws Exception "Error: Invalid curve function" for a function other than the two values,
  // "Malformed curve." when the text is empty, ends inside a pair or holds a number beyond
  // ±1E300, and ConvertError when one of its numbers is not a number.
  xInterpolateCurve(std::string_view curvestring, enumCurveFunction func);

  double Lookup(double value) const;

 private:
  std::vector<xInterpolateCurveSegment> points_;
};

}  // namespace quenta
