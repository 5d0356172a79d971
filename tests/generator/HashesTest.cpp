#include "generator/Hashes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Gives the tests the storage operations that only descendants see.
class TOpenStringHash : public TStringHash {
public:
  using TStringHash::ItemHigh;
  using TStringHash::MoveItem;
  using TStringHash::ReleaseItem;
};
class TOpenIntegerHash : public TIntegerHash {
public:
  using TIntegerHash::ItemHigh;
  using TIntegerHash::MoveItem;
  using TIntegerHash::ReleaseItem;
};
class TOpenObjectHash : public TObjectHash {
public:
  using TObjectHash::ItemHigh;
  using TObjectHash::MoveItem;
  using TObjectHash::ReleaseItem;
};

// Counts its own destruction, so ownership mistakes show up as wrong counts
// (and double frees as sanitizer or allocator failures).
class TTracked : public TObject {
public:
  TTracked(int id, int& freed) : Id(id), FFreed(freed) {}
  ~TTracked() override { ++FFreed; }
  int Id;

private:
  int& FFreed;
};

std::vector<std::string> IterateAll(THash& hash) {
  std::vector<std::string> keys;
  hash.Restart();
  while (hash.Next()) keys.push_back(hash.CurrentKey());
  return keys;
}

template <class E, class F>
void ExpectThrowWithMessage(F&& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

}  // namespace

TEST(HashesTest, HashFunctionMatchesWorkedAndIndependentlyComputedValues) {
  // Values computed outside this code base from the definition of the hash.
  struct Case {
    std::string Key;
    uint32_t Hash;
    uint32_t Bucket;
  };
  const std::vector<Case> cases = {
      {"abc", 0x456767C3u, 67},
      {"_ROOT", 0x67877864u, 100},
      {"a", 0x23456761u, 97},
      {"A", 0x23456761u, 97},  // differs from "a" only in a bit that the fold sets anyway
      {"ab", 0x34567672u, 114},
      {"er", 0x345676F2u, 114},
      {"row", 0x45677C67u, 103},
      {"name", 0x56777875u, 117},
      {"blockname", 0x76087075u, 117},
      {"_V:name", 0x87E668B5u, 53},
      {"\xC3\xA4", 0x34567EF4u, 116},            // "ä": bytes, not characters
      {"\xE2\x82\xAC", 0x4567EBCCu, 76},         // "€"
      {std::string(300, 'x'), 0xFFFFFFF8u, 120},  // wraps many times
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Key.substr(0, 20));
    EXPECT_EQ(THash::HashOf(c.Key), c.Hash);
    EXPECT_EQ(THash::HashOf(c.Key) & 127u, c.Bucket);
  }
}

