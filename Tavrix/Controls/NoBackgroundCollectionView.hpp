#pragma once

#include <memory>

#include "Platform/UI/CollectionView.hpp"

namespace Tavrix {

// A collection view that shows no background of its own and takes away its scroll view's: from creation,
// removeBackground has run, and it never has a background view (setting one is ignored).
class NoBackgroundCollectionView : public platform::CollectionView {
 public:
  using platform::CollectionView::CollectionView;

  // Turns off the enclosing scroll view's and its clip view's backgrounds, then makes the background
  // colours [clear].
  virtual void removeBackground();

  std::shared_ptr<platform::View> backgroundView() const override { return nullptr; }
  void setBackgroundView(std::shared_ptr<platform::View>) override {}

 protected:
  void didInit() override;
};

}  // namespace Tavrix
