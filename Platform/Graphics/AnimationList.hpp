#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Graphics/AnimatableValue.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"

namespace platform {

// A layer's animations by key, in the order they were added. Animations that are removed on completion and
// have ended are left out of every answer (and dropped when the list next changes).
class AnimationList {
 public:
  // Stores the animation under key, replacing any animation of that key (the new one goes last). A beginTime
  // of 0 becomes now.
  void add(BasicAnimation animation, std::string key, double now);
  void removeAll();

  const BasicAnimation* find(std::string_view key, double now) const;
  std::vector<std::string> keys(double now) const;

  // model with every animation of keyPath that has an effect at time applied in order; a later animation
  // overrides an earlier one.
  AnimatableValue apply(std::string_view keyPath, const AnimatableValue& model, double time) const;

 private:
  std::vector<std::pair<std::string, BasicAnimation>> entries_;
};

}  // namespace platform
