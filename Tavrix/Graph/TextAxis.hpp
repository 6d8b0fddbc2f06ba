#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Tavrix/Controls/TextAlignMode.hpp"
#include "Tavrix/Graph/IAxis.hpp"

namespace Tavrix {

// An x axis with one text per slot: on evenly spaced tick positions, or centred in equal slots with an
// optional smaller second line, slot backgrounds and one selected slot whose colours animate when the
// selection changes. An empty text leaves its slot blank. Settings other than the selection show at the next
// draw.
class TextAxis : public IAxis {
 public:
  TextAxis();

  // Labels (and detail lines) of the last draw in drawing order; in the centred layout with details each
  // slot's label is listed twice, before and after its detail line.
  const std::vector<std::shared_ptr<platform::TextLayer>>& layers() const { return layers_; }
  void setLayers(std::vector<std::shared_ptr<platform::TextLayer>> layers) { layers_ = std::move(layers); }
  // Slot backgrounds of the last draw.
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& fillLayers() const { return fillLayers_; }
  void setFillLayers(std::vector<std::shared_ptr<platform::ShapeLayer>> layers) {
    fillLayers_ = std::move(layers);
  }
  const std::vector<std::string>& texts() const { return texts_; }
  void setTexts(std::vector<std::string> texts) { texts_ = std::move(texts); }
  // Second lines, used only when there are exactly as many as texts.
  const std::vector<std::optional<std::string>>& details() const { return details_; }
  void setDetails(std::vector<std::optional<std::string>> details) { details_ = std::move(details); }
  double fontSize() const { return fontSize_; }
  void setFontSize(double size) { fontSize_ = size; }
  double detailFontSize() const { return detailFontSize_; }
  void setDetailFontSize(double size) { detailFontSize_ = size; }
  platform::FontWeight fontWeight() const { return fontWeight_; }
  void setFontWeight(platform::FontWeight weight) { fontWeight_ = weight; }
  TextAlignMode alignMode() const { return alignMode_; }
  void setAlignMode(TextAlignMode mode) { alignMode_ = mode; }
  // Slot backgrounds in the centred layout; the axis is then 36 points high instead of 24.
  bool fillLabel() const { return fillLabel_; }
  void setFillLabel(bool fill) { fillLabel_ = fill; }
  // Backgrounds sit half of it to the right of their slots.
  double fillOffset() const { return fillOffset_; }
  void setFillOffset(double offset) { fillOffset_ = offset; }
  const platform::ColorRef& fillColor() const { return fillColor_; }
  void setFillColor(platform::ColorRef color) { fillColor_ = std::move(color); }
  // Setting it, directly or through modifySelectedIndex, runs selectionChanged(old, new).
  std::optional<std::int64_t> selectedIndex() const { return selectedIndex_; }
  void setSelectedIndex(std::optional<std::int64_t> index);
  void modifySelectedIndex(const std::function<void(std::optional<std::int64_t>&)>& change);
  const platform::ColorRef& selectedColor() const { return selectedColor_; }
  void setSelectedColor(platform::ColorRef color) { selectedColor_ = std::move(color); }
  const platform::ColorRef& selectedTextColor() const { return selectedTextColor_; }
  void setSelectedTextColor(platform::ColorRef color) { selectedTextColor_ = std::move(color); }

  double height() const override { return fillLabel_ ? 36 : 24; }
  // Removes the old labels and backgrounds, then lays the texts out by alignMode unless there are none.
  void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) override;
  void clear() override;

  // Fades the old slot's background and label back to their plain colours and the new slot's to the
  // selected ones (0.4 s each); slots without a background show nothing.
  virtual void selectionChanged(std::optional<std::int64_t> oldIndex, std::optional<std::int64_t> newIndex);
  // The first label left-aligned 2 points from the left edge, the last right-aligned ending 2 points from
  // the right edge, the others centred on equal steps (less half the line width).
  virtual void layoutEvenly(platform::Layer& layer, double lineWidth);
  // Labels centred in equal slots, with detail lines and backgrounds.
  virtual void layoutCentered(platform::Layer& layer);
  // Where slot `index` ends in the rectangle: whole-point steps of width / count, the last slot at the
  // right edge.
  virtual double slotEnd(std::int64_t index, const platform::Rect& rect) const;

 private:
  // The layers drawn for one slot; all null for an empty text.
  struct Slot {
    std::shared_ptr<platform::TextLayer> label;
    std::shared_ptr<platform::ShapeLayer> background;
  };

  std::shared_ptr<platform::TextLayer> makeLabel(const std::string& text, double size, platform::Rgba color,
                                                 platform::TextAlignment alignment) const;
  const Slot* slot(std::optional<std::int64_t> index) const;
  double bandTop(double layerHeight) const { return layerHeight - height(); }

  std::vector<std::shared_ptr<platform::TextLayer>> layers_;
  std::vector<std::shared_ptr<platform::ShapeLayer>> fillLayers_;
  std::vector<Slot> slots_;
  std::vector<std::string> texts_;
  std::vector<std::optional<std::string>> details_;
  double fontSize_ = 12;
  double detailFontSize_ = 10;
  platform::FontWeight fontWeight_ = platform::FontWeight::regular;
  TextAlignMode alignMode_ = TextAlignMode::evenly;
  bool fillLabel_ = false;
  double fillOffset_ = 4;
  platform::ColorRef fillColor_;
  std::optional<std::int64_t> selectedIndex_;
  platform::ColorRef selectedColor_;
  platform::ColorRef selectedTextColor_;
};

}  // namespace Tavrix
