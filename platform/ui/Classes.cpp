#include "ui/Classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

namespace {

void EraseOne(std::vector<TComponent*>& list, TComponent* c) {
  auto it = std::find(list.begin(), list.end(), c);
  if (it != list.end()) list.erase(it);
}

}  // namespace

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner) FOwner->Remove(this);
  for (TComponent* w : FWatched) EraseOne(w->FTellOnFree, this);
  FWatched.clear();
  while (!FTellOnFree.empty()) {
    TComponent* other = FTellOnFree.back();
    FTellOnFree.pop_back();
    EraseOne(other->FWatched, this);
    other->Notification(this);
  }
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  other->FTellOnFree.push_back(this);
  FWatched.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  auto it = std::find(FWatched.begin(), FWatched.end(), other);
  if (it == FWatched.end()) return;
  FWatched.erase(it);
  EraseOne(other->FTellOnFree, this);
}

void TComponent::Remove(TComponent* c) {
  auto it = std::find(FComponents.begin(), FComponents.end(), c);
  if (it != FComponents.end()) FComponents.erase(it);
}

void TComponent::DestroyComponents() {
  // Deleting one component may delete others (a window deletes its child
  // windows); each leaves the list as it goes, so always take the last one left.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    FComponents.pop_back();
    c->FOwner = nullptr;
    delete c;
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(index)];
}
