#pragma once

namespace Orvane {

// Which interfaces the network monitor keeps: every active one, or only the primary one.
enum class AdapterMode { all, primary };

}  // namespace Orvane
