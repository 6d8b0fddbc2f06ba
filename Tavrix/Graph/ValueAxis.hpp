#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Tavrix/Graph/IAxis.hpp"
#include "Tavrix/Graph/ValueAxisFormatType.hpp"

namespace Tavrix {

// An x axis that labels the plot's width with numbers from min at the left edge to max at the right edge,
// in segmentCount equal segments: min starts 4 points from the left, max ends 4 points from the right and
// each inner label is centred on its segment boundary, all centred 12 points above the bottom edge.
// Settings show at the next draw.
class ValueAxis : public IAxis {
 public:
  ValueAxis(double min, double max, std::int64_t segmentCount);

  // The labels of the last draw.
  const std::vector<std::shared_ptr<platform::TextLayer>>& layers() const { return layers_; }
  void setLayers(std::vector<std::shared_ptr<platform::TextLayer>> layers) { layers_ = std::move(layers); }
  double min() const { return min_; }
  void setMin(double min) { min_ = min; }
  double max() const { return max_; }
  void setMax(double max) { max_ = max; }
  std::int64_t segmentCount() const { return segmentCount_; }
  void setSegmentCount(std::int64_t count) { segmentCount_ = count; }
  double fontSize() const { return fontSize_; }
  void setFontSize(double size) { fontSize_ = size; }
  platform::FontWeight fontWeight() const { return fontWeight_; }
  void setFontWeight(platform::FontWeight weight) { fontWeight_ = weight; }
  ValueAxisFormatType formatType() const { return formatType_; }
  void setFormatType(ValueAxisFormatType type) { formatType_ = type; }
  // A printf format of one double, "%.2f" by default. Only a format with exactly one floating conversion
  // (and any literal text and "%%") draws labels; any other draws none.
  const std::string& formatString() const { return formatString_; }
  void setFormatString(std::string format) { formatString_ = std::move(format); }
  // Written after the number, one blank between.
  const std::optional<std::string>& unit() const { return unit_; }
  void setUnit(std::optional<std::string> unit) { unit_ = std::move(unit); }

  double height() const override { return 24; }
  // Draws nothing (after removing the old labels) when the format is not usable, max is not above 0 or
  // min is not below max. The line width is not used.
  void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) override;
  void clear() override;

  // The formatted value with the unit after a blank; nothing when the format is not usable.
  virtual std::optional<std::string> text(double value) const;
  // A secondary-label-coloured, centred label of frame (x, H - 12 - height / 2, width, height).
  virtual void addLabel(platform::Layer& layer, const std::shared_ptr<const platform::Font>& font,
                        const std::string& text, double x, double width, double height);

 private:
  std::vector<std::shared_ptr<platform::TextLayer>> layers_;
  double min_;
  double max_;
  std::int64_t segmentCount_;
  double fontSize_ = 12;
  platform::FontWeight fontWeight_ = platform::FontWeight::regular;
  ValueAxisFormatType formatType_ = ValueAxisFormatType::formatString;
  std::string formatString_ = "%.2f";
  std::optional<std::string> unit_;
};

}  // namespace Tavrix