TEST(HashesTest, EmptyKeyIsRejectedByEveryKeyedOperation) {
  const std::string message = "Key cannot be an empty string";
  TStringHash strings;
  TIntegerHash integers;
  TObjectHash objects;
  strings.SetItems("kept", "v");
  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
      {"HashOf", [] { (void)THash::HashOf(""); }},
      {"Exists", [&] { (void)strings.Exists(""); }},
      {"string read", [&] { (void)strings.Items(""); }},
      {"string write", [&] { strings.SetItems("", "x"); }},
      {"integer read", [&] { (void)integers.Items(""); }},
      {"integer write", [&] { integers.SetItems("", 1); }},
      {"object read", [&] { (void)objects.Items(""); }},
      {"object write", [&] { objects.SetItems("", std::make_unique<TObject>()); }},
      {"find", [&] { (void)strings.Find(""); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    ExpectThrowWithMessage<EHashInvalidKeyError>(call, message);
  }
  // Nothing was added by the failed writes.
  EXPECT_EQ(strings.Count(), 1);
  EXPECT_EQ(integers.Count(), 0);
  EXPECT_EQ(objects.Count(), 0);
}

TEST(HashesTest, MissingKeyRaisesFindErrorNamingTheKey) {
  TStringHash strings;
  TIntegerHash integers;
  TObjectHash objects;
  strings.SetItems("other", "v");
  integers.SetItems("other", 1);
  const std::vector<std::pair<std::string, std::function<void()>>> calls = {
      {"name", [&] { (void)strings.Items("name"); }},
      {"Name", [&] { (void)integers.Items("Name"); }},  // keys are case-sensitive
      {"a b", [&] { (void)objects.Items("a b"); }},
      {"othe", [&] { (void)strings.Items("othe"); }},
  };
  for (const auto& [key, call] : calls) {
    SCOPED_TRACE(key);
    ExpectThrowWithMessage<EHashFindError>(call, "Key \"" + key + "\" not found");
  }
  EXPECT_FALSE(strings.Exists("name"));  // a failed read adds nothing
  EXPECT_EQ(strings.Count(), 1);
}

TEST(HashesTest, ExceptionsShareTheBaseClasses) {
  try {
    TStringHash h;
    (void)h.Items("x");
    FAIL();
  } catch (const EHashError& e) {
    EXPECT_NE(dynamic_cast<const EHashFindError*>(&e), nullptr);
    const Exception& base = e;
    EXPECT_STREQ(base.what(), "Key \"x\" not found");
  }
}

TEST(HashesTest, WriteStoresAndReplacesValues) {
  TOpenStringHash strings;
  strings.SetItems("k", "one");
  strings.SetItems("K", "upper");
  strings.SetItems("k", "two");
  EXPECT_EQ(strings.Items("k"), "two");
  EXPECT_EQ(strings.Items("K"), "upper");
  EXPECT_EQ(strings.Count(), 2);
  EXPECT_EQ(strings.ItemHigh(), 1);

  TOpenIntegerHash integers;
  integers.SetItems("n", 5);
  integers.SetItems("n", -7);
  EXPECT_EQ(integers.Items("n"), -7);
  EXPECT_EQ(integers.ItemHigh(), 0);
}

TEST(HashesTest, KeysWithEqualHashesStayApart) {
  // "b" and "B" hash to the same value; "er" and "fb" too.
  ASSERT_EQ(THash::HashOf("b"), THash::HashOf("B"));
  ASSERT_EQ(THash::HashOf("er"), THash::HashOf("fb"));
  TStringHash h;
  for (const char* key : {"b", "B", "er", "fb", "ab"}) h.SetItems(key, std::string("value of ") + key);
  for (const char* key : {"b", "B", "er", "fb", "ab"}) EXPECT_EQ(h.Items(key), std::string("value of ") + key);
  EXPECT_FALSE(h.Exists("bB"));
}

TEST(HashesTest, IterationGoesBucketByBucketThenInInsertionOrder) {
  struct Case {
    const char* Name;
    std::vector<std::string> Inserted;
    std::vector<std::string> Expected;
  };
  const std::vector<Case> cases = {
      {"empty", {}, {}},
      {"one key", {"abc"}, {"abc"}},
      // buckets: _ROOT 100, abc 67, b 98, B 98, zz 58, a 97
      {"mixed buckets", {"_ROOT", "abc", "b", "B", "zz", "a"}, {"zz", "abc", "a", "b", "B", "_ROOT"}},
      // ab, er and fb share bucket 114 (er and fb even their hash)
      {"one bucket", {"fb", "ab", "er"}, {"fb", "ab", "er"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TIntegerHash h;
    int i = 0;
    for (const auto& key : c.Inserted) h.SetItems(key, i++);
    EXPECT_EQ(IterateAll(h), c.Expected);
  }
}

TEST(HashesTest, IterationOfManyKeysDeliversEachKeyOnceInBucketOrder) {
  TIntegerHash h;
  const int count = 3000;
  for (int i = 0; i < count; ++i) h.SetItems("key" + std::to_string(i), i);
  const std::vector<std::string> keys = IterateAll(h);
  ASSERT_EQ(keys.size(), static_cast<size_t>(count));
  std::vector<bool> seen(count, false);
  int lastBucket = -1;
  int lastValue = -1;
  for (const auto& key : keys) {
    const int value = h.Items(key);
    EXPECT_FALSE(seen[static_cast<size_t>(value)]) << key;
    seen[static_cast<size_t>(value)] = true;
    const int bucket = static_cast<int>(THash::HashOf(key) & 127u);
    ASSERT_GE(bucket, lastBucket) << key;
    if (bucket == lastBucket) {
      EXPECT_GT(value, lastValue) << key;  // insertion order inside a bucket
    }
    lastBucket = bucket;
    lastValue = value;
  }
}

TEST(HashesTest, ManyKeysAreAllFound) {
  TStringHash h;
  for (int i = 0; i < 20000; ++i) h.SetItems("k" + std::to_string(i * 7919), std::to_string(i));
  for (int i = 0; i < 20000; ++i) ASSERT_EQ(h.Items("k" + std::to_string(i * 7919)), std::to_string(i));
  for (int i = 1; i < 500; ++i) EXPECT_FALSE(h.Exists("k" + std::to_string(i * 7919 + 1)));
  EXPECT_EQ(h.Count(), 20000);
}

// The table hash folds with OR and gives "cell_1" ... "cell_3000" only a few
// hundred distinct values; every key must still be found, and iteration
// must keep insertion order among the many keys of one bucket.
TEST(HashesTest, KeysSharingHashesAreFoundAndIterated) {
  TIntegerHash h;
  const int count = 3000;
  std::vector<uint32_t> hashes;
  for (int i = 1; i <= count; ++i) {
    const std::string key = "cell_" + std::to_string(i);
    h.SetItems(key, i);
    hashes.push_back(THash::HashOf(key));
  }
  std::sort(hashes.begin(), hashes.end());
  const auto distinct = std::unique(hashes.begin(), hashes.end()) - hashes.begin();
  ASSERT_LT(distinct, count / 2);  // the premise of this test
  for (int i = 1; i <= count; ++i) ASSERT_EQ(h.Items("cell_" + std::to_string(i)), i);
  EXPECT_FALSE(h.Exists("cell_0"));
  EXPECT_FALSE(h.Exists("cell_3001"));

  std::vector<int> lastInBucket(128, 0);
  int lastBucket = -1;
  for (const auto& key : IterateAll(h)) {
    const int bucket = static_cast<int>(THash::HashOf(key) & 127u);
    ASSERT_GE(bucket, lastBucket);
    ASSERT_GT(h.Items(key), lastInBucket[static_cast<size_t>(bucket)]) << key;
    lastInBucket[static_cast<size_t>(bucket)] = h.Items(key);
    lastBucket = bucket;
  }
}

TEST(HashesTest, IterationErrorsAndState) {
  const std::string nextModified = "Cannot get Next as the hash has been modified since Restart was called";
  const std::string currentModified =
      "Cannot find CurrentKey as the hash has been modified since Restart was called";
  const std::string currentBeforeNext = "Cannot find CurrentKey as Next has not yet been called after Restart";

  TStringHash h;
  // A new table has never been restarted.
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.Next(); }, nextModified);
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.CurrentKey(); }, currentModified);

  h.Restart();
  EXPECT_FALSE(h.Next());  // empty table
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.CurrentKey(); }, currentBeforeNext);

  h.SetItems("a", "1");
  h.SetItems("b", "2");
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.Next(); }, nextModified);
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.CurrentKey(); }, currentModified);

  h.Restart();
  ASSERT_TRUE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "a");
  h.SetItems("a", "replaced");  // replacing keeps iteration permitted
  ASSERT_TRUE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "b");
  EXPECT_FALSE(h.Next());
  EXPECT_FALSE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "b");  // the last delivered key stays

  h.Restart();
  EXPECT_EQ(h.CurrentKey(), "b");  // Restart does not forget it

  ASSERT_TRUE(h.Next());
  h.SetItems("c", "3");  // a new key during iteration
  ExpectThrowWithMessage<EHashIterateError>([&] { (void)h.Next(); }, nextModified);
}

