#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewProperty.hpp"

namespace platform {

// What an interface file says about one view: its class, its frame in its superview, the values of its
// exposed properties in the order given, and its subviews.
struct ViewArchive {
  std::string className = "View";
  Rect frame;
  std::vector<std::pair<std::string, InspectableValue>> settings;
  std::vector<ViewArchive> subviews;
};

// Builds view trees from archives, as loading an interface file does.
class ViewLoader {
 public:
  // Makes each view by its class (ViewClass::make with its frame), applies its settings in order
  // (ViewClass::setValue) and adds its subviews in order; once the whole tree is built, awakeFromNib runs
  // on every view, superviews first. Throws std::invalid_argument, before any view awakes, for a class not
  // defined, a property the class lacks or a value of the wrong kind.
  static std::shared_ptr<View> load(const ViewArchive& archive);
};

}  // namespace platform
