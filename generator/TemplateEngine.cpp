#include "generator/TemplateEngine.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kRootBlock = "_ROOT";
constexpr std::string_view kNotPrepared = "TemplateEngine Error: Template is not prepared!";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// After "<!--" the comment may hold one optional blank before the word.
std::string_view AfterOpener(std::string_view line, size_t opener) {
  std::string_view rest = line.substr(opener + 4);
  if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest;
}

// "<!--[ ]?(START|END) IGNORE -->" anywhere in the line.
bool MatchIgnore(std::string_view line, bool& start) {
  for (size_t pos = line.find("<!--"); pos != std::string_view::npos; pos = line.find("<!--", pos + 1)) {
    const std::string_view rest = AfterOpener(line, pos);
    if (rest.starts_with("START IGNORE -->")) {
      start = true;
      return true;
    }
    if (rest.starts_with("END IGNORE -->")) {
      start = false;
      return true;
    }
  }
  return false;
}

enum class TBlockWord { Start, End, Include, Reuse };

// "<!--[ ]?(START|END|INCLUDE|REUSE) BLOCK : (.+)-->" anywhere in the line; the
// group runs to the last "-->" of the line and holds at least one character.
bool MatchBlock(std::string_view line, TBlockWord& word, std::string_view& group) {
  static constexpr std::pair<std::string_view, TBlockWord> kWords[] = {
      {"START", TBlockWord::Start},
      {"END", TBlockWord::End},
      {"INCLUDE", TBlockWord::Include},
      {"REUSE", TBlockWord::Reuse},
  };
  constexpr std::string_view kBlock = " BLOCK : ";
  const size_t close = line.rfind("-->");
  if (close == std::string_view::npos) return false;
  for (size_t pos = line.find("<!--"); pos != std::string_view::npos; pos = line.find("<!--", pos + 1)) {
    std::string_view rest = AfterOpener(line, pos);
    for (const auto& [text, value] : kWords) {
      if (!rest.starts_with(text) || !rest.substr(text.size()).starts_with(kBlock)) continue;
      const size_t groupStart = static_cast<size_t>(rest.data() - line.data()) + text.size() + kBlock.size();
      if (close < groupStart + 1) return false;  // later openers start even further right
      word = value;
      group = line.substr(groupStart, close - groupStart);
      return true;
    }
  }
  return false;
}

// "(.+) AS (.+)": the greedy first part ends at the last " AS " that leaves
// something behind it.
std::optional<std::pair<std::string, std::string>> SplitReuse(std::string_view name) {
  constexpr std::string_view kAs = " AS ";
  size_t pos = name.rfind(kAs);
  while (pos != std::string_view::npos && pos + kAs.size() >= name.size()) {
    if (pos == 0) return std::nullopt;
    pos = name.rfind(kAs, pos - 1);
  }
  if (pos == std::string_view::npos || pos == 0) return std::nullopt;
  return std::make_pair(std::string(Trim(name.substr(0, pos))), std::string(Trim(name.substr(pos + kAs.size()))));
}

bool HasBlank(std::string_view s) {
  for (char c : s)
    if (IsBlank(c)) return true;
  return false;
}

// The key of a block's instance list in the engine's bookkeeping tables:
// name + "_" + counter. Only the error texts still show it.
std::string ListKey(std::string_view block, int counter) {
  std::string key;
  key.reserve(block.size() + 12);
  key.append(block).append("_").append(std::to_string(counter));
  return key;
}

// Copies the first and the last N bytes of a piece of N to 2 N bytes; the
// two overlap when the piece is shorter than 2 N. Fixed sizes let the
// compiler copy each with one load and one store.
template <size_t N>
void CopyEnds(char* to, const char* from, size_t length) {
  char first[N];
  char last[N];
  std::memcpy(first, from, N);
  std::memcpy(last, from + length - N, N);
  std::memcpy(to, first, N);
  std::memcpy(to + length - N, last, N);
}

// Copies a piece of the page or a value. Most are a few bytes, and for
// them a call of memcpy costs more than the copy itself.
inline void CopyPiece(char* to, const char* from, size_t length) {
  if (length > 32) {
    std::memcpy(to, from, length);
  } else if (length >= 16) {
    CopyEnds<16>(to, from, length);
  } else if (length >= 8) {
    CopyEnds<8>(to, from, length);
  } else if (length >= 4) {
    CopyEnds<4>(to, from, length);
  } else if (length > 0) {
    // 1 to 3 bytes: the first, the middle and the last (some the same).
    to[0] = from[0];
    to[length / 2] = from[length / 2];
    to[length - 1] = from[length - 1];
  }
}

