#pragma once

#include <memory>

#include "Draskel/Volume.hpp"

namespace Draskel {

// A made-up volume for previews of the disk widget.
class MainVolume {
 public:
  MainVolume() = delete;

  // A new record for "/" named "Macintosh HD": internal, 2 TiB with 164,926,744,166 bytes free, reading
  // and writing at load 0.66 with the speed texts of 16,973,824 and 3,538,944 bytes per second, and 60
  // random loads in hundredths in each history (the load history takes the larger of each pair). It has no
  // icon: Linux has no effective icon of "/".
  static std::shared_ptr<Volume> demoVolume();
};

}  // namespace Draskel
