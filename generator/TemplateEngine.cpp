#include "generator/TemplateEngine.h"

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>
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

std::string ListKey(std::string_view block, int counter) {
  std::string key;
  key.reserve(block.size() + 12);
  key.append(block).append("_").append(std::to_string(counter));
  return key;
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
  if (index == Count()) {  // appending, as every new instance does
    if (FItems.capacity() == 0) FItems.reserve(4);  // most lists hold a few rows
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

bool TObjectArray::MarkRendered(uint64_t pass) {
  if (FRenderedPass == pass) return false;
  FRenderedPass = pass;
  return true;
}

// ---------------------------------------------------------------- TTemplateEngineParser

TTemplateEngineParser::TTemplateEngineParser() : Version("0.90a"), IgnoreStack{false} {}

TTemplateEngineParser::~TTemplateEngineParser() = default;

void TTemplateEngineParser::AppendError(std::string_view message) {
  Output.append(message).append(kCrLf);
}

void TTemplateEngineParser::Attach(TParseFrame& frame) {
  frame.Content = static_cast<TStringHash*>(BlockContents.Items(frame.Name));
  frame.Keys = static_cast<TdefBlockKeys*>(BlockKeys.Items(frame.Name));
}

void TTemplateEngineParser::AddPiece(TParseFrame& frame, bool variable, std::string text) {
  std::string key = variable ? "_V:" + std::to_string(frame.VariableCount++)
                             : "_C:" + std::to_string(frame.LiteralCount++);
  frame.Content->SetItems(key, std::move(text));
  frame.Keys->Add(std::move(key));
}

void TTemplateEngineParser::EndLine(TParseFrame& frame) {
  const TdefBlockKeys& keys = *frame.Keys;
  if (keys.Count() > 0) {
    const std::string& last = keys.Get(keys.Count() - 1);
    if (last.starts_with("_C:")) {
      if (std::string* text = frame.Content->Find(last)) {
        text->append(kCrLf);
        return;
      }
    }
  }
  // After a variable or a block, and on a line that starts its block without
  // adding anything, the line break is a piece of its own.
  AddPiece(frame, false, std::string(kCrLf));
}

void TTemplateEngineParser::ParseTextLine(TParseFrame& frame, std::string_view line) {
  size_t brace = line.find('{');
  if (brace != 0) {
    const std::string_view first = line.substr(0, brace);
    if (!first.empty()) AddPiece(frame, false, std::string(first));
  }
  while (brace != std::string_view::npos) {
    const size_t next = line.find('{', brace + 1);
    const std::string_view part =
        line.substr(brace + 1, next == std::string_view::npos ? std::string_view::npos : next - brace - 1);
    const size_t close = part.find('}');
    const std::string_view name = close == std::string_view::npos ? std::string_view() : part.substr(0, close);
    if (name.empty() || HasBlank(name)) {
      std::string text;
      text.reserve(part.size() + 1);
      text.append("{").append(part);
      AddPiece(frame, false, std::move(text));
    } else {
      AddPiece(frame, true, std::string(name));
      if (close + 1 < part.size()) AddPiece(frame, false, std::string(part.substr(close + 1)));
    }
    brace = next;
  }
}

void TTemplateEngineParser::DefineBlock(std::vector<TParseFrame>& frames, const std::string& name,
                                        std::unique_ptr<TStringHash> content,
                                        std::unique_ptr<TdefBlockKeys> keys) {
  // A block defined a second time gets a fresh key list along with its fresh
  // content, so that every listed key is stored: the last definition wins.
  const bool redefined = BlockContents.Exists(name);
  BlockContents.SetItems(name, std::move(content));
  BlockKeys.SetItems(name, std::move(keys));
  // An enclosing block of the same name now writes into the new tables.
  if (redefined)
    for (TParseFrame& frame : frames)
      if (frame.Name == name) Attach(frame);

  TParseFrame& parent = frames.back();
  std::string marker = "_B:" + name;
  parent.Content->SetItems(marker, std::string());
  parent.Keys->Add(std::move(marker));
  BlockCounters.SetItems(name, 0);
  BlockParents.SetItems(name, parent.Name);
}

void TTemplateEngineParser::ParseTemplate() {
  const std::string root(kRootBlock);
  BlockContents.SetItems(root, std::make_unique<TStringHash>());
  BlockKeys.SetItems(root, std::make_unique<TdefBlockKeys>());

  // The blocks being parsed, innermost last. Kept on the heap rather than in
  // recursion so that a deeply nested template cannot exhaust the stack.
  std::vector<TParseFrame> frames;
  frames.push_back(TParseFrame{root});
  Attach(frames.back());

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
      AddPiece(frames.back(), false, text + std::string(kCrLf));
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
            AddPiece(frames.back(), false, text + std::string(kCrLf));
            break;
          }
          const auto& [source, target] = *parts;
          const auto* sourceContent = static_cast<const TStringHash*>(BlockContents.Find(source));
          if (!sourceContent) {
            AppendError("TemplateEngine Error: Can't find block \"" + source + "\" to REUSE as \"" + target +
                        "\"");
            break;
          }
          auto content = std::make_unique<TStringHash>();
          content->CopyFrom(*sourceContent);
          const auto* sourceKeys = static_cast<const TdefBlockKeys*>(BlockKeys.Find(source));
          auto keys = sourceKeys ? std::make_unique<TdefBlockKeys>(*sourceKeys) : std::make_unique<TdefBlockKeys>();
          DefineBlock(frames, target, std::move(content), std::move(keys));
          break;
        }
        case TBlockWord::Start:
        case TBlockWord::End:
          // The name alone decides: the current block's own name closes it.
          if (name == frames.back().Name) {
            frames.pop_back();
            if (frames.empty()) return;  // "_ROOT" closed: the rest is dropped
          } else {
            DefineBlock(frames, name, std::make_unique<TStringHash>(), std::make_unique<TdefBlockKeys>());
            frames.push_back(TParseFrame{name});
            Attach(frames.back());
          }
          break;
      }
      continue;
    }

    ParseTextLine(frames.back(), line);
    EndLine(frames.back());
  }
}

