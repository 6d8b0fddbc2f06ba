#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Graph/AutoGraphMode.hpp"
#include "Tavrix/Graph/FontOptions.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/GridOptions.hpp"
#include "Tavrix/Graph/IAxis.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"
#include "Tavrix/Graph/PlotterDelegate.hpp"
#include "Tavrix/Graph/TickOptions.hpp"

namespace Tavrix {

// The chart view: hosts any number of plotters over a grid, optional tick dots, optional minimum, half and
// maximum value labels and an optional x axis, all of them sublayers of its own layer rebuilt on each pass.
// It owns the value range every plotter is drawn against and the order of the redraw cycle.
//
// The refresh steps (refresh(), and every layout and appearance change) rebuild the grid, every plotter and
// the axis (redraw()), then the labels. A plotter's new data (plotterDidUpdateData) recomputes the maximum
// at once when autoCalculateMax is set and queues that plotter's redraw on the main queue, reading the
// range when it runs. Tick dots are drawn only when an axis is assigned (null included).
//
// By default the view is flipped (reverseCoordinates): y = 0 is the top edge. The view holds its plotters
// and its axis; each plotter refers back to it weakly. Leaving the superview clears all plotters and the
// axis. Make it with View::create<GraphView>(frame). Main thread only.
class GraphView : public platform::View, public PlotterDelegate {
 public:
  using PlotterList = std::vector<std::shared_ptr<IDataPlotter>>;

  // Use View::create<GraphView>(frame).
  explicit GraphView(const platform::Rect& frame = platform::Rect());

  // The layers of the last passes.
  const std::shared_ptr<platform::ShapeLayer>& bottomLineLayer() const { return bottomLineLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& gridLayer() const { return gridLayer_; }
  const std::vector<std::shared_ptr<platform::TextLayer>>& textLayers() const { return textLayers_; }
  const std::shared_ptr<GradientLayer>& smallTickLayer() const { return smallTickLayer_; }
  const std::shared_ptr<GradientLayer>& largeTickLayer() const { return largeTickLayer_; }

  // In the order added, which is the drawing order.
  const PlotterList& plotters() const { return plotters_; }
  std::size_t plotterCount() const { return plotters_.size(); }
  // The plotter at index 0, 1 or 2, or null when there are fewer.
  std::shared_ptr<IDataPlotter> firstPlotter() const { return plotterAt(0); }
  std::shared_ptr<IDataPlotter> secondPlotter() const { return plotterAt(1); }
  std::shared_ptr<IDataPlotter> thirdPlotter() const { return plotterAt(2); }

  // Option records. Changing them, through the reference or a setter, redraws nothing: the next pass reads
  // them.
  FontOptions& fontOptions() { return fontOptions_; }
  const FontOptions& fontOptions() const { return fontOptions_; }
  void setFontOptions(FontOptions options) { fontOptions_ = std::move(options); }
  GridOptions& gridOptions() { return gridOptions_; }
  const GridOptions& gridOptions() const { return gridOptions_; }
  void setGridOptions(GridOptions options) { gridOptions_ = std::move(options); }
  TickOptions& tickOptions() { return tickOptions_; }
  const TickOptions& tickOptions() const { return tickOptions_; }
  void setTickOptions(TickOptions options) { tickOptions_ = std::move(options); }

  // Settings that only store; call refresh() or wait for the next layout.
  AutoGraphMode autoGraphMode() const { return autoGraphMode_; }
  void setAutoGraphMode(AutoGraphMode mode) { autoGraphMode_ = mode; }
  // Factor applied to every label value.
  double autoGraphModeTextScale() const { return autoGraphModeTextScale_; }
  void setAutoGraphModeTextScale(double scale) { autoGraphModeTextScale_ = scale; }
  // Kept for callers; the view does not read it.
  bool autoCalculateLineWidth() const { return autoCalculateLineWidth_; }
  void setAutoCalculateLineWidth(bool calculate) { autoCalculateLineWidth_ = calculate; }
  // Recompute the maximum from the data on every data change.
  bool autoCalculateMax() const { return autoCalculateMax_; }
  void setAutoCalculateMax(bool calculate) { autoCalculateMax_ = calculate; }
  bool useZeroAsMin() const { return useZeroAsMin_; }
  void setUseZeroAsMin(bool useZero) { useZeroAsMin_ = useZero; }
  // Text after every label value.
  const std::string& unit() const { return unit_; }
  void setUnit(std::string unit) { unit_ = std::move(unit); }
  // Rounding step of the minimum and maximum.
  ScaleMode scaleMode() const { return scaleMode_; }
  void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }

