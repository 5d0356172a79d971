#include "generator/Hashes.h"

#include <functional>
#include <utility>

namespace {

// Tables up to this size are searched record by record: most tables of the
// engine (one per block instance) hold a handful of keys, and an index would
// cost more than it saves.
constexpr size_t kDirectSearchLimit = 8;

}  // namespace

// ---------------------------------------------------------------- THash

THash::THash()
    : SizeShift(7),
      BucketCount(1 << 7),
      BucketMask((1 << 7) - 1),
      BucketHigh((1 << 7) - 1),
      NextAllowed(false),
      IterBucket(-1),
      IterEntry(0) {}

THash::~THash() = default;

uint32_t THash::HashOf(std::string_view key) {
  if (key.empty()) throw EHashInvalidKeyError("Key cannot be an empty string");
  uint32_t h = 0x12345670u;
  for (unsigned char b : key) {
    h = (h << 4) + b;
    const uint32_t g = h & 0xF0000000u;
    if (g != 0) h |= g >> 24;
  }
  return h;
}

uint32_t THash::LookupHashOf(std::string_view key) {
  return static_cast<uint32_t>(std::hash<std::string_view>{}(key));
}

int THash::FindItem(std::string_view key) const {
  if (key.empty()) (void)HashOf(key);  // raises the empty-key error
  if (FIndex.empty()) {
    for (const THashRecord& r : FRecords)
      if (r.Key == key) return r.ItemIndex;
    return -1;
  }
  const uint32_t lookupHash = LookupHashOf(key);
  const size_t mask = FIndex.size() - 1;
  for (size_t slot = lookupHash & mask;; slot = (slot + 1) & mask) {
    const TIndexSlot& entry = FIndex[slot];
    if (entry.Position < 0) return -1;
    if (entry.LookupHash == lookupHash) {
      const THashRecord& r = FRecords[static_cast<size_t>(entry.Position)];
      if (r.Key == key) return r.ItemIndex;
    }
  }
}

bool THash::Exists(std::string_view key) const { return FindItem(key) >= 0; }

int THash::ItemIndexOf(std::string_view key) const {
  const int index = FindItem(key);
  if (index < 0) throw EHashFindError("Key \"" + std::string(key) + "\" not found");
  return index;
}

int THash::ItemIndexForWrite(std::string_view key, bool& added) {
  const int found = FindItem(key);
  if (found >= 0) {
    added = false;
    return found;
  }
  const uint32_t hash = HashOf(key);
  const int index = ItemHigh() + 1;
  SetItemCount(index + 1);
  AddRecord(hash, key);
  FRecords.back().ItemIndex = index;
  NextAllowed = false;
  added = true;
  return index;
}

void THash::AddRecord(uint32_t hash, std::string_view key) {
  FRecords.push_back(THashRecord{hash, 0, std::string(key)});
  const int position = static_cast<int>(FRecords.size()) - 1;
  if (!Keys.empty()) Keys[hash & static_cast<uint32_t>(BucketMask)].push_back(position);

  const size_t count = FRecords.size();
  if (count <= kDirectSearchLimit) return;
  if (count * 2 > FIndex.size()) {
    size_t slots = 32;
    while (slots < count * 4) slots <<= 1;
    RebuildIndex(slots);
  } else {
    IndexRecord(position, LookupHashOf(key));
  }
}

void THash::IndexRecord(int position, uint32_t lookupHash) {
  const size_t mask = FIndex.size() - 1;
  size_t slot = lookupHash & mask;
  while (FIndex[slot].Position >= 0) slot = (slot + 1) & mask;
  FIndex[slot] = TIndexSlot{position, lookupHash};
}

void THash::RebuildIndex(size_t slots) {
  FIndex.assign(slots, TIndexSlot{-1, 0});
  for (size_t position = 0; position < FRecords.size(); ++position)
    IndexRecord(static_cast<int>(position), LookupHashOf(FRecords[position].Key));
}

void THash::BuildBuckets() {
  Keys.assign(static_cast<size_t>(BucketCount), {});
  for (size_t pos = 0; pos < FRecords.size(); ++pos)
    Keys[FRecords[pos].Hash & static_cast<uint32_t>(BucketMask)].push_back(static_cast<int>(pos));
}

void THash::Clear() {
  ClearItems();
  FRecords.clear();
  FIndex.clear();
  for (auto& bucket : Keys) bucket.clear();
}

void THash::Restart() {
  if (Keys.empty()) BuildBuckets();
  IterBucket = -1;
  IterEntry = 0;
  NextAllowed = true;
}