// ---------------------------------------------------------------- TBlockState

// What the engine keeps of one block between the calls: its entries in the
// block tables resolved to pointers (Parent mirrors BlockParents, Counter
// BlockCounters, CurrentList the list that BlockInstances holds under
// name + "_" + Counter, or nullptr), and its definition flattened for
// rendering, with a slot for every variable and nested block it shows.
class TBlockState {
public:
  enum class TKind { Literal, Variable, Block };
  struct TPiece {
    TKind Kind;
    std::string Text;   // literal text, or the variable's name
    int Slot;           // variable or child slot
  };

  std::string Name;
  TBlockState* Parent = nullptr;
  int Counter = 0;
  TObjectArray* CurrentList = nullptr;

  std::vector<TPiece> Pieces;
  std::vector<std::string> Variables;        // slot -> variable name
  std::vector<const TBlockState*> Children;  // slot -> nested block
  size_t LiteralBytes = 0;
  size_t InstanceCount = 0;

  int VariableSlot(std::string_view name) const {
    if (FVariableIndex.empty()) {
      for (size_t i = 0; i < Variables.size(); ++i)
        if (Variables[i] == name) return static_cast<int>(i);
      return -1;
    }
    const auto found = FVariableIndex.find(name);
    return found == FVariableIndex.end() ? -1 : found->second;
  }

  int ChildSlot(const TBlockState* child) const {
    for (size_t i = 0; i < Children.size(); ++i)
      if (Children[i] == child) return static_cast<int>(i);
    return -1;
  }

  void AddLiteral(const std::string& text) {
    if (Pieces.empty() || Pieces.back().Kind != TKind::Literal) Pieces.push_back(TPiece{TKind::Literal, {}, -1});
    Pieces.back().Text += text;
    LiteralBytes += text.size();
  }

  void AddVariable(const std::string& name) {
    int slot = VariableSlot(name);
    if (slot < 0) {
      slot = static_cast<int>(Variables.size());
      Variables.push_back(name);
      if (!FVariableIndex.empty() || Variables.size() > kScanLimit) {
        if (FVariableIndex.empty())
          for (size_t i = 0; i < Variables.size(); ++i) FVariableIndex.emplace(Variables[i], static_cast<int>(i));
        else
          FVariableIndex.emplace(name, slot);
      }
    }
    Pieces.push_back(TPiece{TKind::Variable, name, slot});
  }

