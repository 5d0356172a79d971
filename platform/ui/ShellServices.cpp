#include "ui/ShellServices.h"

TModalResult TMessageRecorder::Next() {
  if (Answers.empty()) return DefaultAnswer;
  const TModalResult r = Answers.front();
  Answers.pop_front();
  return r;
}

TModalResult TMessageRecorder::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  Calls.push_back({text, "", type, buttons});
  return Next();
}

TModalResult TMessageRecorder::MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                                          TMsgDlgButtons buttons) {
  Calls.push_back({text, caption, type, buttons});
  return Next();
}

std::optional<std::string> TShellRecorder::Next() {
  if (Answers.empty()) return std::nullopt;
  auto r = Answers.front();
  Answers.pop_front();
  return r;
}

std::optional<std::string> TShellRecorder::ExecuteOpen(const TFileDialogOptions& options) {
  Calls.push_back({skOpen, options.Title, options});
  return Next();
}

std::optional<std::string> TShellRecorder::ExecuteSave(const TFileDialogOptions& options) {
  Calls.push_back({skSave, options.Title, options});
  return Next();
}

std::optional<std::string> TShellRecorder::BrowseForFolder(const std::string& title, const std::string& initialFolder) {
  TFileDialogOptions o;
  o.Title = title;
  o.InitialDir = initialFolder;
  Calls.push_back({skFolder, title, o});
  return Next();
}

bool TShellRecorder::OpenURL(const std::string& url) {
  Calls.push_back({skUrl, url, {}});
  return UrlResult;
}

bool TShellRecorder::ShowHelp(const std::string& helpFile) {
  Calls.push_back({skHelp, helpFile, {}});
  return HelpResult;
}
