#pragma once
/** Page template engine: a template of lines with block markers and {variables}
 *  is parsed once by Prepare, filled by NewBlock/Assign/AssignGlobal/GotoBlock
 *  and rendered by GetOutputContent. Template errors never throw: each becomes
 *  a text line of the output. Failures of the hash tables do throw. */

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/StringList.h"
#include "generator/Hashes.h"

/** Ordered list of the content keys of one block definition. */
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

/** Ordered list of owned objects (the instances of one instance list). */
class TObjectArray : public TObject {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  /** The object at index, or nullptr for an index outside the list. */
  TObject* Get(int index) const;
  /** Lengthens the list to index + 1 when needed, else frees the object it
   *  replaces (unless it is the same object). */
  void Set(int index, std::unique_ptr<TObject> object);
  /** False when the list was already rendered in this rendering pass. */
  bool MarkRendered(uint64_t pass);

private:
  std::vector<std::unique_ptr<TObject>> FItems;
  uint64_t FRenderedPass = 0;
};

/** The parsed template: block definitions, their parents and counters. */
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
  /** Parses TemplateLines into the block tables, starting with "_ROOT".
   *  The tables must be empty. */
  void ParseTemplate();
  /** Appends one error line (the message and CR LF) to Output. */
  void AppendError(std::string_view message);

  TStringHash BlockParents;   // block -> enclosing block
  TIntegerHash BlockCounters; // block -> instance lists made so far
  TObjectHash BlockContents;  // block -> TStringHash of its pieces
  TObjectHash BlockKeys;      // block -> TdefBlockKeys, the pieces in order
  std::vector<bool> IgnoreStack;
  std::string Output;

private:
  // A block being parsed. Content and Keys are the block's current tables;
  // they are looked up again whenever a definition replaces them.
  struct TParseFrame {
    std::string Name;
    int LiteralCount = 0;
    int VariableCount = 0;
    TStringHash* Content = nullptr;
    TdefBlockKeys* Keys = nullptr;
  };
  void ParseTextLine(TParseFrame& frame, std::string_view line);
  void AddPiece(TParseFrame& frame, bool variable, std::string text);
  void EndLine(TParseFrame& frame);
  void DefineBlock(std::vector<TParseFrame>& frames, const std::string& name,
                   std::unique_ptr<TStringHash> content, std::unique_ptr<TdefBlockKeys> keys);
  void Attach(TParseFrame& frame);
};

class TBlockState;

/** Memory for block instances: handed out in chunks, given back all at once
 *  when the engine starts over or goes. */
class TInstanceArena {
public:
  void* Allocate(size_t size);
  void Clear();

private:
  std::vector<std::unique_ptr<std::byte[]>> FChunks;
  size_t FUsed = 0;
  size_t FCapacity = 0;
};

/** One block instance: its block, its own variable values and, for each
 *  nested block filled inside it, that block's instance list. It has a slot
 *  per variable and per nested block that its block's definition shows; the
 *  slots follow the object in the engine's arena, and the value texts are
 *  kept in one buffer of the engine. */
class TBlockInstance : public TObject {
public:
  /** Where a value is in the engine's value buffer. */
  struct TValueRef {
    uint32_t Offset;
    uint32_t Length;
  };
  static constexpr uint32_t kNoValue = 0xFFFFFFFFu;

  static std::unique_ptr<TBlockInstance> Create(TInstanceArena& arena, const TBlockState* block);
  // The arena owns the memory; deleting an instance only ends its life.
  static void operator delete(void*) {}

  /** The block this is an instance of. */
  const TBlockState* const Block;

  /** The instance's own value in a slot; Length is kNoValue when it has none. */
  TValueRef Value(int slot) const { return Values()[slot]; }
  void SetValue(int slot, TValueRef value) { Values()[slot] = value; }
  /** The list of a nested block's instances made inside this one, or nullptr. */
  TObjectArray* ChildList(const TBlockState* child) const;
  /** The same for the nested block in a child slot of this instance's block. */
  TObjectArray* ChildListAt(int slot) const { return Children()[slot]; }
  void SetChildList(const TBlockState* child, TObjectArray* list);

private:
  explicit TBlockInstance(const TBlockState* block) : Block(block) {}
  TValueRef* Values() const;
  TObjectArray** Children() const;

  // Blocks whose parent is this block but whose place its definition lost
  // (a block name used twice): kept only for the lists' bookkeeping.
  std::unique_ptr<std::vector<std::pair<const TBlockState*, TObjectArray*>>> FOtherChildren;
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
  /** New instance of a block inside the newest instance of its parent; it
   *  becomes the current instance. */
  void NewBlock(const std::string& name);
  /** Sets a variable of the current instance, or with "block.variable" of
   *  the newest instance of that block. */
  void Assign(const std::string& name, const std::string& value);
  /** Value for every instance without a value of its own. */
  void AssignGlobal(const std::string& name, const std::string& value);
  /** Makes the newest instance of a block (or "_ROOT") current. */
  void GotoBlock(const std::string& name);
  /** Renders the page behind what Output already holds and gives the list
   *  the whole buffer, split into lines. */
  void GetOutputContent(TStringList& list);
  /** The same rendering, answering the whole buffer as one text; spares the
   *  generators a line list of the page. */
  const std::string& GetOutputText();

protected:
  bool Prepared;
  TObjectHash BlockInstances;       // list key -> TObjectArray of TBlockInstance
  TBlockInstance* CurrentInstance;  // borrowed from BlockInstances
  TStringHash Globals;

private:
  bool CheckPrepared();
  void Reset();
  TBlockState* StateOf(const std::string& block);
  TObjectArray* NewList(TBlockState& block);
  void SetValue(TBlockInstance& instance, std::string_view variable, const std::string& value);
  void RenderList(TObjectArray* root);

  TInstanceArena FArena;
  // Block name -> what the filling calls and the rendering need of the
  // block tables, resolved once instead of through several tables per call.
  std::unordered_map<std::string, std::unique_ptr<TBlockState>> FStates;
  TBlockState* FRecentStates[2] = {nullptr, nullptr};
  std::string FValueText;  // the texts of all instance values, one after another
  uint64_t FRenderPass = 0;
};