  void AddChild(const TBlockState* child) {
    int slot = ChildSlot(child);
    if (slot < 0) {
      slot = static_cast<int>(Children.size());
      Children.push_back(child);
    }
    Pieces.push_back(TPiece{TKind::Block, {}, slot});
  }

private:
  static constexpr size_t kScanLimit = 8;
  struct TStringHasher {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, TStringHasher, std::equal_to<>> FVariableIndex;
};

// ---------------------------------------------------------------- TInstanceArena

void* TInstanceArena::Allocate(size_t size) {
  constexpr size_t kAlign = alignof(void*);
  constexpr size_t kChunk = 64 * 1024;
  size = (size + kAlign - 1) & ~(kAlign - 1);
  if (FChunks.empty() || FUsed + size > FCapacity) {
    FCapacity = std::max(kChunk, size);
    FChunks.push_back(std::unique_ptr<std::byte[]>(new std::byte[FCapacity]));
    FUsed = 0;
  }
  void* result = FChunks.back().get() + FUsed;
  FUsed += size;
  return result;
}

void TInstanceArena::Clear() {
  FChunks.clear();
  FUsed = 0;
  FCapacity = 0;
}

// ---------------------------------------------------------------- TBlockInstance

// Layout in the arena: the object, a TValueRef per variable slot, a list
// pointer per child slot.
static_assert(sizeof(TBlockInstance) % alignof(TBlockInstance::TValueRef) == 0);
static_assert(alignof(TBlockInstance) >= alignof(TObjectArray*));

std::unique_ptr<TBlockInstance> TBlockInstance::Create(TInstanceArena& arena, const TBlockState* block) {
  const size_t variables = block->Variables.size();
  const size_t children = block->Children.size();
  // Keep the child pointers aligned behind the value slots.
  const size_t valueBytes = (variables * sizeof(TValueRef) + alignof(TObjectArray*) - 1) & ~(alignof(TObjectArray*) - 1);
  void* memory = arena.Allocate(sizeof(TBlockInstance) + valueBytes + children * sizeof(TObjectArray*));
  std::unique_ptr<TBlockInstance> instance(::new (memory) TBlockInstance(block));
  std::fill_n(instance->Values(), variables, TValueRef{0, kNoValue});
  std::fill_n(instance->Children(), children, nullptr);
  return instance;
}

TBlockInstance::TValueRef* TBlockInstance::Values() const {
  return reinterpret_cast<TValueRef*>(const_cast<TBlockInstance*>(this) + 1);
}

TObjectArray** TBlockInstance::Children() const {
  const size_t valueBytes =
      (Block->Variables.size() * sizeof(TValueRef) + alignof(TObjectArray*) - 1) & ~(alignof(TObjectArray*) - 1);
  return reinterpret_cast<TObjectArray**>(reinterpret_cast<std::byte*>(Values()) + valueBytes);
}

TObjectArray* TBlockInstance::ChildList(const TBlockState* child) const {
  const int slot = Block->ChildSlot(child);
  if (slot >= 0) return Children()[slot];
  if (FOtherChildren)
    for (const auto& [block, list] : *FOtherChildren)
      if (block == child) return list;
  return nullptr;
}

void TBlockInstance::SetChildList(const TBlockState* child, TObjectArray* list) {
  const int slot = Block->ChildSlot(child);
  if (slot >= 0) {
    Children()[slot] = list;
    return;
  }
  if (!FOtherChildren) FOtherChildren = std::make_unique<std::vector<std::pair<const TBlockState*, TObjectArray*>>>();
  FOtherChildren->emplace_back(child, list);
}

// ---------------------------------------------------------------- TTemplateEngine

TTemplateEngine::TTemplateEngine() : Prepared(false), CurrentInstance(nullptr) {}

TTemplateEngine::~TTemplateEngine() {
  // Instances end before the arena and the states they point to.
  BlockInstances.Clear();
}

bool TTemplateEngine::CheckPrepared() {
  if (!Prepared) AppendError(kNotPrepared);
  return Prepared;
}

TBlockState* TTemplateEngine::StateOf(const std::string& block) {
  // Generators alternate between a few blocks (a row and its cells): the two
  // most recent answers save most lookups.
  for (TBlockState* recent : FRecentStates)
    if (recent && recent->Name == block) return recent;
  if (block.empty()) (void)THash::HashOf(block);  // the tables' own error for an empty key
  const auto found = FStates.find(block);
  if (found == FStates.end()) return nullptr;
  FRecentStates[1] = FRecentStates[0];
  FRecentStates[0] = found->second.get();
  return FRecentStates[0];
}

void TTemplateEngine::Reset() {
  Prepared = false;
  CurrentInstance = nullptr;
  BlockContents.Clear();
  BlockParents.Clear();
  BlockCounters.Clear();
  BlockKeys.Clear();
  IgnoreStack.assign(1, false);
  BlockInstances.Clear();
  FArena.Clear();
  FStates.clear();
  FRecentStates[0] = FRecentStates[1] = nullptr;
  FValueText.clear();
  Output.clear();
  Globals.Clear();
}

void TTemplateEngine::Prepare() {
  // Unprepared until the parse succeeds: a template whose block name is
  // blank makes the hash tables throw, and must not leave a half-made root.
  Reset();
  ParseTemplate();

  const std::string root(kRootBlock);
  BlockCounters.SetItems(root, 0);

  // A state for every defined block, then the links between them, then each
  // definition flattened (its nested blocks need their states).
  BlockContents.Restart();
  while (BlockContents.Next()) {
    auto state = std::make_unique<TBlockState>();
    state->Name = BlockContents.CurrentKey();
    state->Counter = BlockCounters.Items(state->Name);
    FStates.emplace(state->Name, std::move(state));
  }
  for (auto& [name, state] : FStates) {
    if (const std::string* parent = BlockParents.Find(name)) state->Parent = StateOf(*parent);
    const auto& content = static_cast<const TStringHash&>(*BlockContents.Items(name));
    const auto* keys = static_cast<const TdefBlockKeys*>(BlockKeys.Find(name));
    for (int i = 0; keys && i < keys->Count(); ++i) {
      const std::string& key = keys->Get(i);
      const std::string* value = key.size() >= 2 ? content.Find(key) : nullptr;
      if (!value) continue;
      switch (key[1]) {
        case 'C':
          state->AddLiteral(*value);
          break;
        case 'V':
          if (!value->empty()) state->AddVariable(*value);
          break;
        case 'B':
          if (key.size() > 3)
            if (const TBlockState* child = StateOf(key.substr(3))) state->AddChild(child);
          break;
        default:
          break;
      }
    }
  }

  TBlockState* rootState = StateOf(root);
  auto list = std::make_unique<TObjectArray>();
  auto instance = TBlockInstance::Create(FArena, rootState);
  CurrentInstance = instance.get();
  list->Set(0, std::move(instance));
  rootState->CurrentList = list.get();
  rootState->InstanceCount = 1;
  BlockInstances.SetItems(ListKey(root, 0), std::move(list));
  Prepared = true;
}

TObjectArray* TTemplateEngine::NewList(TBlockState& block) {
  ++block.Counter;
  BlockCounters.SetItems(block.Name, block.Counter);
  std::string key = ListKey(block.Name, block.Counter);
  auto* list = static_cast<TObjectArray*>(BlockInstances.Find(key));
  if (!list) {
    auto created = std::make_unique<TObjectArray>();
    list = created.get();
    BlockInstances.SetItems(key, std::move(created));
  }
  block.CurrentList = list;
  return list;
}

void TTemplateEngine::NewBlock(const std::string& name) {
  if (!CheckPrepared()) return;
  TBlockState* block = StateOf(name);
  if (!block || !block->Parent) {
    AppendError("TemplateEngine Error: Can't find the block definition of \"" + name + "\"");
    return;
  }
  TBlockState* parent = block->Parent;
  // A parent without any instance yet: its list is not found.
  if (!parent->CurrentList)
    throw EHashFindError("Key \"" + ListKey(parent->Name, parent->Counter) + "\" not found");
  auto* parentInstance = static_cast<TBlockInstance*>(parent->CurrentList->Get(parent->CurrentList->Count() - 1));
  if (!parentInstance) return;

  // The first instance inside this parent instance starts a new list.
  if (!parentInstance->ChildList(block)) parentInstance->SetChildList(block, NewList(*block));

  TObjectArray* list = block->CurrentList;
  auto instance = TBlockInstance::Create(FArena, block);
  CurrentInstance = instance.get();
  list->Set(list->Count(), std::move(instance));
  ++block->InstanceCount;
}

void TTemplateEngine::SetValue(TBlockInstance& instance, std::string_view variable, const std::string& value) {
  // A variable that the block's definition does not show can never reach
  // the output, so it needs no slot.
  const int slot = instance.Block->VariableSlot(variable);
  if (slot < 0) return;
  if (FValueText.size() + value.size() >= TBlockInstance::kNoValue)
    throw std::length_error("TemplateEngine: more than 4 GB of values");
  const TBlockInstance::TValueRef ref{static_cast<uint32_t>(FValueText.size()), static_cast<uint32_t>(value.size())};
  FValueText += value;
  instance.SetValue(slot, ref);
}

void TTemplateEngine::Assign(const std::string& name, const std::string& value) {
  if (!CheckPrepared()) return;
  // Names are short: count the dots by hand rather than calling memchr twice.
  size_t dot = std::string::npos;
  int dots = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == '.' && ++dots == 1) dot = i;
  if (dots == 1) {
    const std::string blockName = name.substr(0, dot);
    const TBlockState* block = StateOf(blockName);
    if (!block) throw EHashFindError("Key \"" + blockName + "\" not found");
    if (!block->CurrentList) {
      AppendError("TemplateEngine Error: Unable to assign var. Can't find block \"" + blockName +
                  "\", you must create the block first.");
      return;
    }
    if (auto* instance = static_cast<TBlockInstance*>(block->CurrentList->Get(block->CurrentList->Count() - 1)))
      SetValue(*instance, std::string_view(name).substr(dot + 1), value);
    return;
  }
  SetValue(*CurrentInstance, name, value);
}

