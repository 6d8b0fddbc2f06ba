#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix::NSBezierPath {

// A BezierPath already keeps its outline as a Path of these elements, so the conversion is a copy.
platform::Path cgPath(const platform::BezierPath& path) { return path.path(); }

}  // namespace Tavrix::NSBezierPath
