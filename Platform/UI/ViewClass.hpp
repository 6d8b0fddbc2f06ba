#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewProperty.hpp"

namespace platform {

// The classes of views that can be made by name and the properties they expose by name, as interface files
// and key-value access need them. A class names its superclass and inherits its properties; the class
// "View" is always defined, with the property "hidden". Define a class once, from the file that implements
// it; a program that makes a class only by name must still link that file. Thread-safe.
class ViewClass {
 public:
  using Factory = std::function<std::shared_ptr<View>(const Rect& frame)>;
  using Properties = std::map<std::string, InspectableProperty, std::less<>>;

  // Defines class T, made by View::create<T>(frame).
  template <std::derived_from<View> T>
  static void define(std::string name, std::string superclass, Properties properties = {}) {
    define(
        std::move(name), std::move(superclass), typeid(T),
        [](const Rect& frame) -> std::shared_ptr<View> { return View::create<T>(frame); },
        std::move(properties));
  }
  // Throws std::invalid_argument when the name or the type is defined already, the superclass is not
  // defined, or the factory is empty.
  static void define(std::string name, std::string superclass, std::type_index type, Factory factory,
                     Properties properties);

  // A new view of the named class; std::invalid_argument for a class not defined.
  static std::shared_ptr<View> make(std::string_view name, const Rect& frame);

  // Sets or reads a property of a view by name, looked up in the view's class and then its superclasses (a
  // view whose own class is not defined has View's properties). Throws std::invalid_argument naming the
  // class and key when there is no such property or the value is of the wrong kind.
  static void setValue(View& view, std::string_view key, const InspectableValue& value);
  static InspectableValue value(const View& view, std::string_view key);
};

}  // namespace platform
