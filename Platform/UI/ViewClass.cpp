#include "Platform/UI/ViewClass.hpp"

#include <mutex>
#include <optional>
#include <stdexcept>
#include <typeinfo>
#include <variant>

namespace platform {

namespace {

struct Entry {
  std::string superclass;
  ViewClass::Factory factory;
  ViewClass::Properties properties;
};

struct Registry {
  std::mutex mutex;
  std::map<std::string, Entry, std::less<>> byName;
  std::map<std::type_index, std::string> byType;

  Registry() {
    byName.emplace("View", Entry{"",
                                 [](const Rect& frame) { return View::create(frame); },
                                 {{"hidden", inspectable(&View::isHidden, &View::setHidden)}}});
    byType.emplace(typeid(View), "View");
  }
};

Registry& registry() {
  static Registry* shared = new Registry;  // never destroyed: usable from any static destructor
  return *shared;
}

struct Found {
  std::string className;
  std::optional<InspectableProperty> property;
};

// The property of the view's class or of the nearest superclass that has it.
Found findProperty(const View& view, std::string_view key) {
  Registry& classes = registry();
  std::lock_guard lock(classes.mutex);
  const auto type = classes.byType.find(typeid(view));
  Found found{type == classes.byType.end() ? "View" : type->second, std::nullopt};
  for (std::string name = found.className; !name.empty();) {
    const Entry& entry = classes.byName.find(name)->second;
    if (const auto property = entry.properties.find(key); property != entry.properties.end()) {
      found.property = property->second;
      break;
    }
    name = entry.superclass;
  }
  return found;
}

[[noreturn]] void noSuchProperty(const Found& found, std::string_view key) {
  throw std::invalid_argument(found.className + " has no property named " + std::string(key));
}

}  // namespace

void ViewClass::define(std::string name, std::string superclass, std::type_index type, Factory factory,
                       Properties properties) {
  Registry& classes = registry();
  std::lock_guard lock(classes.mutex);
  if (classes.byName.contains(name) || classes.byType.contains(type)) {
    throw std::invalid_argument("the view class " + name + " is defined already");
  }
  if (!classes.byName.contains(superclass)) {
    throw std::invalid_argument("the superclass " + superclass + " of " + name + " is not defined");
  }
  if (!factory) {
    throw std::invalid_argument("the view class " + name + " needs a factory");
  }
  classes.byType.emplace(type, name);
  classes.byName.emplace(std::move(name),
                         Entry{std::move(superclass), std::move(factory), std::move(properties)});
}

std::shared_ptr<View> ViewClass::make(std::string_view name, const Rect& frame) {
  Factory factory;
  {
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    const auto entry = classes.byName.find(name);
    if (entry == classes.byName.end()) {
      throw std::invalid_argument("no view class named " + std::string(name));
    }
    factory = entry->second.factory;
  }
  return factory(frame);
}

void ViewClass::setValue(View& view, std::string_view key, const InspectableValue& value) {
  const Found found = findProperty(view, key);
  if (!found.property) {
    noSuchProperty(found, key);
  }
  try {
    found.property->set(view, value);
  } catch (const std::bad_variant_access&) {
    throw std::invalid_argument("the property " + std::string(key) + " of " + found.className +
                                " takes a value of another kind");
  }
}

InspectableValue ViewClass::value(const View& view, std::string_view key) {
  const Found found = findProperty(view, key);
  if (!found.property) {
    noSuchProperty(found, key);
  }
  return found.property->get(view);
}

}  // namespace platform
