#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/ControlBackground.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A table: its header view (a plain view 23 points high, which a scroll view shows above its clip view
// when the table is its document) and a background filled over the bounds. No rows, columns or data
// source.
class TableView : public View {
 public:
  static constexpr double headerHeight = 23;

  explicit TableView(const Rect& frame = Rect());

  // Null when the table shows no header.
  const std::shared_ptr<View>& headerView() const { return headerView_; }
  void setHeaderView(std::shared_ptr<View> view) { headerView_ = std::move(view); }
  // controlBackgroundColor() until set.
  const ColorRef& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(ColorRef color);

  void draw(const Rect& dirtyRect) override;

 private:
  std::shared_ptr<View> headerView_;
  ColorRef backgroundColor_ = controlBackgroundColor();
};

}  // namespace platform
