#pragma once

namespace platform {

class View;

// The layout that View::layout() does by default: no general solver, only the rules that pin a subview to
// its superview and fix its size. For each subview that does not translate its autoresizing mask into
// constraints, the active constraints held by the superview or the subview are read where
//   - the subview's width or height equals a constant;
//   - an attribute of the subview equals the same attribute of the superview plus a constant (or the
//     superview's equals the subview's plus a constant); a width or height may also have a multiplier.
// Only equalities count, and every other constraint is left alone. On each axis the edges, centre and size
// so fixed give the frame (a size from two edges, an edge from the other and the size); what stays open
// keeps its present value, and a size that would be negative is 0. Leading and trailing are left and right.
class ConstraintLayout {
 public:
  static void placeSubviews(View& superview);
};

}  // namespace platform
