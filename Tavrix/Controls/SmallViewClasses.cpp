// The small view subclasses that interface files name, made by name through ViewClass. Registered in one
// place, each with View's properties (it exposes none of its own).
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/DisabledScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"
#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"
#include "Tavrix/Controls/NoBackgroundScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundTableView.hpp"
#include "Tavrix/Controls/NoDividerSplitView.hpp"
#include "Tavrix/Controls/NonInteractiveTableView.hpp"
#include "Tavrix/Controls/NonInteractiveView.hpp"
#include "Tavrix/Controls/WindowContentView.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classesDefined = [] {
  using platform::ViewClass;
  ViewClass::define<NoBackgroundCollectionView>("NoBackgroundCollectionView", "View");
  ViewClass::define<NoBackgroundOutlineView>("NoBackgroundOutlineView", "View");
  ViewClass::define<NoBackgroundTableView>("NoBackgroundTableView", "View");
  ViewClass::define<NonInteractiveTableView>("NonInteractiveTableView", "View");
  ViewClass::define<DisabledScrollView>("DisabledScrollView", "View");
  ViewClass::define<NoBackgroundScrollView>("NoBackgroundScrollView", "View");
  ViewClass::define<NoDividerSplitView>("NoDividerSplitView", "View");
  ViewClass::define<NonInteractiveView>("NonInteractiveView", "View");
  ViewClass::define<WindowContentView>("WindowContentView", "View");
  return true;
}();

}  // namespace

}  // namespace Tavrix