// Every name was a key of a hash table: an empty one fails with the tables'
// own error.
void CheckKey(std::string_view key) {
  if (key.empty()) (void)THash::HashOf(key);
}

}  // namespace

// ---------------------------------------------------------------- TdefBlockKeys

const std::string& TdefBlockKeys::Get(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= Count()) return kEmpty;
  return FItems[static_cast<size_t>(index)];
}

void TdefBlockKeys::Set(int index, std::string text) {
  if (index < 0) return;
  if (index >= Count()) FItems.resize(static_cast<size_t>(index) + 1);
  FItems[static_cast<size_t>(index)] = std::move(text);
}

// ---------------------------------------------------------------- TObjectArray

TObject* TObjectArray::Get(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(index)].get();
}

void TObjectArray::Set(int index, std::unique_ptr<TObject> object) {
  if (index < 0) return;
  if (index == Count()) {  // appending, the usual case
    FItems.push_back(std::move(object));
    return;
  }
  if (index > Count()) FItems.resize(static_cast<size_t>(index) + 1);
  std::unique_ptr<TObject>& slot = FItems[static_cast<size_t>(index)];
  if (slot.get() == object.get()) {
    (void)object.release();  // already ours
    return;
  }
  slot = std::move(object);
}

// ---------------------------------------------------------------- TBlockState

// One block of the template. The parser fills Definition; Prepare then
// flattens it into Ops for rendering and gives every variable and every
// nested block a slot in the block's instances. Counter and Newest follow
// the filling calls.
class TBlockState {
public:
  // A definition as the parser builds it: the pieces in template order.
  // Literal and variable pieces are numbered by the block being parsed; a
  // later piece of the same number replaces the text (two blocks of one
  // name parsed at the same time write into one definition). Literal texts
  // are ranges of the parser's piece buffer.
  enum class TPiece : uint8_t { Literal, Variable, Block };
  struct TKey {
    TPiece Kind;
    size_t Index;        // literal or variable number
    TBlockState* Block;  // the nested block
  };
  struct TTextRange {
    size_t Offset;
    size_t Length;
  };
  struct TDefinition {
    std::vector<TKey> Keys;
    std::vector<TTextRange> Literals;
    std::vector<std::string> Variables;  // the names
  };

  // One step of rendering an instance: a run of literal text, then the
  // variable or nested block that follows it, if any.
  enum class TItem : uint8_t { None, Variable, Block };
  struct TOp {
    size_t TextOffset;  // in LiteralText
    size_t TextLength;
    TItem Item;
    uint32_t Slot;  // variable slot or list slot of the item
  };
  static constexpr size_t kNoSlot = static_cast<size_t>(-1);

  explicit TBlockState(std::string_view name) : Name(name) {}

  const std::string Name;
  TBlockState* Parent = nullptr;  // the enclosing block of its last definition
  std::unique_ptr<TDefinition> Definition;  // while parsing

  std::vector<TOp> Ops;
  std::string LiteralText;             // the literal runs, one after another
  std::vector<std::string> Variables;  // slot -> variable name
  size_t ListSlots = 0;                // instance lists held by each instance
  size_t SlotInParent = kNoSlot;       // where a Parent instance holds this block's list

  bool HasDottedVariable = false;       // a variable name with a "." in it
  int Counter = 0;  // instance lists made; the newest is Name + "_" + Counter
  TBlockInstance* Newest = nullptr;  // newest instance of the newest list
  size_t InstanceCount = 0;
  std::vector<const std::string*> GlobalValues;  // slot -> global value while rendering

  int VariableSlot(std::string_view name) const {
    if (FVariableIndex.empty()) {
      for (size_t i = 0; i < Variables.size(); ++i)
        if (Variables[i] == name) return static_cast<int>(i);
      return -1;
    }
    const auto found = FVariableIndex.find(name);
    return found == FVariableIndex.end() ? -1 : found->second;
  }

