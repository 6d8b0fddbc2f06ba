#pragma once

#include <memory>

#include "Platform/UI/BackgroundView.hpp"
#include "Platform/UI/ClipView.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A view that shows part of a larger document view through its clip view (contentView), which fills it;
// a table's header view, when the document is a table that has one, sits above the clip view. Fills its
// bounds with its background colour while drawsBackground is true (independently of the clip view's own
// setting). The scroll wheel moves the clip view within the document; a scroll it cannot follow (the
// document already at that edge, or not larger than the clip view) passes up the responder chain.
class ScrollView : public BackgroundView {
 public:
  using BackgroundView::BackgroundView;

  const std::shared_ptr<ClipView>& contentView() const { return contentView_; }
  std::shared_ptr<View> documentView() const { return contentView_->documentView(); }
  void setDocumentView(std::shared_ptr<View> view);

  void layout() override;
  void scrollWheel(const Event& event) override;

 protected:
  void didInit() override;

 private:
  std::shared_ptr<ClipView> contentView_;
  std::shared_ptr<View> headerView_;
};

}  // namespace platform