bool THash::Next() {
  if (!NextAllowed)
    throw EHashIterateError("Cannot get Next as the hash has been modified since Restart was called");
  if (IterBucket == -1) {
    IterBucket = 0;
    IterEntry = 0;
  }
  while (IterBucket <= BucketHigh) {
    const std::vector<int>& bucket = Keys[static_cast<size_t>(IterBucket)];
    if (static_cast<int>(bucket.size()) > IterEntry) {
      CurrentKeyValue = FRecords[static_cast<size_t>(bucket[static_cast<size_t>(IterEntry)])].Key;
      ++IterEntry;
      return true;
    }
    ++IterBucket;
    IterEntry = 0;
  }
  return false;
}

std::string THash::CurrentKey() const {
  if (!NextAllowed)
    throw EHashIterateError(
        "Cannot find CurrentKey as the hash has been modified since Restart was called");
  if (CurrentKeyValue.empty())
    throw EHashIterateError("Cannot find CurrentKey as Next has not yet been called after Restart");
  return CurrentKeyValue;
}

// ---------------------------------------------------------------- TStringHash

const std::string& TStringHash::Items(std::string_view key) const {
  return FItems[static_cast<size_t>(ItemIndexOf(key))];
}

void TStringHash::SetItems(std::string_view key, std::string value) {
  bool added = false;
  const int index = ItemIndexForWrite(key, added);
  FItems[static_cast<size_t>(index)] = std::move(value);
}

const std::string* TStringHash::Find(std::string_view key) const {
  const int index = FindItem(key);
  return index < 0 ? nullptr : &FItems[static_cast<size_t>(index)];
}

std::string* TStringHash::Find(std::string_view key) {
  const int index = FindItem(key);
  return index < 0 ? nullptr : &FItems[static_cast<size_t>(index)];
}

void TStringHash::CopyFrom(const TStringHash& source) {
  if (&source == this) return;
  Clear();
  for (const THashRecord& r : source.Records())
    SetItems(r.Key, source.FItems[static_cast<size_t>(r.ItemIndex)]);
}

void TStringHash::ReleaseItem(int index) { FItems.at(static_cast<size_t>(index)).clear(); }

void TStringHash::MoveItem(int fromIndex, int toIndex) {
  FItems.at(static_cast<size_t>(toIndex)) = FItems.at(static_cast<size_t>(fromIndex));
}

void TStringHash::SetItemCount(int count) {
  if (FItems.capacity() == 0) FItems.reserve(4);
  FItems.resize(static_cast<size_t>(count));
}

void TStringHash::ClearItems() { FItems.clear(); }

int TStringHash::ItemHigh() const { return static_cast<int>(FItems.size()) - 1; }

// ---------------------------------------------------------------- TIntegerHash

int TIntegerHash::Items(std::string_view key) const {
  return FItems[static_cast<size_t>(ItemIndexOf(key))];
}

void TIntegerHash::SetItems(std::string_view key, int value) {
  bool added = false;
  const int index = ItemIndexForWrite(key, added);
  FItems[static_cast<size_t>(index)] = value;
}

void TIntegerHash::ReleaseItem(int index) { FItems.at(static_cast<size_t>(index)) = 0; }

void TIntegerHash::MoveItem(int fromIndex, int toIndex) {
  FItems.at(static_cast<size_t>(toIndex)) = FItems.at(static_cast<size_t>(fromIndex));
}

void TIntegerHash::SetItemCount(int count) { FItems.resize(static_cast<size_t>(count)); }

void TIntegerHash::ClearItems() { FItems.clear(); }

int TIntegerHash::ItemHigh() const { return static_cast<int>(FItems.size()) - 1; }

// ---------------------------------------------------------------- TObjectHash

TObjectHash::~TObjectHash() { ClearItems(); }

TObject* TObjectHash::Items(std::string_view key) const {
  return FItems[static_cast<size_t>(ItemIndexOf(key))].get();
}

void TObjectHash::SetItems(std::string_view key, std::unique_ptr<TObject> value) {
  const int found = FindItem(key);
  if (found >= 0 && FItems[static_cast<size_t>(found)].get() == value.get()) {
    // The table already owns this object; the second owner must let go.
    (void)value.release();
    return;
  }
  bool added = false;
  const int index = ItemIndexForWrite(key, added);
  FItems[static_cast<size_t>(index)] = std::move(value);
}

TObject* TObjectHash::Find(std::string_view key) const {
  const int index = FindItem(key);
  return index < 0 ? nullptr : FItems[static_cast<size_t>(index)].get();
}

void TObjectHash::ReleaseItem(int index) { FItems.at(static_cast<size_t>(index)).reset(); }

void TObjectHash::MoveItem(int fromIndex, int toIndex) {
  // Objects have one owner: the value moves, the source slot is left empty.
  if (fromIndex == toIndex) return;
  FItems.at(static_cast<size_t>(toIndex)) = std::move(FItems.at(static_cast<size_t>(fromIndex)));
}

void TObjectHash::SetItemCount(int count) { FItems.resize(static_cast<size_t>(count)); }

void TObjectHash::ClearItems() { FItems.clear(); }

int TObjectHash::ItemHigh() const { return static_cast<int>(FItems.size()) - 1; }