void TTemplateEngine::AssignGlobal(const std::string& name, const std::string& value) {
  if (!CheckPrepared()) return;
  Globals.SetItems(name, value);
}

void TTemplateEngine::GotoBlock(const std::string& name) {
  if (!CheckPrepared()) return;
  const TBlockState* block = StateOf(name);
  if (!block) return;  // not a block of this template: nothing changes
  if (!block->CurrentList)
    throw EHashFindError("Key \"" + ListKey(block->Name, block->Counter) + "\" not found");
  if (auto* instance = static_cast<TBlockInstance*>(block->CurrentList->Get(block->CurrentList->Count() - 1)))
    CurrentInstance = instance;
}

void TTemplateEngine::RenderList(TObjectArray* root) {
  // Each instance list is rendered at most once per pass. In a template with
  // unique block names that is every list exactly once; a name used twice
  // would otherwise show its rows in several places and, along a chain of
  // instances, double the output at every level.
  ++FRenderPass;
  if (!root->MarkRendered(FRenderPass)) return;

  size_t estimate = FValueText.size();
  for (const auto& [name, state] : FStates) estimate += state->LiteralBytes * state->InstanceCount;
  Output.reserve(Output.size() + estimate + estimate / 8);

  struct TFrame {
    TObjectArray* List;
    int Next;
    const TBlockInstance* Instance;
    size_t Piece;
  };
  using TKind = TBlockState::TKind;

  // An explicit stack: instance chains can be as deep as the caller makes them.
  std::vector<TFrame> stack;
  stack.push_back(TFrame{root, 0, nullptr, 0});
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (!frame.Instance) {
      if (frame.Next >= frame.List->Count()) {
        stack.pop_back();
        continue;
      }
      frame.Instance = static_cast<const TBlockInstance*>(frame.List->Get(frame.Next++));
      frame.Piece = 0;
      if (!frame.Instance) continue;
    }
    const std::vector<TBlockState::TPiece>& pieces = frame.Instance->Block->Pieces;
    if (frame.Piece >= pieces.size()) {
      frame.Instance = nullptr;
      continue;
    }
    const TBlockState::TPiece& piece = pieces[frame.Piece++];
    switch (piece.Kind) {
      case TKind::Literal:
        Output += piece.Text;
        break;
      case TKind::Variable:
        if (const TBlockInstance::TValueRef value = frame.Instance->Value(piece.Slot);
            value.Length != TBlockInstance::kNoValue)
          Output.append(FValueText, value.Offset, value.Length);
        else if (const std::string* global = Globals.Find(piece.Text))
          Output += *global;
        break;
      case TKind::Block:
        if (TObjectArray* list = frame.Instance->ChildListAt(piece.Slot))
          if (list->MarkRendered(FRenderPass))
            stack.push_back(TFrame{list, 0, nullptr, 0});  // frame is stale from here
        break;
    }
  }
}

const std::string& TTemplateEngine::GetOutputText() {
  if (Prepared)
    RenderList(static_cast<TObjectArray*>(BlockInstances.Items(ListKey(kRootBlock, 0))));
  else
    AppendError(kNotPrepared);
  return Output;
}

void TTemplateEngine::GetOutputContent(TStringList& list) { list.SetText(GetOutputText()); }
