#pragma once

#include <memory>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"
#include "Tavrix/Graph/PlotterDelegate.hpp"

namespace Tavrix {

// What the plotters tell their delegate, in one place. Plotter is a plotter class made with
// std::make_shared (it hands itself to the delegate through shared_from_this()).

template <class Plotter>
void tellDataUpdated(Plotter& plotter) {
  if (const std::shared_ptr<PlotterDelegate> delegate = plotter.delegate()) {
    delegate->plotterDidUpdateData(plotter.shared_from_this());
  }
}

template <class Plotter>
void tellNeedsRedraw(Plotter& plotter) {
  if (const std::shared_ptr<PlotterDelegate> delegate = plotter.delegate()) {
    delegate->plotterNeedsRedraw(plotter.shared_from_this());
  }
}

// The update() step of the plotters: on the main thread, hands data to store and then tells the delegate;
// called elsewhere, posts plotter.update(data) to the main queue (the plotter kept alive until it runs),
// so the series is never written while a drawing pass reads it.
template <class Plotter, class Store>
void updateOnMainThread(Plotter& plotter, PlotterData data, Store store) {
  if (!platform::isMainThread()) {
    platform::DispatchQueue::main().async(
        [self = plotter.shared_from_this(), data = std::move(data)]() mutable {
          self->update(std::move(data));
        });
    return;
  }
  store(std::move(data));
  tellDataUpdated(plotter);
}

}  // namespace Tavrix
