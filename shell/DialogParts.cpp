#include "shell/DialogParts.h"

#include "components/BrwsFldr.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "core/TextUtils.h"
#include "shell/MainFormUnit.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

namespace {

/** A splitter that shows a row of raised dots where the user takes it. */
class TGripSplitter : public TSplitter {
public:
  using TSplitter::TSplitter;

protected:
  void Paint() override {
    TSplitter::Paint();
    constexpr int kDots = 9, kPitch = 4, kDot = 2;
    const bool across = Width() >= Height();
    const int length = (kDots - 1) * kPitch + kDot + 1;
    int x = across ? (Width() - length) / 2 : (Width() - kDot - 1) / 2;
    int y = across ? (Height() - kDot - 1) / 2 : (Height() - length) / 2;
    TCanvas* c = Canvas();
    for (int i = 0; i < kDots; ++i) {
      for (const auto& [colour, offset] : {std::pair{clBtnShadow, 1}, {clBtnHighlight, 0}}) {
        c->Brush = TBrush{colour, bsSolid};
        c->FillRect(TRect{x + offset, y + offset, x + offset + kDot, y + offset + kDot});
      }
      (across ? x : y) += kPitch;
    }
  }
};

}  // namespace

TSplitter* NewSplitter(TComponent* owner, TWinControl* parent, const std::string& name, TAlign align, int x, int y,
                       int w, int h, bool grip) {
  auto* splitter = grip ? new TGripSplitter(owner) : new TSplitter(owner);
  splitter->SetName(name);
  splitter->SetAlign(align);
  splitter->SetParent(parent);
  splitter->SetBounds(x, y, w, h);
  return splitter;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, int x, int y, const std::string& caption) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetTransparent(true);
  label->SetCaption(caption);
  label->SetLeft(x);
  label->SetTop(y);
  return label;
}

TFlatEdit* NewEdit(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w,
                   const std::string& text) {
  auto* edit = NewControl<TFlatEdit>(owner, parent, name, x, y, w, 19);
  edit->SetText(text);
  edit->Loaded();
  return edit;
}

TFlatEdit* NewLabelledEdit(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                           int x, int editX, int y, int w, const std::string& text) {
  NewLabel(owner, parent, x, y + 3, caption);
  return NewEdit(owner, parent, name, editX, y, w, text);
}

TFlatButton* NewButton(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                       int x, int y, int w, int h) {
  auto* button = NewControl<TFlatButton>(owner, parent, name, x, y, w, h);
  button->SetCaption(caption);
  button->SetTabStop(true);
  return button;
}

void TProgramDialog::SetDialogButtons(TFlatButton* main, TFlatButton* cancel) {
  FMainButton = main;
  FCancelButton = cancel;
  // The about box has one button for both: it needs no default's frame.
  if (main && main != cancel) main->SetDefault(true);
}

void TProgramDialog::SetVisible(bool visible) {
  const bool opening = visible && !Visible();
  TForm::SetVisible(visible);
  if (opening) SelectFirst();
}

bool TProgramDialog::DialogKey(WORD Key, TShiftState Shift) {
  if (Shift.Empty() && (Key == VK_RETURN || Key == VK_ESCAPE)) {
    TFlatButton* button = Key == VK_ESCAPE ? (FCancelButton ? FCancelButton : FMainButton) : FMainButton;
    // Enter on a button presses that button, as a click would.
    if (Key == VK_RETURN)
      if (auto* focused = dynamic_cast<TFlatButton*>(ActiveControl()); focused && focused->Focused()) button = focused;
    if (button && button->Enabled()) {
      button->Click();
      return true;
    }
  }
  return TForm::DialogKey(Key, Shift);
}

void TProgramDialog::KeyFromField(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && Shift.Empty() && DialogKey(Key, Shift)) Key = 0;
}

TFlatGroupBox* NewGroup(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                        int x, int y, int w, int h) {
  auto* group = NewControl<TFlatGroupBox>(owner, parent, name, x, y, w, h);
  group->SetCaption(caption);
  return group;
}

TFlatCheckBox* NewCheckBox(TComponent* owner, TWinControl* parent, const std::string& name,
                           const std::string& caption, int x, int y, int w, bool checked) {
  auto* box = NewControl<TFlatCheckBox>(owner, parent, name, x, y, w, 17);
  box->SetCaption(caption);
  box->SetChecked(checked);
  return box;
}

void DigitsOnly(TKeyChar& Key) {
  if (Key != U'\b' && (Key < U'0' || Key > U'9')) Key = 0;
}

bool CheckPort(const std::string& text, int32_t& port) {
  int32_t value = 0;
  if (TryStrToInt(text, value) && value >= 1 && value <= 65535) {
    port = value;
    return true;
  }
  ShowMessageBox("The port must be a number from 1 to 65535, not \"" + text + "\".", TMsgDlgType::mtWarning);
  return false;
}

std::string WithTrailingSlash(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
  return path + "/";
}

bool ChooseFolder(TBrowseForFolder* browser, IFolderBrowser* service, const std::string& start, TCustomEdit* target) {
  browser->SetBrowser(service);
  browser->SetPath(start);
  if (!browser->Execute()) return false;
  target->SetText(browser->Path());
  return true;
}
