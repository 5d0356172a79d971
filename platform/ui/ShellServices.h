#pragma once
/** Seams for the windows the shell opens on behalf of the program's logic:
 *  message boxes with a caption, open and save dialogs, the folder browser,
 *  opening a URL and showing help. The real ones are in ui/QtServices.h; the
 *  recorders here answer from a script, so no test waits on a window. */

#include "core/Services.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

/** The seam's MessageDlg plus a box with a caption of its own (the box that
 *  shows an escaped exception uses it with the application's title). */
class IMessageBoxService : public IMessageService {
public:
  virtual TModalResult MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                                  TMsgDlgButtons buttons) = 0;
};

/** What an open or save dialog starts with. Filter is in the classic form
 *  "Project files (*.vrk)|*.vrk|All files (*.*)|*.*"; FilterIndex counts from 1. */
struct TFileDialogOptions {
  std::string Title;
  std::string Filter;
  int FilterIndex = 1;
  std::string DefaultExt;  // without the dot; added to a saved name that has no extension
  std::string InitialDir;
  std::string FileName;
};

class IFileDialogService {
public:
  virtual ~IFileDialogService() = default;
  /** The chosen file, or nothing when cancelled. */
  virtual std::optional<std::string> ExecuteOpen(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> ExecuteSave(const TFileDialogOptions& options) = 0;
};

class IFolderBrowser {
public:
  virtual ~IFolderBrowser() = default;
  /** The chosen folder, or nothing when cancelled. */
  virtual std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) = 0;
};

class IUrlOpener {
public:
  virtual ~IUrlOpener() = default;
  /** Opens url with the user's default program; false when that failed. */
  virtual bool OpenURL(const std::string& url) = 0;
};

class IHelpService {
public:
  virtual ~IHelpService() = default;
  /** Shows the contents of helpFile; false when it cannot be shown. */
  virtual bool ShowHelp(const std::string& helpFile) = 0;
};

/** Records every box and answers from Answers in order, then DefaultAnswer. */
class TMessageRecorder : public IMessageBoxService {
public:
  struct TCall {
    std::string Text;
    std::string Caption;  // empty for MessageDlg
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
  };
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  TModalResult MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                          TMsgDlgButtons buttons) override;

  std::vector<TCall> Calls;
  std::deque<TModalResult> Answers;
  TModalResult DefaultAnswer = TModalResult::mrNone;

private:
  TModalResult Next();
};

/** Records the file, folder, URL and help requests; dialogs answer from
 *  Answers in order, then "cancelled". */
class TShellRecorder : public IFileDialogService, public IFolderBrowser, public IUrlOpener, public IHelpService {
public:
  enum TKind { skOpen, skSave, skFolder, skUrl, skHelp };
  struct TCall {
    TKind Kind;
    std::string Argument;        // title, URL or help file
    TFileDialogOptions Options;  // open and save; InitialDir holds a folder browser's start
  };
  std::optional<std::string> ExecuteOpen(const TFileDialogOptions& options) override;
  std::optional<std::string> ExecuteSave(const TFileDialogOptions& options) override;
  std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) override;
  bool OpenURL(const std::string& url) override;
  bool ShowHelp(const std::string& helpFile) override;

  std::vector<TCall> Calls;
  std::deque<std::optional<std::string>> Answers;
  bool UrlResult = true;
  bool HelpResult = true;

private:
  std::optional<std::string> Next();
};
