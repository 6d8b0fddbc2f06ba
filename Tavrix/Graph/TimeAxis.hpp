#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Foundation/DateFormatter.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextAlignment.hpp"
#include "Tavrix/Graph/IAxis.hpp"
#include "Tavrix/Graph/TimePeriod.hpp"

namespace Tavrix {

// An x axis for timestamped samples: a tick at the left of each sample's slot and short month names
// (10-point system font) in the region's locale and time zone. Set the timestamps before the graph view
// draws the axis.
class TimeAxis : public IAxis {
 public:
  TimeAxis();

  // Replaced on every draw.
  const std::shared_ptr<platform::ShapeLayer>& tickLayer() const { return tickLayer_; }
  void setTickLayer(std::shared_ptr<platform::ShapeLayer> layer) { tickLayer_ = std::move(layer); }
  // The tick layer and labels of the last draw.
  const std::vector<std::shared_ptr<platform::Layer>>& layers() const { return layers_; }
  void setLayers(std::vector<std::shared_ptr<platform::Layer>> layers) { layers_ = std::move(layers); }
  // Kept for callers; drawing does not use them (labels are always 10-point regular).
  std::int64_t verticalSegments() const { return verticalSegments_; }
  void setVerticalSegments(std::int64_t count) { verticalSegments_ = count; }
  double fontSize() const { return fontSize_; }
  void setFontSize(double size) { fontSize_ = size; }
  platform::FontWeight fontWeight() const { return fontWeight_; }
  void setFontWeight(platform::FontWeight weight) { fontWeight_ = weight; }
  TimePeriod period() const { return period_; }
  void setPeriod(TimePeriod period) { period_ = period; }
  // Seconds since 1970, one per sample, oldest first.
  const std::vector<double>& timestamps() const { return timestamps_; }
  void setTimestamps(std::vector<double> timestamps) { timestamps_ = std::move(timestamps); }
  const platform::ColorRef& tickColor() const { return tickColor_; }
  void setTickColor(platform::ColorRef color) { tickColor_ = std::move(color); }

  double height() const override { return 24; }
  // Ticks, then labels, in the 24-point band at the bottom of the layer. The line width is not used.
  void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) override;
  // Removes the layers; the settings and timestamps stay.
  void clear() override;

  // lastYear: a slot label per sample. weekly (two samples or more): samples n-1, n-5, ... down to 1 get the
  // month label placed at offset(), clamped 4 points from the left edge (which ends the pass); a label that
  // would overlap one already placed is skipped.
  virtual void drawLabels(platform::Layer& layer, double bandHeight);
  // A label centred `offset` points from the right edge in the lower bandHeight - 4 points of the band,
  // unless it would overlap a label placed before.
  virtual void addLabel(platform::Layer& layer, const std::string& text, platform::TextAlignment alignment,
                        double offset, double bandHeight);
  // The left-aligned label filling slot `index` from a tenth into it.
  virtual void addSlotLabel(platform::Layer& layer, std::size_t index, double timestamp, double bandHeight);
  // How far from the right edge the start of the timestamp's month lies: one slot for the newest sample,
  // the span from the first to the last sample covering the width. One slot for every timestamp when the
  // span is empty; 0 without samples or without a month start.
  virtual double offset(double timestamp, const platform::Layer& layer) const;
  // A new tick layer with a 2-point tick at the left of each slot.
  virtual void drawTicks(platform::Layer& layer, double bandHeight);
  // The first instant of the timestamp's month (Gregorian, region's time zone).
  virtual std::optional<double> startOfMonth(double timestamp) const;

 private:
  // The month formatter and calendar of one draw pass, made once for all its labels in the region as it
  // is when the pass starts (making them costs more than the rest of a label), and the label widths
  // measured in the pass by text and band height (each weekly label is measured twice).
  struct MonthScale {
    platform::DateFormatter format{"LLL"};
    platform::Calendar calendar = platform::Calendar::gregorian();
    std::map<std::pair<std::string, double>, double> widths;
  };

  double labelWidth(const std::string& text, double bandHeight);

  // The short stand-alone month name of a timestamp in the region's locale and zone.
  std::string monthText(double timestamp) const;

  std::optional<MonthScale> pass_;
  std::shared_ptr<platform::ShapeLayer> tickLayer_ = std::make_shared<platform::ShapeLayer>();
  std::vector<std::shared_ptr<platform::Layer>> layers_;
  std::int64_t verticalSegments_ = 4;
  double fontSize_ = 12;
  platform::FontWeight fontWeight_ = platform::FontWeight::regular;
  TimePeriod period_ = TimePeriod::lastYear;
  std::vector<double> timestamps_;
  platform::ColorRef tickColor_;
};

}  // namespace Tavrix