  // Turns Definition (its literal texts in pieceText) into Ops and slots,
  // then lets it go. Children get their SlotInParent here when this block
  // is their parent.
  void Flatten(std::string_view pieceText) {
    for (const TKey& key : Definition->Keys) {
      switch (key.Kind) {
        case TPiece::Literal: {
          const TTextRange range = Definition->Literals[key.Index];
          AddText(pieceText.substr(range.Offset, range.Length));
          break;
        }
        case TPiece::Variable:
          AddItem(TItem::Variable, AddVariable(Definition->Variables[key.Index]));
          break;
        case TPiece::Block: {
          TBlockState* child = key.Block;
          // A block placed twice shows at its first place only: an instance
          // list is rendered once.
          if (child->FPlacedIn == this) break;
          child->FPlacedIn = this;
          const size_t slot = ListSlots++;
          if (child->Parent == this) child->SlotInParent = slot;
          AddItem(TItem::Block, slot);
          break;
        }
      }
    }
    Definition.reset();
  }

private:
  static constexpr size_t kScanLimit = 8;

  // An op without an item is still open for text; the next item closes it.
  void AddText(std::string_view text) {
    if (Ops.empty() || Ops.back().Item != TItem::None) Ops.push_back(TOp{LiteralText.size(), 0, TItem::None, 0});
    Ops.back().TextLength += text.size();
    LiteralText += text;
  }

  void AddItem(TItem item, size_t slot) {
    if (Ops.empty() || Ops.back().Item != TItem::None) Ops.push_back(TOp{LiteralText.size(), 0, TItem::None, 0});
    Ops.back().Item = item;
    Ops.back().Slot = static_cast<uint32_t>(slot);
  }

  size_t AddVariable(const std::string& name) {
    const int found = VariableSlot(name);
    if (found >= 0) return static_cast<size_t>(found);
    const size_t slot = Variables.size();
    Variables.push_back(name);
    if (name.find('.') != std::string::npos) HasDottedVariable = true;
    // Blocks with many variables get an index; a few are found faster by scanning.
    if (!FVariableIndex.empty())
      FVariableIndex.emplace(name, static_cast<int>(slot));
    else if (Variables.size() > kScanLimit)
      for (size_t i = 0; i < Variables.size(); ++i) FVariableIndex.emplace(Variables[i], static_cast<int>(i));
    return slot;
  }

  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, TNameHash, std::equal_to<>> FVariableIndex;
  const TBlockState* FPlacedIn = nullptr;  // the block whose Flatten placed this one last
};

// ---------------------------------------------------------------- TTemplateEngineParser

// A block being parsed. Definition is the block's current one: a new
// definition of the same name replaces it here too.
struct TTemplateEngineParser::TParseFrame {
  TBlockState* Block;
  TBlockState::TDefinition* Definition;
  size_t LiteralCount = 0;
  size_t VariableCount = 0;
};

TTemplateEngineParser::TTemplateEngineParser() : Version("0.90a"), IgnoreStack{false} {}

TTemplateEngineParser::~TTemplateEngineParser() = default;

void TTemplateEngineParser::AppendError(std::string_view message) {
  Output.append(message).append(kCrLf);
}

TBlockState* TTemplateEngineParser::FindBlock(std::string_view name) const {
  CheckKey(name);
  const auto found = FBlockIndex.find(name);
  return found == FBlockIndex.end() ? nullptr : found->second;
}

TBlockState* TTemplateEngineParser::AddBlock(std::string_view name) {
  Blocks.push_back(std::make_unique<TBlockState>(name));
  TBlockState* block = Blocks.back().get();
  FBlockIndex.emplace(block->Name, block);
  return block;
}

void TTemplateEngineParser::ClearBlocks() {
  FBlockIndex.clear();
  Blocks.clear();
}

void TTemplateEngineParser::AddLiteral(TParseFrame& frame, std::string_view text, std::string_view tail) {
  TBlockState::TDefinition& definition = *frame.Definition;
  const TBlockState::TTextRange range{FPieceText.size(), text.size() + tail.size()};
  FPieceText.append(text).append(tail);
  const size_t number = frame.LiteralCount++;
  if (number == definition.Literals.size())
    definition.Literals.push_back(range);
  else {
    if (number > definition.Literals.size()) definition.Literals.resize(number + 1);
    definition.Literals[number] = range;
  }
  definition.Keys.push_back(TBlockState::TKey{TBlockState::TPiece::Literal, number, nullptr});
}