  // Whether the view is flipped; setting it lays the view out again.
  bool reverseCoordinates() const { return reverseCoordinates_; }
  void setReverseCoordinates(bool reverse);
  // Master switch of the value labels; setting it runs the refresh steps.
  bool isLabelsEnabled() const { return isLabelsEnabled_; }
  void setLabelsEnabled(bool enabled);
  // Setting the axis clears the previous one, draws the grid, the new axis and the tick dots, then runs the
  // refresh steps.
  const std::shared_ptr<IAxis>& axisX() const { return axisX_; }
  void setAxisX(std::shared_ptr<IAxis> axis);

  // The height kept free at the bottom: the axis's height, else 4 when tick dots are shown, else 0.
  double bottomInset() const;

  // The value range. The setters round by the scale mode's step s and only store; they do not redraw.
  // Products are formed in 64-bit whole numbers and saturate at their limits.
  // The minimum is s * round((v - s) / s), halves away from zero: 37 with step 10 gives 30, 34 gives 20.
  // Zero, values that are not finite, scale mode none and useZeroAsMin give 0.
  double minValue() const { return mMinValue_; }
  virtual void setMinValue(double value);
  // With scale mode none the value is stored as it is. Otherwise zero and values that are not finite give
  // 100; with autoGraphMode none the maximum is s * round((v + s) / s) (95 with step 10 gives 110, 105 gives
  // 120); in the speed modes it is stored exactly and the unit becomes the rate unit of the maximum.
  double maxValue() const { return mMaxValue_; }
  virtual void setMaxValue(double value);

  // Appends the plotter and becomes its delegate; draws it at once when it has no data, else handles its
  // data as plotterDidUpdateData does.
  virtual void addPlotter(const std::shared_ptr<IDataPlotter>& plotter);
  // animate() on every plotter that is also an IAnimatable, in order.
  virtual void animate();
  // clear() on every plotter in order, then forgets them.
  virtual void removeAllPlotters();
  // The refresh steps: layer-backed and clipping, redraw(), drawValueLabels().
  virtual void refresh();
  // The grid, then every plotter in order, then the axis.
  virtual void redraw();
  virtual void drawTickMarks();
  virtual void drawGrid();
  virtual void drawValueLabels();
  // The text of a label for a value, in the unit of the view.
  virtual std::string valueLabelText(double value) const;
  // Sets the maximum (through setMaxValue) to the largest value of all plotters' data, at least the
  // smallest positive normal double. Redraws nothing.
  virtual void calculateMax();

  // PlotterDelegate. On the main thread: recomputes the maximum when autoCalculateMax is set, then queues
  // the plotter's redraw on the main queue. Called on another thread, the whole step moves to the main
  // queue.
  void plotterDidUpdateData(const std::shared_ptr<IDataPlotter>& plotter) override;
  // Queues the plotter's redraw on the main queue.
  void plotterNeedsRedraw(const std::shared_ptr<IDataPlotter>& plotter) override;

  bool isFlipped() const override { return reverseCoordinates_; }
  void viewWillMoveToSuperview(platform::View* newSuperview) override;
  void viewDidChangeEffectiveAppearance() override;
  void layout() override;

 protected:
  void didInit() override;

 private:
  std::shared_ptr<IDataPlotter> plotterAt(std::size_t index) const;
  std::shared_ptr<GraphView> sharedGraphView();
  // Draws one plotter into the layer with the current range, under the view's appearance.
  void drawPlotter(IDataPlotter& plotter);
  void queueRedraw(const std::shared_ptr<IDataPlotter>& plotter);
  // A label of the pass: a right-aligned text layer at the frame, added to the layer.
  void addValueLabel(std::string text, const platform::Rect& frame);

  std::shared_ptr<platform::ShapeLayer> bottomLineLayer_ = std::make_shared<platform::ShapeLayer>();
  std::shared_ptr<platform::ShapeLayer> gridLayer_ = std::make_shared<platform::ShapeLayer>();
  std::vector<std::shared_ptr<platform::TextLayer>> textLayers_;
  std::shared_ptr<GradientLayer> smallTickLayer_;
  std::shared_ptr<GradientLayer> largeTickLayer_;
  PlotterList plotters_;
  double mMinValue_ = 0;
  double mMaxValue_ = 100;
  FontOptions fontOptions_;
  GridOptions gridOptions_;
  TickOptions tickOptions_;
  AutoGraphMode autoGraphMode_ = AutoGraphMode::none;
  double autoGraphModeTextScale_ = 1;
  bool autoCalculateLineWidth_ = true;
  bool autoCalculateMax_ = false;
  bool reverseCoordinates_ = true;
  std::shared_ptr<IAxis> axisX_;
  bool useZeroAsMin_ = false;
  std::string unit_;
  bool isLabelsEnabled_ = true;
  ScaleMode scaleMode_ = ScaleMode::ten;
};

}  // namespace Tavrix
