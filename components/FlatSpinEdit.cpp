#include "components/FlatSpinEdit.h"

#include <QLineEdit>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

// The string-to-integer conversion: blanks before, an optional sign, digits
// and nothing after; out of range is no integer.
std::optional<int> ToInt(const std::string& text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return std::nullopt;
  if (text[i] == '+') ++i;
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data() + i, end, value);
  if (error != std::errc() || at != end || at == text.data() + i) return std::nullopt;
  return value;
}

}  // namespace

TFlatSpinEditInteger::TFlatSpinEditInteger(TComponent* AOwner) : TCustomFlatEdit(AOwner) {
  FButton = new TSpinButton(this);
  FButton->SetParent(this);
  FButton->SetBounds(0, 0, 22, 10);
  FButton->SetFocusControl(this);
  FButton->OnUpClick = [this](TObject* s) { UpClick(s); };
  FButton->OnDownClick = [this](TObject* s) { DownClick(s); };
  SetValue(0);
  PlaceButton();
}

int TFlatSpinEditInteger::Value() const {
  const auto v = ToInt(Text());
  return v ? *v : FMinValue;
}

void TFlatSpinEditInteger::SetValue(int value) { SetText(std::to_string(ClampValue(value))); }

int TFlatSpinEditInteger::ClampValue(int value) const {
  if (FMinValue == FMaxValue) return value;
  if (value < FMinValue) return FMinValue;
  if (value > FMaxValue) return FMaxValue;
  return value;
}

void TFlatSpinEditInteger::SetEditorEnabled(bool value) {
  FEditorEnabled = value;
  // The menu's Paste and Cut are refused as the keys are.
  LineEdit()->setContextMenuPolicy(value ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

bool TFlatSpinEditInteger::AcceptsKey(TKeyChar key) const {
  static const char separator = *std::localeconv()->decimal_point;
  bool valid = key < 32 ? key != '\r'
                        : key == '+' || key == '-' || (key >= '0' && key <= '9') || key == TKeyChar(separator);
  if (!FEditorEnabled && (key >= 32 || key == VK_BACK)) valid = false;
  return valid;
}

void TFlatSpinEditInteger::Step(int direction) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  const std::int64_t next = static_cast<std::int64_t>(Value()) + static_cast<std::int64_t>(direction) * FIncrement;
  constexpr std::int64_t lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  SetValue(static_cast<int>(std::clamp(next, lo, hi)));
}

void TFlatSpinEditInteger::UpClick(TObject*) { Step(1); }
void TFlatSpinEditInteger::DownClick(TObject*) { Step(-1); }

void TFlatSpinEditInteger::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_UP) UpClick(this);
  if (Key == VK_DOWN) DownClick(this);
  // Paste and cut by their keys.
  const bool ctrl = Shift.Contains(ssCtrl) && !Shift.Contains(ssShift);
  const bool shift = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
  const bool editing = (ctrl && (Key == 'V' || Key == 'X')) || (shift && (Key == VK_INSERT || Key == VK_DELETE));
  if (editing && (!FEditorEnabled || ReadOnly())) Key = 0;
  TCustomFlatEdit::KeyDown(Key, Shift);
}

void TFlatSpinEditInteger::KeyPress(TKeyChar& Key) {
  if (!AcceptsKey(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TCustomFlatEdit::KeyPress(Key);
}

void TFlatSpinEditInteger::FilterInput(std::u32string& text) {
  // Pasted and dropped text goes in as its characters would if typed one by one.
  std::u32string kept;
  for (char32_t ch : text)
    if (ch >= 32 && AcceptsKey(ch)) kept += ch;
  if (kept.size() != text.size()) MessageBeep(0);
  text = kept;
}

void TFlatSpinEditInteger::Change() {
  if (const auto v = ToInt(Text())) FLastValid = *v;
  TCustomFlatEdit::Change();
}

void TFlatSpinEditInteger::DoExit() {
  // The field shows what stays before anyone reads it on exit.
  const auto v = ToInt(Text());
  if (!v)
    SetValue(FLastValid);
  else if (ClampValue(*v) != *v)
    SetValue(*v);
  TCustomFlatEdit::DoExit();
}

int TFlatSpinEditInteger::MinHeight() const { return GetFontMetrics(Font()).tmHeight + 7; }

void TFlatSpinEditInteger::SizeChanged() {
  TCustomFlatEdit::SizeChanged();
  PlaceButton();
}

void TFlatSpinEditInteger::PlaceButton() {
  if (!FButton) return;
  if (Height() < MinHeight()) {
    SetHeight(MinHeight());  // its own size change places the button
    return;
  }
  FButton->SetBounds(Width() - FButton->Width() - 5, 0, FButton->Width(), Height() - 6);
  // Typed text never runs under the buttons.
  LineEdit()->setTextMargins(0, 0, FButton->Width() + 3, 0);
}

void TFlatSpinEditInteger::Loaded() {
  PlaceButton();
  TCustomFlatEdit::Loaded();
}
