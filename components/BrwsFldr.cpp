#include "components/BrwsFldr.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

IFolderBrowser* gDefaultBrowser = nullptr;

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

}  // namespace

// ---------------------------------------------------------------- TBrowseForFolder

void TBrowseForFolder::SetDefaultBrowser(IFolderBrowser* browser) { gDefaultBrowser = browser; }

bool TBrowseForFolder::Execute() {
  std::optional<std::string> chosen;
  if (IFolderBrowser* browser = FBrowser ? FBrowser : gDefaultBrowser) {
    chosen = browser->BrowseForFolder(FTitle, FPath);
  } else {
    TFolderDialog dialog(this);
    chosen = dialog.Run();
  }
  // An item without a folder of the file system behind it chooses nothing.
  if (!chosen || !IsFolder(*chosen)) return false;
  FPath = *chosen;
  return true;
}

bool TBrowseForFolder::SelectionChanged(const std::string& path) {
  bool enable = IsFolder(path);
  if (OnSelChanged) OnSelChanged(this, path, enable);
  DoSelChanged(path, enable);
  return enable;
}

TPoint TBrowseForFolder::DialogOpened(int left, int top, int width, int height) {
  if (OnSetPosition) OnSetPosition(this, left, top, width, height);
  DoSetPosition(left, top, width, height);
  return {left, top};
}

// ---------------------------------------------------------------- TFolderDialog

// The form that placed the browser owns its dialog, which opens above it.
TFolderDialog::TFolderDialog(TBrowseForFolder* browser)
    : TForm(dynamic_cast<TForm*>(browser->Owner())), FBrowser(browser) {
  SetName("FolderDialog");
  SetCaption("Browse for Folder");
  SetBorderStyle(browser->NewDialogStyle() ? bsSizeable : bsDialog);
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, 326, 386);
  const int w = ClientWidth(), h = ClientHeight();
  int y = 8;
  if (!browser->Title().empty()) {
    TitleLabel = new TLabel(this);
    TitleLabel->SetName("TitleLabel");
    TitleLabel->SetParent(this);
    TitleLabel->SetWordWrap(true);
    TitleLabel->SetAutoSize(false);
    TitleLabel->SetBounds(8, y, w - 16, 30);
    TitleLabel->SetCaption(browser->Title());
    TitleLabel->SetAnchors({akLeft, akTop, akRight});
    y += 34;
  }
  // The status line, the edit box and the buttons take the bottom.
  int bottom = h - 8 - 25;
  OkButton = new TButton(this);
  OkButton->SetName("OkButton");
  OkButton->SetParent(this);
  OkButton->SetBounds(w - 8 - 75 - 6 - 75, bottom, 75, 25);
  OkButton->SetCaption("OK");
  OkButton->SetDefault(true);
  OkButton->SetModalResult(TModalResult::mrOk);
  OkButton->SetAnchors({akRight, akBottom});
  CancelButton = new TButton(this);
  CancelButton->SetName("CancelButton");
  CancelButton->SetParent(this);
  CancelButton->SetBounds(w - 8 - 75, bottom, 75, 25);
  CancelButton->SetCaption("Cancel");
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(TModalResult::mrCancel);
  CancelButton->SetAnchors({akRight, akBottom});
  bottom -= 8;
  if (browser->EditBox()) {
    PathEdit = new TEdit(this);
    PathEdit->SetName("PathEdit");
    PathEdit->SetParent(this);
    PathEdit->SetBounds(8, bottom - 21, w - 16, 21);
    PathEdit->SetAnchors({akLeft, akRight, akBottom});
    bottom -= 21 + 6;
  }
  if (!browser->StatusText().empty() && !browser->NewDialogStyle()) {
    StatusLabel = new TLabel(this);
    StatusLabel->SetName("StatusLabel");
    StatusLabel->SetParent(this);
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetBounds(8, bottom - 17, w - 16, 17);
    StatusLabel->SetAnchors({akLeft, akRight, akBottom});
    bottom -= 17 + 4;
  }
  Tree = new TTreeView(this);
  Tree->SetName("Tree");
  Tree->SetParent(this);
  Tree->SetBounds(8, y, w - 16, bottom - y);
  Tree->SetReadOnly(true);
  Tree->SetHideSelection(false);
  Tree->SetAnchors({akLeft, akTop, akRight, akBottom});

  TTreeNode* computer = Tree->Items().AddChild(nullptr, "Computer");
  if (const char* home = std::getenv("HOME"); home && IsFolder(home)) {
    const fs::path p = fs::path(home).lexically_normal();
    AddFolder(computer, p.filename().empty() ? p.string() : p.filename().string(), p.string());
  }
  FRootFolder = AddFolder(computer, "File System", "/");
  FListed.insert(computer);
  for (int i = 0; i < computer->Count(); ++i) ListFolders(computer->Item(i));
  computer->SetExpanded(true);
  Tree->OnChange = [this](TObject*, TTreeNode* node) { TreeChange(node); };
}

