#pragma once
/** The real message boxes, file dialogs, folder browser, URL opener and help,
 *  on Qt. The shell hands these to the program's logic; tests hand it the
 *  recorders of ui/ShellServices.h instead. */

#include "ui/ShellServices.h"

#include <QString>

#include <string>

/** The caption MessageDlg gives a kind of box: "Warning", "Error",
 *  "Information", "Confirm"; mtCustom takes the application's title. */
std::string MessageDlgCaption(TMsgDlgType type);

/** A classic filter ("Projects (*.vrk)|*.vrk|All files (*.*)|*.*") as Qt
 *  writes it ("Projects (*.vrk);;All files (*)"): patterns separated by ';'
 *  become blank-separated, "*.*" becomes "*", a description without its
 *  pattern and empty patterns are left out. */
std::string QtFileFilter(const std::string& filter);

/** text with a break chance (a zero-width space) after every character of
 *  a word that has run longest characters without a slash, backslash or
 *  hyphen, so that a long path or name wraps inside a message box instead
 *  of running past its edge. */
QString WithBreakableWords(const QString& text, int longest = 30);

/** Qt's message box, above the window on top, with only its close button in
 *  the title bar; long words wrap inside it. */
class TQtMessageService : public IMessageBoxService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  TModalResult MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                          TMsgDlgButtons buttons) override;
};

/** Qt's own open and save dialogs, lent to ModalOwner (TModalPlacement);
 *  the save dialog adds DefaultExt before it asks whether an existing file
 *  may be replaced. */
class TQtFileDialogs : public IFileDialogService {
public:
  std::optional<std::string> ExecuteOpen(const TFileDialogOptions& options) override;
  std::optional<std::string> ExecuteSave(const TFileDialogOptions& options) override;
};

class TQtFolderBrowser : public IFolderBrowser {
public:
  std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) override;
};

class TQtUrlOpener : public IUrlOpener {
public:
  bool OpenURL(const std::string& url) override;
};

/** Opens the help file with the user's program for it; a relative name is
 *  looked for in the program's folder. */
class TQtHelpService : public IHelpService {
public:
  bool ShowHelp(const std::string& helpFile) override;
};
