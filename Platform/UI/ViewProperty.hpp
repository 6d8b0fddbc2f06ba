#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <variant>

#include "Platform/Graphics/Color.hpp"

namespace platform {

class View;

// A value an interface file can give a view property: a Boolean, an integer, a number, a text or a colour.
using InspectableValue = std::variant<bool, std::int64_t, double, std::string, ColorRef>;

// A view property that can be set and read by name (see ViewClass). The setter throws
// std::bad_variant_access for a value of another kind (an integer is taken for a number) and std::bad_cast
// for a view of another class.
struct InspectableProperty {
  std::function<void(View&, const InspectableValue&)> set;
  std::function<InspectableValue(const View&)> get;
};

template <class Value>
concept InspectableKind = std::same_as<Value, bool> || std::same_as<Value, std::int64_t> ||
    std::same_as<Value, double> || std::same_as<Value, std::string> || std::same_as<Value, ColorRef>;

// The property made of a getter and a setter of class T.
template <class T, class Getter, class Setter>
requires std::derived_from<T, View> && InspectableKind<std::remove_cvref_t<Setter>> InspectableProperty
inspectable(Getter (T::*getter)() const, void (T::*setter)(Setter)) {
  using Value = std::remove_cvref_t<Setter>;
  InspectableProperty property;
  property.set = [setter](View& view, const InspectableValue& value) {
    T& target = dynamic_cast<T&>(view);
    if constexpr (std::same_as<Value, double>) {
      if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        (target.*setter)(static_cast<double>(*integer));
        return;
      }
    }
    (target.*setter)(std::get<Value>(value));
  };
  property.get = [getter](const View& view) {
    return InspectableValue(Value((dynamic_cast<const T&>(view).*getter)()));
  };
  return property;
}

}  // namespace platform
