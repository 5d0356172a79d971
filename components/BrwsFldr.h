#pragma once
/** TBrowseForFolder: asks the user for a folder. Execute goes through the
 *  folder service when one is set (tests set a recorder) and otherwise shows
 *  our own dialog, a tree of the file system. */

#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"
#include "ui/StdCtrls.h"

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>

/** Raised when the selection changes; the handler may change EnableOk. */
using TBFFSelChangedEvent = std::function<void(TObject* Sender, const std::string& Path, bool& EnableOk)>;
/** Raised when the dialog opens; the handler may move it. */
using TBFFSetPositionEvent = std::function<void(TObject* Sender, int& Left, int& Top, int Width, int Height)>;

/** The folder-browser component. */
class TBrowseForFolder : public TComponent {
public:
  explicit TBrowseForFolder(TComponent* AOwner) : TComponent(AOwner) {}

  /** Before Execute: the folder selected at the start (when not empty);
   *  after a successful Execute: the folder chosen. */
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& value) { FPath = value; }
  /** The dialog's status line (not with NewDialogStyle). */
  const std::string& StatusText() const { return FStatusText; }
  void SetStatusText(const std::string& value) { FStatusText = value; }
  /** The instruction above the tree; none when empty. */
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  /** A resizable dialog without a status line. */
  bool NewDialogStyle() const { return FNewDialogStyle; }
  void SetNewDialogStyle(bool value) { FNewDialogStyle = value; }
  /** An edit box for typing the folder. */
  bool EditBox() const { return FEditBox; }
  void SetEditBox(bool value) { FEditBox = value; }

  TBFFSelChangedEvent OnSelChanged;
  TBFFSetPositionEvent OnSetPosition;

  /** True when the user chose a folder (Path holds it). False when the
   *  dialog was cancelled or the choice is no folder of the file system;
   *  Path is then unchanged. */
  bool Execute();

  /** The service Execute asks (null: our own dialog). */
  void SetBrowser(IFolderBrowser* browser) { FBrowser = browser; }
  /** The service every browser without its own asks (null: our own dialog). */
  static void SetDefaultBrowser(IFolderBrowser* browser);

  /** What the dialog does when the selection changes: whether OK may be
   *  pressed (the path names a folder), after OnSelChanged and DoSelChanged. */
  bool SelectionChanged(const std::string& path);
  /** What the dialog does when it opens at (left, top): where it goes. */
  TPoint DialogOpened(int left, int top, int width, int height);

protected:
  /** Called after OnSelChanged; does nothing here. */
  virtual void DoSelChanged(const std::string& /*path*/, bool& /*enableOk*/) {}
  /** Called after OnSetPosition; does nothing here. */
  virtual void DoSetPosition(int& /*left*/, int& /*top*/, int /*width*/, int /*height*/) {}

private:
  std::string FPath;
  std::string FStatusText;
  std::string FTitle;
  bool FNewDialogStyle = false;
  bool FEditBox = false;
  IFolderBrowser* FBrowser = nullptr;
};

/** Our own folder dialog: the title, a tree of the file system under
 *  "Computer" (the home folder and the root of the file system), the status
 *  line, the edit box, and OK and Cancel. Folders are listed as the user
 *  goes; the tree's root is no folder, so OK is disabled on it. */
class TFolderDialog : public TForm {
public:
  explicit TFolderDialog(TBrowseForFolder* browser);

  /** Shows the dialog modally; the chosen folder, or nothing when cancelled. */
  std::optional<std::string> Run();
  /** Sets the status text, selects the start folder and places the dialog. */
  void Initialize();
  /** Selects the node of path, listing the folders on the way; false when
   *  the path cannot be reached (the deepest folder found is selected). */
  bool SelectPath(const std::string& path);
  /** The file-system folder of the selected node ("" for none). */
  std::string SelectedPath() const;
  /** The folder OK would answer: the selection, or what the edit box names. */
  std::string ChosenPath() const;

  TTreeView* Tree = nullptr;
  TLabel* TitleLabel = nullptr;
  TLabel* StatusLabel = nullptr;
  TEdit* PathEdit = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;

protected:
  void DoShow() override;

private:
  TTreeNode* AddFolder(TTreeNode* parent, const std::string& text, const std::string& path);
  void ListFolders(TTreeNode* node);
  void TreeChange(TTreeNode* node);
  static std::string PathOf(const TTreeNode* node);

  TBrowseForFolder* FBrowser;
  std::deque<std::string> FPaths;  // the folders behind the nodes
  std::set<const TTreeNode*> FListed;
  TTreeNode* FRootFolder = nullptr;  // the root of the file system
  bool FInitialized = false;
};
