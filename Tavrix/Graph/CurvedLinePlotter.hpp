#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Graph/AreaLinePlotter.hpp"

namespace Tavrix {

// Draws one series as a smooth line: between two neighbouring samples an S-shaped curve, flat at each
// sample and steepest half-way (see appendSmoothCurve), optionally with the area under it filled down to the
// graph's bottom line. Optional circle markers sit on the samples, and optional thinning keeps one sample
// per minimumDistance points.
//
// Geometry, in the host layer's coordinates (y down in a graph view), with W and H its bounds' size, I the
// bottom inset and L the line width: U = H - I - L is the y of the minimum and 0 that of the maximum; a
// missing sample sits at U, a NaN sample at U - L. Samples are drawn L/2 lower, so a value at the maximum
// touches the top edge with its line and one at the minimum touches the bottom line. Sample i of n lies at
// x = i * (W - 2L) / (n - 1); the last one is pushed past the right edge to W + L.
//
// Setting a property only stores it; it shows at the next drawing pass. The exception is points, whose
// change asks the delegate for a redraw.
class CurvedLinePlotter : public AreaLinePlotter {
 public:
  explicit CurvedLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea = true);

  // Replaces the plotter's layers. Only removes them when layer is null, max is not above 0 or min is not at
  // or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;

  // The y of a value (see the class comment), without the L/2 offset of the samples. Maps every value to
  // U when max equals min.
  double yPosition(std::optional<double> value, double min, double max, platform::Size size,
                   double bottomInset) const;

  // The steps of draw(); they need the layers of a drawing pass.
  void drawPointsLine(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset);
  void drawPointsArea(const std::shared_ptr<platform::Layer>& layer, double bottomInset);
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  void drawArea(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);

 private:
  // Where the samples of the drawn series lie in a layer of the given size.
  std::vector<platform::Point> samplePositions(platform::Size size, double min, double max,
                                               double bottomInset) const;
  // Appends the curves through the positions, with the markers of every interval that ends in a present
  // sample above min.
  void appendSeriesCurves(platform::BezierPath& path, const std::vector<platform::Point>& positions,
                          const std::shared_ptr<platform::Layer>& layer, double min);
  // The line through calculatedPoints, its last point pushed to the right edge plus L.
  platform::BezierPath pointsPath(double width) const;
  void configureFill(const platform::BezierPath& path);
};

}  // namespace Tavrix