TEST(HashesTest, ClearEmptiesButKeepsIterationState) {
  TStringHash h;
  h.SetItems("x", "1");
  h.SetItems("y", "2");
  h.Restart();
  ASSERT_TRUE(h.Next());
  h.Clear();
  EXPECT_EQ(h.Count(), 0);
  EXPECT_FALSE(h.Exists("x"));
  EXPECT_FALSE(h.Next());            // still permitted, nothing left
  EXPECT_EQ(h.CurrentKey(), "x");    // not reset by Clear

  h.SetItems("y", "again");
  EXPECT_EQ(h.Items("y"), "again");
  EXPECT_EQ(h.Count(), 1);
  EXPECT_EQ(IterateAll(h), std::vector<std::string>{"y"});
}

TEST(HashesTest, ClearOfLargeTableAllowsRefill) {
  TIntegerHash h;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; ++i) h.SetItems("n" + std::to_string(i), i + round);
    EXPECT_EQ(h.Count(), 100);
    EXPECT_EQ(h.Items("n99"), 99 + round);
    h.Clear();
    EXPECT_FALSE(h.Exists("n99"));
  }
}

TEST(HashesTest, CopyFromDuplicatesKeysAndValues) {
  TStringHash source;
  for (int i = 0; i < 20; ++i) source.SetItems("k" + std::to_string(i), "v" + std::to_string(i));
  TStringHash copy;
  copy.SetItems("stale", "x");
  copy.CopyFrom(source);
  EXPECT_FALSE(copy.Exists("stale"));
  EXPECT_EQ(copy.Count(), 20);
  EXPECT_EQ(IterateAll(copy), IterateAll(source));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(copy.Items("k" + std::to_string(i)), "v" + std::to_string(i));
  source.SetItems("k0", "changed");
  EXPECT_EQ(copy.Items("k0"), "v0");
}

