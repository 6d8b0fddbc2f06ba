#include "Platform/Graphics/AnimationList.hpp"

#include <algorithm>

namespace platform {

void AnimationList::add(BasicAnimation animation, std::string key, double now) {
  if (animation.beginTime == 0) {
    animation.beginTime = now;
  }
  std::erase_if(entries_, [&key, now](const auto& entry) {
    return entry.first == key || entry.second.isFinished(now);
  });
  entries_.emplace_back(std::move(key), std::move(animation));
}

void AnimationList::removeAll() { entries_.clear(); }

const BasicAnimation* AnimationList::find(std::string_view key, double now) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [key, now](const auto& entry) {
    return entry.first == key && !entry.second.isFinished(now);
  });
  return found == entries_.end() ? nullptr : &found->second;
}

std::vector<std::string> AnimationList::keys(double now) const {
  std::vector<std::string> result;
  for (const auto& [key, animation] : entries_) {
    if (!animation.isFinished(now)) {
      result.push_back(key);
    }
  }
  return result;
}

AnimatableValue AnimationList::apply(std::string_view keyPath, const AnimatableValue& model,
                                     double time) const {
  AnimatableValue value = model;
  for (const auto& entry : entries_) {
    const BasicAnimation& animation = entry.second;
    if (animation.keyPath != keyPath) {
      continue;
    }
    if (const std::optional<double> progress = animation.progressAt(time)) {
      value = interpolate(animation.fromValue.value_or(model), animation.toValue.value_or(model), *progress);
    }
  }
  return value;
}

}  // namespace platform
