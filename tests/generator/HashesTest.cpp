#include "TestSupport.h"
#include "generator/Hashes.h"
#include "generator/TemplateEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using ::testing::ThrowsMessage;

// Counts its own destruction: ownership mistakes show up as wrong counts.
class TTracked : public TObject {
public:
  TTracked(int id, int& freed) : Id(id), FFreed(freed) {}
  ~TTracked() override { ++FFreed; }
  int Id;

private:
  int& FFreed;
};

int IdOf(TObject* object) { return static_cast<TTracked*>(object)->Id; }

std::vector<std::string> IterateAll(THash& hash) {
  std::vector<std::string> keys;
  hash.Restart();
  while (hash.Next()) keys.push_back(hash.CurrentKey());
  return keys;
}

}  // namespace

TEST(HashesTest, HashFunctionMatchesWorkedValues) {
  const std::vector<std::pair<std::string, uint32_t>> cases = {
      {"abc", 0x456767C3u},   {"_ROOT", 0x67877864u},
      {"a", 0x23456761u},     {"A", 0x23456761u},  // differ only in a bit the fold sets anyway
      {"er", 0x345676F2u},    {"blockname", 0x76087075u},
      {"\xC3\xA4", 0x34567EF4u},                  // bytes, not characters
      {std::string(300, 'x'), 0xFFFFFFF8u},       // wraps many times
  };
  for (const auto& [key, hash] : cases) EXPECT_EQ(THash::HashOf(key), hash) << key.substr(0, 20);
}

TEST(HashesTest, EmptyAndMissingKeysRaiseTheirErrors) {
  TStringHash strings;
  TIntegerHash integers;
  TObjectHash objects;
  strings.SetItems("kept", "v");
  // One call of each path to the key check: the hash itself, lookups, and the object table's own write.
  const std::vector<std::function<void()>> emptyKeyCalls = {
      [] { (void)THash::HashOf(""); }, [&] { (void)strings.Exists(""); }, [&] { (void)integers.Items(""); },
      [&] { objects.SetItems("", std::make_unique<TObject>()); }};
  const std::string emptyKey = "Key cannot be an empty string";
  for (const auto& call : emptyKeyCalls) EXPECT_THAT(call, ThrowsMessage<EHashInvalidKeyError>(emptyKey));
  EXPECT_THAT([&] { (void)strings.Items("kep"); }, ThrowsMessage<EHashFindError>("Key \"kep\" not found"));
  EXPECT_THAT([&] { (void)integers.Items("a b"); }, ThrowsMessage<EHashFindError>("Key \"a b\" not found"));
  EXPECT_THAT([&] { (void)objects.Items("Kept"); }, ThrowsMessage<EHashFindError>("Key \"Kept\" not found"));
  // Failed reads and writes add nothing.
  EXPECT_EQ(strings.Count(), 1);
  EXPECT_EQ(integers.Count() + objects.Count(), 0);
}

TEST(HashesTest, StoresReplacesAndKeepsKeysWithEqualHashesApart) {
  ASSERT_EQ(THash::HashOf("b"), THash::HashOf("B"));
  ASSERT_EQ(THash::HashOf("er"), THash::HashOf("fb"));
  const std::vector<std::string> keys = {"b", "B", "er", "fb", "ab"};
  TStringHash h;
  for (const auto& key : keys) h.SetItems(key, "old");
  for (const auto& key : keys) h.SetItems(key, "value of " + key);
  for (const auto& key : keys) EXPECT_EQ(h.Items(key), "value of " + key);
  EXPECT_EQ(h.Count(), 5);
  EXPECT_FALSE(h.Exists("bB"));
  EXPECT_EQ(h.Find("x"), nullptr);
  ASSERT_NE(h.Find("fb"), nullptr);
  EXPECT_EQ(*h.Find("fb"), "value of fb");
  TIntegerHash integers;
  integers.SetItems("n", 5);
  integers.SetItems("n", -7);
  EXPECT_EQ(integers.Items("n"), -7);
}

TEST(HashesTest, IterationGoesBucketByBucketThenInInsertionOrder) {
  // buckets (hash & 127): _ROOT 100, abc 67, b and B 98, zz 58, a 97
  TIntegerHash small;
  for (const char* key : {"_ROOT", "abc", "b", "B", "zz", "a"}) small.SetItems(key, 0);
  EXPECT_EQ(IterateAll(small), (std::vector<std::string>{"zz", "abc", "a", "b", "B", "_ROOT"}));

  // "cell_1" ... "cell_3000" share few hashes: all must be found (also
  // through the index of large tables) and iterated once, in order.
  TIntegerHash h;
  const int count = 3000;
  for (int i = 1; i <= count; ++i) h.SetItems("cell_" + std::to_string(i), i);
  for (int i = 1; i <= count; ++i) ASSERT_EQ(h.Items("cell_" + std::to_string(i)), i);
  EXPECT_FALSE(h.Exists("cell_0") || h.Exists("cell_3001"));
  std::vector<int> lastInBucket(128, 0);
  int lastBucket = -1;
  const std::vector<std::string> keys = IterateAll(h);
  ASSERT_EQ(keys.size(), static_cast<size_t>(count));
  for (const auto& key : keys) {
    const int bucket = static_cast<int>(THash::HashOf(key) & 127u);
    ASSERT_GE(bucket, lastBucket) << key;
    ASSERT_GT(h.Items(key), lastInBucket[static_cast<size_t>(bucket)]) << key;  // also: each key once
    lastInBucket[static_cast<size_t>(bucket)] = h.Items(key);
    lastBucket = bucket;
  }
}

