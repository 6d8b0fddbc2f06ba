#pragma once

#include <memory>

#include "Platform/UI/BackgroundView.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// The view inside a scroll view that shows part of its document view. The shown part starts at the
// scroll position, a point of the document (y-up from its bottom-left corner) that stays within
// 0...(document size - clip size) on each axis; the document is placed so that this point sits at the
// clip view's origin. It is layer-backed and clips the document to its bounds. Fills its bounds with its
// background colour while drawsBackground is true.
class ClipView : public BackgroundView {
 public:
  using BackgroundView::BackgroundView;

  // The view scrolled (the clip view's only subview), or null.
  const std::shared_ptr<View>& documentView() const { return documentView_; }
  void setDocumentView(std::shared_ptr<View> view);

  Point scrollPosition() const { return scrollPosition_; }
  // Moves to the point, held to the document (a coordinate that is not finite stays as it is); true when
  // the position changed.
  bool scrollToPoint(Point point);

  void layout() override;

 protected:
  void didInit() override;

 private:
  void placeDocument();

  std::shared_ptr<View> documentView_;
  Point scrollPosition_;
};

}  // namespace platform
