#pragma once

#include "Platform/UI/TableView.hpp"

namespace Tavrix {

// A table that lets a drag starting on it move the window.
class NonInteractiveTableView : public platform::TableView {
 public:
  using platform::TableView::TableView;

  bool mouseDownCanMoveWindow() const override;
};

}  // namespace Tavrix
