#include "Platform/UI/ViewLoader.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace platform {

namespace {

std::shared_ptr<View> build(const ViewArchive& archive) {
  std::shared_ptr<View> view = ViewClass::make(archive.className, archive.frame);
  for (const auto& [key, value] : archive.settings) {
    ViewClass::setValue(*view, key, value);
  }
  for (const ViewArchive& subview : archive.subviews) {
    view->addSubview(build(subview));
  }
  return view;
}

void awake(View& view) {
  view.awakeFromNib();
  for (const std::shared_ptr<View>& subview : View::ViewList(view.subviews())) {
    awake(*subview);
  }
}

}  // namespace

std::shared_ptr<View> ViewLoader::load(const ViewArchive& archive) {
  std::shared_ptr<View> root = build(archive);
  awake(*root);
  return root;
}

}  // namespace platform