void TTemplateEngineParser::AddVariable(TParseFrame& frame, std::string_view name) {
  TBlockState::TDefinition& definition = *frame.Definition;
  const size_t number = frame.VariableCount++;
  if (number >= definition.Variables.size()) definition.Variables.resize(number + 1);
  definition.Variables[number] = name;
  definition.Keys.push_back(TBlockState::TKey{TBlockState::TPiece::Variable, number, nullptr});
}

void TTemplateEngineParser::EndLine(TParseFrame& frame) {
  TBlockState::TDefinition& definition = *frame.Definition;
  if (!definition.Keys.empty() && definition.Keys.back().Kind == TBlockState::TPiece::Literal) {
    // The piece gets the line break. Other ranges may share its text (a
    // copied definition), so it grows in place only at the end of the
    // buffer; elsewhere it moves to the end first.
    TBlockState::TTextRange& range = definition.Literals[definition.Keys.back().Index];
    if (range.Offset + range.Length != FPieceText.size()) {
      const size_t moved = FPieceText.size();
      FPieceText.append(FPieceText, range.Offset, range.Length);
      range.Offset = moved;
    }
    FPieceText.append(kCrLf);
    range.Length += kCrLf.size();
    return;
  }
  // After a variable or a block, and on a line that starts its block without
  // adding anything, the line break is a piece of its own.
  AddLiteral(frame, kCrLf);
}

void TTemplateEngineParser::ParseTextLine(TParseFrame& frame, std::string_view line) {
  size_t brace = line.find('{');
  if (brace != 0) {
    const std::string_view first = line.substr(0, brace);
    if (!first.empty()) AddLiteral(frame, first);
  }
  while (brace != std::string_view::npos) {
    const size_t next = line.find('{', brace + 1);
    const std::string_view part =
        line.substr(brace + 1, next == std::string_view::npos ? std::string_view::npos : next - brace - 1);
    const size_t close = part.find('}');
    const std::string_view name = close == std::string_view::npos ? std::string_view() : part.substr(0, close);
    if (name.empty() || HasBlank(name)) {
      AddLiteral(frame, "{", part);
    } else {
      AddVariable(frame, name);
      if (close + 1 < part.size()) AddLiteral(frame, part.substr(close + 1));
    }
    brace = next;
  }
}

TBlockState* TTemplateEngineParser::DefineBlock(std::vector<TParseFrame>& frames, const std::string& name,
                                                const TBlockState* source) {
  CheckKey(name);
  auto definition = source ? std::make_unique<TBlockState::TDefinition>(*source->Definition)
                           : std::make_unique<TBlockState::TDefinition>();
  TBlockState* block = FindBlock(name);
  const bool redefined = block != nullptr;
  if (!redefined) block = AddBlock(name);
  // The last definition wins; an enclosing block of the same name now
  // writes into it as well.
  block->Definition = std::move(definition);
  if (redefined)
    for (TParseFrame& frame : frames)
      if (frame.Block == block) frame.Definition = block->Definition.get();

  TParseFrame& parent = frames.back();
  parent.Definition->Keys.push_back(TBlockState::TKey{TBlockState::TPiece::Block, 0, block});
  block->Parent = parent.Block;
  return block;
}

