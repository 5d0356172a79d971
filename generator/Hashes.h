#pragma once
/** String-keyed hash tables used by the template engine for its bookkeeping.
 *  Keys compare byte for byte; there is no deletion of single keys. */

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Exception.h"

/** Common base of everything a TObjectHash or TObjectArray owns. */
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
};

/** Base of every hash-table failure. */
class EHashError : public Exception { using Exception::Exception; };
/** Reading a key that is not stored. */
class EHashFindError : public EHashError { using EHashError::EHashError; };
/** Iterating after the table changed, or asking for the key before any Next. */
class EHashIterateError : public EHashError { using EHashError::EHashError; };
/** An empty key. */
class EHashInvalidKeyError : public EHashError { using EHashError::EHashError; };

/** One key entry: its hash, the index of its value and the key itself. */
struct THashRecord {
  uint32_t Hash = 0;
  int ItemIndex = 0;
  std::string Key;
};

/** Abstract string-keyed table: keys, buckets and the iteration cursor.
 *  Descendants hold the values, indexed by each key's ItemIndex (0, 1, 2, ...
 *  in order of first insertion).
 *
 *  Iteration walks 128 buckets (hash and 127) and, inside a bucket, the
 *  order of insertion. Lookups do not go through those buckets: the table
 *  hash folds with OR and maps similar keys ("cell_1" ... "cell_2000") to
 *  few values, so small tables are searched directly and larger ones
 *  through an open-addressing index over a general-purpose hash. */
class THash : public TObject {
public:
  THash();
  ~THash() override;
  THash(const THash&) = delete;
  THash& operator=(const THash&) = delete;

  /** The table's hash of a key; an empty key raises EHashInvalidKeyError. */
  static uint32_t HashOf(std::string_view key);

  bool Exists(std::string_view key) const;
  /** Empties the table; the iteration state stays as it is. */
  void Clear();
  void Restart();
  bool Next();
  std::string CurrentKey() const;
  /** Number of stored keys. */
  int Count() const { return static_cast<int>(FRecords.size()); }

protected:
  virtual void ReleaseItem(int index) = 0;
  virtual void MoveItem(int fromIndex, int toIndex) = 0;
  virtual void SetItemCount(int count) = 0;
  virtual void ClearItems() = 0;
  virtual int ItemHigh() const = 0;

  /** The key entries in order of insertion. */
  const std::vector<THashRecord>& Records() const { return FRecords; }
  /** Item index of a key, or -1; an empty key raises EHashInvalidKeyError. */
  int FindItem(std::string_view key) const;
  /** Item index of a stored key; EHashFindError when it is not stored. */
  int ItemIndexOf(std::string_view key) const;
  /** Item index for writing: the stored key's index, or a new slot at the
   *  end of the value array (the caller then stores the value there). */
  int ItemIndexForWrite(std::string_view key, bool& added);

  std::vector<std::vector<int>> Keys;  // bucket -> positions in FRecords, built for iteration
  int SizeShift;
  int BucketCount;
  int BucketMask;
  int BucketHigh;
  bool NextAllowed;
  std::string CurrentKeyValue;
  int IterBucket;
  int IterEntry;

private:
  struct TIndexSlot {
    int Position;  // in FRecords, -1 when free
    uint32_t LookupHash;
  };
  void AddRecord(uint32_t hash, std::string_view key);
  void BuildBuckets();
  void RebuildIndex(size_t slots);
  void IndexRecord(int position, uint32_t lookupHash);
  static uint32_t LookupHashOf(std::string_view key);

  std::vector<THashRecord> FRecords;  // in insertion order
  std::vector<TIndexSlot> FIndex;     // over FRecords; empty while the table is small
};

/** Hash table of strings. */
class TStringHash : public THash {
public:
  /** Value of a stored key; EHashFindError when it is missing. */
  const std::string& Items(std::string_view key) const;
  void SetItems(std::string_view key, std::string value);
  /** Value of a key, or nullptr when it is not stored. */
  const std::string* Find(std::string_view key) const;
  std::string* Find(std::string_view key);
  /** Replaces the contents by a copy of source's keys and values. */
  void CopyFrom(const TStringHash& source);

protected:
  void ReleaseItem(int index) override;
  void MoveItem(int fromIndex, int toIndex) override;
  void SetItemCount(int count) override;
  void ClearItems() override;
  int ItemHigh() const override;

private:
  std::vector<std::string> FItems;
};

/** Hash table of integers. */
class TIntegerHash : public THash {
public:
  int Items(std::string_view key) const;
  void SetItems(std::string_view key, int value);

protected:
  void ReleaseItem(int index) override;
  void MoveItem(int fromIndex, int toIndex) override;
  void SetItemCount(int count) override;
  void ClearItems() override;
  int ItemHigh() const override;

private:
  std::vector<int> FItems;
};

/** Hash table that owns its objects: replacing a value or clearing the
 *  table frees the objects it held. */
class TObjectHash : public THash {
public:
  ~TObjectHash() override;
  /** The object stored under a key (borrowed; may be nullptr after
   *  ReleaseItem); EHashFindError when the key is missing. */
  TObject* Items(std::string_view key) const;
  /** Stores the object, freeing the one it replaces. Storing the object
   *  that is already there changes nothing. */
  void SetItems(std::string_view key, std::unique_ptr<TObject> value);
  /** The object under a key, or nullptr when the key is missing. */
  TObject* Find(std::string_view key) const;

protected:
  void ReleaseItem(int index) override;
  void MoveItem(int fromIndex, int toIndex) override;
  void SetItemCount(int count) override;
  void ClearItems() override;
  int ItemHigh() const override;

private:
  std::vector<std::unique_ptr<TObject>> FItems;
};