TEST(HashesTest, IterationErrorsAndState) {
  const std::string nextModified = "Cannot get Next as the hash has been modified since Restart was called";
  const std::string currentModified =
      "Cannot find CurrentKey as the hash has been modified since Restart was called";
  auto expectModified = [&](THash& h) {
    EXPECT_THAT([&] { (void)h.Next(); }, ThrowsMessage<EHashIterateError>(nextModified));
    EXPECT_THAT([&] { (void)h.CurrentKey(); }, ThrowsMessage<EHashIterateError>(currentModified));
  };
  TStringHash h;
  expectModified(h);  // never restarted
  h.Restart();
  EXPECT_FALSE(h.Next());
  EXPECT_THAT([&] { (void)h.CurrentKey(); },
              ThrowsMessage<EHashIterateError>("Cannot find CurrentKey as Next has not yet been called after Restart"));
  h.SetItems("a", "1");
  h.SetItems("b", "2");
  expectModified(h);

  h.Restart();
  ASSERT_TRUE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "a");
  h.SetItems("a", "replaced");  // replacing keeps iteration allowed
  ASSERT_TRUE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "b");
  EXPECT_FALSE(h.Next());
  EXPECT_FALSE(h.Next());
  EXPECT_EQ(h.CurrentKey(), "b");  // the last key stays, also over Restart
  h.Restart();
  EXPECT_EQ(h.CurrentKey(), "b");
  ASSERT_TRUE(h.Next());
  h.SetItems("c", "3");  // a new key during iteration
  expectModified(h);
}

TEST(HashesTest, ClearKeepsIterationStateAndCopyFromReplacesTheContents) {
  TStringHash h;
  for (int i = 0; i < 100; ++i) h.SetItems(qftest::Str("n", i), "old");
  h.Restart();
  ASSERT_TRUE(h.Next());
  const std::string first = h.CurrentKey();
  h.Clear();
  EXPECT_FALSE(h.Next());  // still allowed, nothing left
  EXPECT_EQ(h.CurrentKey(), first);
  for (int i = 0; i < 20; ++i) h.SetItems(qftest::Str("n", i * 7), qftest::Str("v", i));
  EXPECT_EQ(h.Items("n133"), "v19");
  EXPECT_FALSE(h.Exists("n99"));

  TStringHash copy;
  copy.SetItems("stale", "x");
  copy.CopyFrom(h);
  EXPECT_FALSE(copy.Exists("stale"));
  EXPECT_EQ(IterateAll(copy), IterateAll(h));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(copy.Items(qftest::Str("n", i * 7)), qftest::Str("v", i));
  h.SetItems("n0", "changed");
  EXPECT_EQ(copy.Items("n0"), "v0");
}

TEST(HashesTest, ObjectHashAndObjectArrayOwnTheirObjects) {
  int freed = 0;
  {
    TObjectHash h;
    h.SetItems("one", std::make_unique<TTracked>(1, freed));
    h.SetItems("two", std::make_unique<TTracked>(2, freed));
    h.SetItems("one", std::make_unique<TTracked>(3, freed));  // frees 1
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(IdOf(h.Items("one")), 3);
    h.SetItems("two", std::unique_ptr<TObject>(h.Items("two")));  // the same object: kept
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(IdOf(h.Find("two")), 2);
    EXPECT_EQ(h.Find("three"), nullptr);
    h.Clear();
    EXPECT_EQ(freed, 3);
    for (int i = 0; i < 30; ++i) h.SetItems(qftest::Str("n", i), std::make_unique<TTracked>(10 + i, freed));
  }
  EXPECT_EQ(freed, 3 + 30);  // the rest on destruction

  freed = 0;
  {
    TObjectArray array;
    array.Set(2, std::make_unique<TTracked>(1, freed));
    EXPECT_EQ(array.Count(), 3);
    EXPECT_TRUE(array.Get(0) == nullptr && array.Get(3) == nullptr);
    array.Set(2, std::make_unique<TTracked>(2, freed));  // frees 1
    array.Set(2, std::unique_ptr<TObject>(array.Get(2)));  // the same object: kept
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(IdOf(array.Get(2)), 2);
    array.Set(0, std::make_unique<TTracked>(3, freed));
  }
  EXPECT_EQ(freed, 3);

  TdefBlockKeys keys;
  keys.Add("first");
  keys.Set(3, "fourth");
  keys.Set(0, "replaced");
  EXPECT_EQ(keys.Count(), 4);
  EXPECT_EQ(keys.Get(-1) + "|" + keys.Get(0) + "|" + keys.Get(2) + "|" + keys.Get(3) + "|" + keys.Get(4),
            "|replaced||fourth|");
}