void TTemplateEngineParser::ParseTemplate() {
  FPieceText.clear();
  TBlockState* root = AddBlock(kRootBlock);
  root->Definition = std::make_unique<TBlockState::TDefinition>();

  // The blocks being parsed, innermost last. Kept on the heap rather than in
  // recursion so that a deeply nested template cannot exhaust the stack.
  std::vector<TParseFrame> frames;
  frames.push_back(TParseFrame{root, root->Definition.get()});

  for (const std::string& text : TemplateLines) {
    const std::string_view line = text;
    const bool maybeMarker = line.find("<!--") != std::string_view::npos;

    bool start = false;
    if (maybeMarker && MatchIgnore(line, start)) {
      if (start)
        IgnoreStack.push_back(true);
      else if (IgnoreStack.size() > 1)  // an END without a START is ignored
        IgnoreStack.pop_back();
      continue;
    }
    if (IgnoreStack.back()) {
      AddLiteral(frames.back(), line, kCrLf);
      continue;
    }

    TBlockWord word{};
    std::string_view group;
    if (maybeMarker && MatchBlock(line, word, group)) {
      const std::string name(Trim(group));
      switch (word) {
        case TBlockWord::Include:
          break;
        case TBlockWord::Reuse: {
          const auto parts = SplitReuse(name);
          if (!parts) {
            AddLiteral(frames.back(), line, kCrLf);
            break;
          }
          const auto& [source, target] = *parts;
          const TBlockState* sourceBlock = FindBlock(source);
          if (!sourceBlock) {
            AppendError("TemplateEngine Error: Can't find block \"" + source + "\" to REUSE as \"" + target +
                        "\"");
            break;
          }
          DefineBlock(frames, target, sourceBlock);
          break;
        }
        case TBlockWord::Start:
        case TBlockWord::End:
          // The name alone decides: the current block's own name closes it.
          if (name == frames.back().Block->Name) {
            frames.pop_back();
          } else {
            TBlockState* block = DefineBlock(frames, name, nullptr);
            frames.push_back(TParseFrame{block, block->Definition.get()});
          }
          break;
      }
      if (frames.empty()) break;  // "_ROOT" closed: the rest is dropped
      continue;
    }

    ParseTextLine(frames.back(), line);
    EndLine(frames.back());
  }
  Flatten();
}

void TTemplateEngineParser::Flatten() {
  for (const auto& block : Blocks) block->Flatten(FPieceText);
  FPieceText = std::string();
  // A block whose parent's last definition does not show it (the parent was
  // defined again without it) still gets its lists in the parent's
  // instances; they are never rendered.
  for (const auto& block : Blocks)
    if (block->Parent && block->SlotInParent == TBlockState::kNoSlot)
      block->SlotInParent = block->Parent->ListSlots++;
}

// ---------------------------------------------------------------- TBlockInstance

// An instance lives in the engine's arena, and so do its slots and value
// texts: nothing of it needs destruction.
struct TBlockInstance {
  // A value's text; Text is nullptr while none is assigned.
  struct TValue {
    const char* Text;
    size_t Length;
  };
  // An instance list: its first and last instance, nullptr when empty.
  struct TList {
    TBlockInstance* First;
    TBlockInstance* Last;
  };

  const TBlockState* Block;
  TBlockInstance* Next;  // the following instance of the same list
  TValue* Values;        // one per variable slot of Block
  TList* Lists;          // one per list slot of Block
};
static_assert(std::is_trivially_destructible_v<TBlockInstance>);

// ---------------------------------------------------------------- TInstanceArena

void* TInstanceArena::AllocateChunk(size_t size, size_t align) {
  // Chunks stay below the size that malloc serves by mmap: an engine per
  // generated page would otherwise map and unmap them every time.
  constexpr size_t kChunk = 64 * 1024 - 64;
  const size_t capacity = std::max(kChunk, size + align);
  FChunks.push_back(std::unique_ptr<std::byte[]>(new std::byte[capacity]));
  FNext = FChunks.back().get();
  FLeft = capacity;
  return Allocate(size, align);
}

void TInstanceArena::Clear() {
  FChunks.clear();
  FNext = nullptr;
  FLeft = 0;
}

// ---------------------------------------------------------------- TTemplateEngine

TTemplateEngine::TTemplateEngine() : Prepared(false) {}

TTemplateEngine::~TTemplateEngine() = default;

bool TTemplateEngine::CheckPrepared() {
  if (!Prepared) AppendError(kNotPrepared);
  return Prepared;
}

TBlockState* TTemplateEngine::StateOf(std::string_view name) {
  for (TBlockState* recent : FRecentStates)
    if (recent && recent->Name == name) return recent;
  TBlockState* block = FindBlock(name);
  if (block) {
    FRecentStates[1] = FRecentStates[0];
    FRecentStates[0] = block;
  }
  return block;
}

void TTemplateEngine::Reset() {
  Prepared = false;
  FRoot = CurrentInstance = nullptr;
  FRecentStates[0] = FRecentStates[1] = nullptr;
  ClearBlocks();
  IgnoreStack.assign(1, false);
  FArena.Clear();
  FValueBytes = 0;
  Output.clear();
  Globals.Clear();
}

