#pragma once
/** The root of the class library's objects and the owner relation: a
 *  component frees the components it owns when it goes. */

#include <string>
#include <vector>

/** Root class; the Sender of every event. */
class TObject {
public:
  virtual ~TObject() = default;
};

/** A component with an owner, a name and a tag. The owner deletes what it owns
 *  (the last created first); a component deleted earlier leaves its owner's list. */
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  /** Owned component at index, or null outside the list. */
  TComponent* Components(int index) const;
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  /** other tells this component (Notification) when it goes, so that a
   *  component borrowing another never keeps a freed one. Each call is
   *  undone by one RemoveFreeNotification. */
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

protected:
  /** Deletes every owned component, the last created first. */
  void DestroyComponents();
  /** AComponent is being freed (only the pointer may be used). */
  virtual void Notification(TComponent* /*AComponent*/) {}

private:
  void Remove(TComponent* c);
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FTellOnFree;  // told when this one goes
  std::vector<TComponent*> FWatched;     // those that tell this one
  std::string FName;
  int FTag = 0;
};
