#pragma once

#include "Platform/UI/TableView.hpp"

namespace platform {

// A table whose rows would nest; as a stand-in it is a table.
class OutlineView : public TableView {
 public:
  using TableView::TableView;
};

}  // namespace platform