void TTemplateEngine::Prepare() {
  // Unprepared until the parse succeeds: a template whose block name is
  // blank throws, and must not leave a half-made root.
  Reset();
  ParseTemplate();
  TBlockState& root = *Blocks.front();
  FRoot = NewInstance(root);  // the one instance of the list "_ROOT_0"
  root.Newest = CurrentInstance = FRoot;
  Prepared = true;
}

TBlockInstance* TTemplateEngine::NewInstance(TBlockState& block) {
  using TValue = TBlockInstance::TValue;
  using TList = TBlockInstance::TList;
  const size_t variables = block.Variables.size();
  const size_t lists = block.ListSlots;
  auto* values = static_cast<TValue*>(FArena.Allocate(variables * sizeof(TValue), alignof(TValue)));
  std::uninitialized_fill_n(values, variables, TValue{nullptr, 0});
  auto* heads = static_cast<TList*>(FArena.Allocate(lists * sizeof(TList), alignof(TList)));
  std::uninitialized_fill_n(heads, lists, TList{nullptr, nullptr});
  void* memory = FArena.Allocate(sizeof(TBlockInstance), alignof(TBlockInstance));
  ++block.InstanceCount;
  return ::new (memory) TBlockInstance{&block, nullptr, values, heads};
}

void TTemplateEngine::NewBlock(std::string_view name) {
  if (!CheckPrepared()) return;
  TBlockState* block = StateOf(name);
  if (!block || !block->Parent) {
    AppendError("TemplateEngine Error: Can't find the block definition of \"" + std::string(name) + "\"");
    return;
  }
  const TBlockState* parent = block->Parent;
  // A parent without any instance yet: its list is not found.
  if (!parent->Newest) throw EHashFindError("Key \"" + ListKey(parent->Name, parent->Counter) + "\" not found");
  TBlockInstance::TList& list = parent->Newest->Lists[block->SlotInParent];

  TBlockInstance* instance = NewInstance(*block);
  if (!list.First) {
    // The first instance inside this parent instance starts a new list.
    ++block->Counter;
    list.First = instance;
  } else {
    list.Last->Next = instance;
  }
  list.Last = instance;
  block->Newest = CurrentInstance = instance;
}

void TTemplateEngine::SetValue(TBlockInstance& instance, int slot, std::string_view value) {
  // A variable that the block's definition does not show can never reach
  // the output, so it has no slot.
  if (slot < 0) return;
  const char* text = "";  // not nullptr: an empty value is a value
  if (!value.empty()) {
    char* copy = static_cast<char*>(FArena.Allocate(value.size(), 1));
    CopyPiece(copy, value.data(), value.size());
    text = copy;
  }
  instance.Values[slot] = TBlockInstance::TValue{text, value.size()};
  FValueBytes += value.size();
}

void TTemplateEngine::Assign(std::string_view name, std::string_view value) {
  if (!CheckPrepared()) return;
  // Most calls name a variable of the current instance's block. Such a
  // name holds no dot when none of the block's variable names does, so the
  // dots need counting only for the other names.
  const TBlockState& current = *CurrentInstance->Block;
  const int slot = current.VariableSlot(name);
  if (slot >= 0 && !current.HasDottedVariable) {
    SetValue(*CurrentInstance, slot, value);
    return;
  }

  // Names are short: counting the dots by hand beats two memchr calls.
  size_t dot = 0;
  int dots = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == '.' && ++dots == 1) dot = i;
  if (dots == 1) {
    const std::string_view blockName = name.substr(0, dot);
    const TBlockState* block = StateOf(blockName);
    if (!block) throw EHashFindError("Key \"" + std::string(blockName) + "\" not found");
    if (!block->Newest) {
      AppendError("TemplateEngine Error: Unable to assign var. Can't find block \"" + std::string(blockName) +
                  "\", you must create the block first.");
      return;
    }
    SetValue(*block->Newest, block->VariableSlot(name.substr(dot + 1)), value);
    return;
  }
  SetValue(*CurrentInstance, slot, value);
}

void TTemplateEngine::AssignGlobal(std::string_view name, std::string_view value) {
  if (!CheckPrepared()) return;
  Globals.SetItems(name, std::string(value));
}

