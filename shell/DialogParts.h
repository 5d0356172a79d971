#pragma once
/** What the program's windows share when they build their controls in code,
 *  and the small checks their handlers share. */

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"

#include <cstdint>
#include <string>

class TBrowseForFolder;
class TCustomEdit;
class TFlatButton;
class TFlatCheckBox;
class TFlatEdit;
class TFlatGroupBox;
class TLabel;
class TSplitter;

/** A dialog of the program that the keyboard alone can drive: it opens with
 *  the focus on its first field; Enter presses the focused button, or else
 *  the main button; Escape presses the cancel button (the main one when
 *  there is no other). A field that takes Enter itself (a memo) keeps it;
 *  Escape cancels from there too. */
class TProgramDialog : public TForm {
public:
  using TForm::TForm;
  /** The buttons Enter and Escape press; main is drawn as the default one. */
  void SetDialogButtons(TFlatButton* main, TFlatButton* cancel);
  /** Opening (from hidden) puts the focus on the first field, wherever it
   *  was left the last time: typing goes into a field, never to a button. */
  void SetVisible(bool visible) override;

protected:
  bool DialogKey(WORD Key, TShiftState Shift) override;
  void KeyFromField(WORD& Key, TShiftState Shift);

private:
  TFlatButton* FMainButton = nullptr;
  TFlatButton* FCancelButton = nullptr;
};

/** A new T named name, owned by owner and placed on parent at (x, y, w, h). */
template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w, int h) {
  auto* c = new T(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

/** A splitter aligned to align before it gets its place (a splitter starts
 *  aligned left, and would keep the height that gave it). With grip, a row
 *  of raised dots across its middle shows where to take it. */
TSplitter* NewSplitter(TComponent* owner, TWinControl* parent, const std::string& name, TAlign align, int x, int y,
                       int w, int h, bool grip = false);
TLabel* NewLabel(TComponent* owner, TWinControl* parent, int x, int y, const std::string& caption);
/** A flat edit with its text; its height follows the font. */
TFlatEdit* NewEdit(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w,
                   const std::string& text = "");
/** A label at (x, y + 3) and a flat edit at (editX, y). */
TFlatEdit* NewLabelledEdit(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                           int x, int editX, int y, int w, const std::string& text = "");
/** A flat button that the Tab key reaches. */
TFlatButton* NewButton(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                       int x, int y, int w, int h);
TFlatGroupBox* NewGroup(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                        int x, int y, int w, int h);
TFlatCheckBox* NewCheckBox(TComponent* owner, TWinControl* parent, const std::string& name,
                           const std::string& caption, int x, int y, int w, bool checked = false);

/** Number fields take only the digits and backspace as typed characters. */
void DigitsOnly(TKeyChar& Key);
/** The port typed into a field: a number from 1 to 65535. Otherwise a
 *  warning says so and the answer is false. */
bool CheckPort(const std::string& text, int32_t& port);
/** path with "/" at its end; an empty path, and one that already ends in
 *  "/" or "\", stay as they are. */
std::string WithTrailingSlash(const std::string& path);
/** Lets the user choose a folder (through service, or the browser's own
 *  dialog when it is null), starting in start when it is not empty; the
 *  choice replaces target's text. False when cancelled. */
bool ChooseFolder(TBrowseForFolder* browser, IFolderBrowser* service, const std::string& start, TCustomEdit* target);
