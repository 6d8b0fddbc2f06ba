#pragma once

namespace platform {

// How lines of text sit across the width they are laid out in. Natural follows the writing direction of
// each paragraph (left for left-to-right text); justified stretches every wrapped line but the last.
enum class TextAlignment { natural, left, right, center, justified };

}  // namespace platform
