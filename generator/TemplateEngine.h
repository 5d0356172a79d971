#pragma once
/** Page template engine: a template of lines with block markers and {variables}
 *  is parsed once by Prepare, filled by NewBlock/Assign/AssignGlobal/GotoBlock
 *  and rendered by GetOutputContent. Template errors never throw: each becomes
 *  a text line of the output. Failures of the hash tables do throw. */

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/StringList.h"
#include "generator/Hashes.h"

/** Ordered list of strings (the content keys of a block definition). */
class TdefBlockKeys : public TObject {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  void Add(std::string text) { FItems.push_back(std::move(text)); }
  /** The key at index; the empty string for an index outside the list. */
  const std::string& Get(int index) const;
  /** Lengthens the list to index + 1 when needed. */
  void Set(int index, std::string text);

private:
  std::vector<std::string> FItems;
};

/** Ordered list of owned objects. */
class TObjectArray : public TObject {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  /** The object at index, or nullptr for an index outside the list. */
  TObject* Get(int index) const;
  /** Lengthens the list to index + 1 when needed, else frees the object it
   *  replaces (unless it is the same object). */
  void Set(int index, std::unique_ptr<TObject> object);

private:
  std::vector<std::unique_ptr<TObject>> FItems;
};

/** One block of the parsed template (defined in TemplateEngine.cpp). */
class TBlockState;

/** The parsed template: every block with its enclosing block and its
 *  definition, flattened for rendering. */
class TTemplateEngineParser {
public:
  TTemplateEngineParser();
  virtual ~TTemplateEngineParser();
  TTemplateEngineParser(const TTemplateEngineParser&) = delete;
  TTemplateEngineParser& operator=(const TTemplateEngineParser&) = delete;

  /** The template, one entry per line; loaded by the caller before Prepare. */
  TStringList TemplateLines;
  std::string Version;

protected:
  /** Parses TemplateLines into Blocks, starting with "_ROOT". Blocks must be
   *  empty. A blank block name raises EHashInvalidKeyError. */
  void ParseTemplate();
  /** Appends one error line (the message and CR LF) to Output. */
  void AppendError(std::string_view message);
  /** The block of that name, or nullptr. An empty name raises
   *  EHashInvalidKeyError, as the hash tables do for an empty key. */
  TBlockState* FindBlock(std::string_view name) const;
  void ClearBlocks();

  /** Every block the template defines, "_ROOT" first. A name defined twice
   *  is one block with the last definition. */
  std::vector<std::unique_ptr<TBlockState>> Blocks;
  std::vector<bool> IgnoreStack;
  std::string Output;

private:
  struct TParseFrame;  // a block being parsed
  TBlockState* AddBlock(std::string_view name);
  void ParseTextLine(TParseFrame& frame, std::string_view line);
  void AddLiteral(TParseFrame& frame, std::string_view text, std::string_view tail = {});
  void AddVariable(TParseFrame& frame, std::string_view name);
  void EndLine(TParseFrame& frame);
  /** Gives the block a new definition, empty or a copy of source's, placed
   *  in the innermost block being parsed. */
  TBlockState* DefineBlock(std::vector<TParseFrame>& frames, const std::string& name, const TBlockState* source);
  void Flatten();

  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, TBlockState*, TNameHash, std::equal_to<>> FBlockIndex;
  // The literal pieces of the definitions while parsing, one after another:
  // one buffer instead of a string per template line.
  std::string FPieceText;
};

/** One instance of a block: its values and its nested blocks' instance
 *  lists (defined in TemplateEngine.cpp). */
struct TBlockInstance;

/** Memory for block instances and value texts: handed out from chunks and
 *  given back all at once when the engine starts over or goes. What it
 *  holds must not need destruction. */
class TInstanceArena {
public:
  TInstanceArena() = default;
  TInstanceArena(const TInstanceArena&) = delete;
  TInstanceArena& operator=(const TInstanceArena&) = delete;

  /** Uninitialized memory of size bytes, aligned to align (a power of 2). */
  void* Allocate(size_t size, size_t align) {
    const size_t padding = (align - reinterpret_cast<uintptr_t>(FNext) % align) % align;
    if (padding + size > FLeft) return AllocateChunk(size, align);
    std::byte* result = FNext + padding;
    FNext = result + size;
    FLeft -= padding + size;
    return result;
  }
  void Clear();

private:
  void* AllocateChunk(size_t size, size_t align);

  std::vector<std::unique_ptr<std::byte[]>> FChunks;
  std::byte* FNext = nullptr;
  size_t FLeft = 0;
};

/** Template engine used by every page generator: one engine per output file.
 *  Block instances and global values are joined with the parsed template
 *  only when the output is rendered. */
class TTemplateEngine : public TTemplateEngineParser {
public:
  TTemplateEngine();
  ~TTemplateEngine() override;

  /** Parses TemplateLines and makes the root instance; starts over when
   *  called again. */
  void Prepare();
  // Names and values of the filling calls are views: the engine copies what
  // it keeps, and callers passing literals build no strings.

  /** New instance of a block inside the newest instance of its parent; it
   *  becomes the current instance. */
  void NewBlock(std::string_view name);
  /** Sets a variable of the current instance, or with "block.variable" of
   *  the newest instance of that block. */
  void Assign(std::string_view name, std::string_view value);
  /** Value for every instance without a value of its own. */
  void AssignGlobal(std::string_view name, std::string_view value);
  /** Makes the newest instance of a block (or "_ROOT") current. */
  void GotoBlock(std::string_view name);
  /** Renders the page behind what Output already holds and gives the list
   *  the whole buffer, split into lines. */
  void GetOutputContent(TStringList& list);
  /** The same rendering, answering the whole buffer as one text; spares the
   *  generators a line list of the page. */
  const std::string& GetOutputText();

protected:
  bool Prepared;
  TStringHash Globals;

private:
  bool CheckPrepared();
  void Reset();
  TBlockState* StateOf(std::string_view name);
  TBlockInstance* NewInstance(TBlockState& block);
  void SetValue(TBlockInstance& instance, int slot, std::string_view value);
  void Render();
  /** Doubles Output while rendering; answers the cursor in the new text. */
  char* GrowOutput(char* cursor, size_t length);

  TInstanceArena FArena;
  TBlockInstance* FRoot = nullptr;             // the one instance of the root list
  TBlockInstance* CurrentInstance = nullptr;
  size_t FValueBytes = 0;                      // all values assigned so far
  // Generators alternate between a few blocks (a row and its cells): the two
  // most recent answers of StateOf save most name lookups.
  TBlockState* FRecentStates[2] = {nullptr, nullptr};
};