TEST(HashesTest, ReleaseAndMoveItemFollowTheStorageContract) {
  TOpenStringHash strings;
  strings.SetItems("a", "A");
  strings.SetItems("b", "B");
  strings.MoveItem(1, 0);
  EXPECT_EQ(strings.Items("a"), "B");
  strings.ReleaseItem(1);
  EXPECT_EQ(strings.Items("b"), "");
  EXPECT_TRUE(strings.Exists("b"));

  TOpenIntegerHash integers;
  integers.SetItems("a", 4);
  integers.SetItems("b", 9);
  integers.MoveItem(0, 1);
  EXPECT_EQ(integers.Items("b"), 4);
  integers.ReleaseItem(0);
  EXPECT_EQ(integers.Items("a"), 0);

  int freed = 0;
  {
    TOpenObjectHash objects;
    objects.SetItems("a", std::make_unique<TTracked>(1, freed));
    objects.SetItems("b", std::make_unique<TTracked>(2, freed));
    objects.MoveItem(0, 1);  // frees object 2, object 1 now under "b"
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(objects.Items("a"), nullptr);
    EXPECT_EQ(static_cast<TTracked*>(objects.Items("b"))->Id, 1);
    objects.ReleaseItem(1);
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(objects.Items("b"), nullptr);
  }
  EXPECT_EQ(freed, 2);
}

TEST(HashesTest, ObjectHashOwnsItsObjects) {
  int freed = 0;
  {
    TObjectHash h;
    h.SetItems("one", std::make_unique<TTracked>(1, freed));
    h.SetItems("two", std::make_unique<TTracked>(2, freed));
    EXPECT_EQ(freed, 0);

    h.SetItems("one", std::make_unique<TTracked>(3, freed));  // replaces: frees 1
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(static_cast<TTracked*>(h.Items("one"))->Id, 3);

    // Storing the object that is already there keeps it alive.
    h.SetItems("two", std::unique_ptr<TObject>(h.Items("two")));
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(static_cast<TTracked*>(h.Items("two"))->Id, 2);

    h.Clear();  // frees 3 and 2
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(h.Count(), 0);

    h.SetItems("late", std::make_unique<TTracked>(4, freed));
    for (int i = 0; i < 30; ++i) h.SetItems("n" + std::to_string(i), std::make_unique<TTracked>(10 + i, freed));
    EXPECT_EQ(freed, 3);
  }
  EXPECT_EQ(freed, 3 + 1 + 30);  // the table frees everything it holds
}

TEST(HashesTest, FindReturnsNullForMissingKeys) {
  TStringHash strings;
  TObjectHash objects;
  strings.SetItems("s", "v");
  objects.SetItems("o", std::make_unique<TObject>());
  EXPECT_EQ(strings.Find("t"), nullptr);
  ASSERT_NE(strings.Find("s"), nullptr);
  EXPECT_EQ(*strings.Find("s"), "v");
  EXPECT_EQ(objects.Find("p"), nullptr);
  EXPECT_EQ(objects.Find("o"), objects.Items("o"));
}