void TTemplateEngine::GotoBlock(std::string_view name) {
  if (!CheckPrepared()) return;
  const TBlockState* block = StateOf(name);
  if (!block) return;  // not a block of this template: nothing changes
  if (!block->Newest) throw EHashFindError("Key \"" + ListKey(block->Name, block->Counter) + "\" not found");
  CurrentInstance = block->Newest;
}

char* TTemplateEngine::GrowOutput(char* cursor, size_t length) {
  const size_t used = static_cast<size_t>(cursor - Output.data());
  Output.resize(std::max(Output.size() * 2, used + length));
  return Output.data() + used;
}

void TTemplateEngine::Render() {
  using TItem = TBlockState::TItem;
  // Globals cannot change while rendering: each variable's global is looked
  // up once, not once per instance. The room reserved counts every
  // instance's literal text and globals and every value twice (a value
  // shown more often makes the text grow).
  size_t estimate = 2 * FValueBytes;
  for (const auto& block : Blocks) {
    if (!block->Newest) continue;  // no instances
    block->GlobalValues.resize(block->Variables.size());
    for (size_t slot = 0; slot < block->Variables.size(); ++slot)
      block->GlobalValues[slot] = Globals.Find(block->Variables[slot]);
    size_t perInstance = block->LiteralText.size();
    for (const TBlockState::TOp& op : block->Ops)
      if (op.Item == TItem::Variable)
        if (const std::string* global = block->GlobalValues[op.Slot]) perInstance += global->size();
    estimate += perInstance * block->InstanceCount;
  }

  // The page is written through a raw cursor into Output, sized ahead of
  // need and cut back at the end: appending piece by piece costs several
  // times the copying. Cursor and limit are locals so that they can stay
  // in registers. The room made at first is bounded: instances that never
  // show (in lists a parent's definition does not place) count as well.
  constexpr size_t kMaxRoom = 64 * 1024 * 1024;
  const size_t start = Output.size();
  Output.resize(start + std::min(estimate, kMaxRoom));
  char* cursor = Output.data() + start;
  char* limit = Output.data() + Output.size();
  auto write = [&](const char* data, size_t length) {
    if (static_cast<size_t>(limit - cursor) < length) {
      cursor = GrowOutput(cursor, length);
      limit = Output.data() + Output.size();
    }
    CopyPiece(cursor, data, length);
    cursor += length;
  };

  struct TFrame {
    const TBlockInstance* Instance;
    size_t Op;  // the next op of the instance's block
  };
  // An explicit stack: instance chains can be as deep as the caller makes
  // them. The root list holds the root instance alone.
  std::vector<TFrame> stack;
  try {
    stack.push_back(TFrame{FRoot, 0});
    while (!stack.empty()) {
      TFrame& frame = stack.back();
      const TBlockInstance& instance = *frame.Instance;
      const TBlockState& block = *instance.Block;
      const TBlockState::TOp* const ops = block.Ops.data();
      const size_t opCount = block.Ops.size();
      const char* const literals = block.LiteralText.data();
      const TBlockInstance::TValue* const values = instance.Values;
      const TBlockInstance* child = nullptr;
      size_t op = frame.Op;
      while (op < opCount && !child) {
        const TBlockState::TOp& step = ops[op++];
        write(literals + step.TextOffset, step.TextLength);
        if (step.Item == TItem::Variable) {
          if (const TBlockInstance::TValue& value = values[step.Slot]; value.Text)
            write(value.Text, value.Length);
          else if (const std::string* global = block.GlobalValues[step.Slot])
            write(global->data(), global->size());
        } else if (step.Item == TItem::Block) {
          child = instance.Lists[step.Slot].First;
        }
      }
      if (child) {
        frame.Op = op;
        stack.push_back(TFrame{child, 0});  // frame is stale from here
      } else if (instance.Next) {
        frame = TFrame{instance.Next, 0};
      } else {
        stack.pop_back();
      }
    }
  } catch (...) {
    Output.resize(static_cast<size_t>(cursor - Output.data()));  // what was written stays
    throw;
  }
  Output.resize(static_cast<size_t>(cursor - Output.data()));
}

const std::string& TTemplateEngine::GetOutputText() {
  if (Prepared)
    Render();
  else
    AppendError(kNotPrepared);
  return Output;
}

void TTemplateEngine::GetOutputContent(TStringList& list) { list.SetText(GetOutputText()); }
