#include "Tavrix/Controls/UIProgressView_Preview.hpp"

namespace Tavrix {

UIProgressView UIProgressView_Preview::previews() { return UIProgressView{4, 0.5}; }

}  // namespace Tavrix