TTreeNode* TFolderDialog::AddFolder(TTreeNode* parent, const std::string& text, const std::string& path) {
  TTreeNode* node = Tree->Items().AddChild(parent, text);
  FPaths.push_back(path);
  node->SetData(&FPaths.back());
  return node;
}

std::string TFolderDialog::PathOf(const TTreeNode* node) {
  return node && node->Data() ? *static_cast<const std::string*>(node->Data()) : std::string();
}

void TFolderDialog::ListFolders(TTreeNode* node) {
  if (!node || !FListed.insert(node).second) return;
  const std::string path = PathOf(node);
  if (path.empty()) return;
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(path, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code dirError;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || !it->is_directory(dirError) || dirError) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) AddFolder(node, name, (fs::path(path) / name).string());
}

void TFolderDialog::TreeChange(TTreeNode* node) {
  // The folders of the selection and of its children are listed, so that
  // every folder shown can open.
  ListFolders(node);
  if (node)
    for (int i = 0; i < node->Count(); ++i) ListFolders(node->Item(i));
  const std::string path = PathOf(node);
  OkButton->SetEnabled(FBrowser->SelectionChanged(path));
  if (PathEdit) PathEdit->SetText(node ? node->Text() : "");
}

bool TFolderDialog::SelectPath(const std::string& path) {
  std::error_code ec;
  const fs::path target = fs::absolute(path, ec).lexically_normal();
  TTreeNode* node = FRootFolder;
  bool found = !ec;
  if (found)
    for (const fs::path& part : target.relative_path()) {
      if (part.empty()) continue;
      ListFolders(node);
      TTreeNode* next = nullptr;
      for (int i = 0; i < node->Count() && !next; ++i)
        if (node->Item(i)->Text() == part.string()) next = node->Item(i);
      if (!next) {
        found = false;
        break;
      }
      node = next;
    }
  Tree->SetSelected(node);
  return found;
}

std::string TFolderDialog::SelectedPath() const { return PathOf(Tree->Selected()); }

std::string TFolderDialog::ChosenPath() const {
  if (PathEdit && !PathEdit->Text().empty() && (!Tree->Selected() || PathEdit->Text() != Tree->Selected()->Text())) {
    const fs::path typed(PathEdit->Text());
    if (typed.is_absolute()) return typed.lexically_normal().string();
    const std::string base = SelectedPath();
    return base.empty() ? std::string() : (fs::path(base) / typed).lexically_normal().string();
  }
  return SelectedPath();
}

void TFolderDialog::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  if (StatusLabel) StatusLabel->SetCaption(FBrowser->StatusText());
  if (!FBrowser->Path().empty())
    SelectPath(FBrowser->Path());
  else
    Tree->SetSelected(Tree->Items().GetFirstNode());
  const TPoint to = FBrowser->DialogOpened(Left(), Top(), Width(), Height());
  if (to.X != Left() || to.Y != Top()) SetBounds(to.X, to.Y, Width(), Height());
}

void TFolderDialog::DoShow() {
  TForm::DoShow();
  Initialize();
}

std::optional<std::string> TFolderDialog::Run() {
  if (ShowModal() != TModalResult::mrOk) return std::nullopt;
  return ChosenPath();
}
