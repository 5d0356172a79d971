#include "grid/CellEditors.h"

#include "grid/CellClasses.h"
#include "grid/ThemesSupport.h"
#include "ui/QtConvert.h"
#include "ui/Resources.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QProxyStyle>

#include <algorithm>

namespace {

// Visual-style parts.
constexpr int kEditBorder = 1;
constexpr int kPushButton = 1;
constexpr int kDropDownButton = 1;

/** The pop-up of editors that have nothing to list. */
class TPlainPopupView : public TPopupView {
public:
  using TPopupView::TPopupView;

protected:
  void SelectAt(int, int) override {}
};

/** The application's style, but for the password character, which is the editor's own. */
class TMaskStyle : public QProxyStyle {
public:
  explicit TMaskStyle(TKeyChar Mask) : FMask(Mask <= 0xFFFF ? static_cast<int>(Mask) : 0xFFFD) {}
  int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                QStyleHintReturn* Return) const override {
    if (Hint == SH_LineEdit_PasswordCharacter) return FMask;
    return QProxyStyle::styleHint(Hint, Option, Widget, Return);
  }

private:
  int FMask;
};

}  // namespace

void RegisterEditorCursor() {
  static const bool drawn = [] {
    // The arrow mirrored: pointing up and to the right, the hot spot at its tip.
    RegisterResource("REVERSEDARROW", CursorDrawer(
                                          [](TCanvas* c) {
                                            c->Polygon({{20, 0}, {20, 16}, {16, 12}, {13, 19}, {10, 18}, {13, 11},
                                                        {8, 11}});
                                          },
                                          {20, 0}));
    return true;
  }();
  (void)drawn;
  LoadCursorResource("REVERSEDARROW", crReversedArrow);
}

/** Takes a left press on the editor's two leftmost pixels away from the line
 *  edit, which would put the caret there, and selects the whole text instead. */
class TEdgeFilter : public QObject {
public:
  TEdgeFilter(TTextualEditor* Editor, QObject* Parent) : QObject(Parent), FEditor(Editor) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) return false;
    auto* me = static_cast<QMouseEvent*>(e);
    if (me->button() != Qt::LeftButton) return false;
    const QPoint p = FEditor->ClientWidget()->mapFromGlobal(me->globalPosition().toPoint());
    if (p.x() > 2) return false;
    RunGuarded([this] { FEditor->EdgePress(); });
    return true;
  }

private:
  TTextualEditor* FEditor;
};

// ---------------------------------------------------------------- TSmallButton

TSmallButton::TSmallButton(TCellEditor* Editor) : TCustomControl(nullptr), FEditor(Editor) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetParent(Editor);
}

void TSmallButton::SetPressed(bool Value) {
  if (Value == FPressed) return;
  FPressed = Value;
  Invalidate();
}

void TSmallButton::SetHot(bool Value) {
  if (Value == FHot) return;
  FHot = Value;
  Invalidate();
}

void TSmallButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FEditor && FEditor->Visible() && FEditor->CanFocus()) FEditor->SetFocus();
  SetPressed(true);
  if (OnPress) OnPress();
}

void TSmallButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FPressed) return;
  SetPressed(false);
  if (OnButtonClick) OnButtonClick();
}

void TSmallButton::MouseEnter() {
  TCustomControl::MouseEnter();
  SetHot(true);
}

void TSmallButton::MouseLeave() {
  TCustomControl::MouseLeave();
  SetHot(false);
}

TExecuteButton::TExecuteButton(TCellEditor* Editor) : TSmallButton(Editor) { SetBounds(0, 0, 21, 16); }

void TExecuteButton::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  if (ThemesAvailable()) {
    DrawThemed(nullptr, c, r, "button", kPushButton, ThemeState());
  } else {
    c->Brush.Color = clBtnFace;
    c->Brush.Style = bsSolid;
    c->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed() ? DFCS_PUSHED | DFCS_FLAT : 0));
  }
  int x = r.Left;
  if (!FGlyph.Empty()) {
    c->Draw(r.Left + (r.Width() - FGlyph.Width()) / 2, r.Top + (r.Height() - FGlyph.Height()) / 2, FGlyph);
    x += FGlyph.Width();
  }
  if (!Caption().empty()) {
    c->Font = Font();
    TGraphicsProvider::DrawTextLine(c, {x, r.Top, r.Right, r.Bottom}, false, Caption(), taCenter);
  }
}

TDropDownButton::TDropDownButton(TCellEditor* Editor) : TSmallButton(Editor) { SetBounds(0, 0, 16, 16); }

void TDropDownButton::Paint() {
  TCanvas* c = Canvas();
  if (ThemesAvailable()) {
    DrawThemed(nullptr, c, ClientRect(), "combobox", kDropDownButton, ThemeState());
    return;
  }
  c->Brush.Color = clBtnFace;
  c->Brush.Style = bsSolid;
  c->DrawFrameControl(ClientRect(), DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Pressed() ? DFCS_PUSHED : 0));
}

// ---------------------------------------------------------------- TCellEditor

TCellEditor::TCellEditor(TComponent* AOwner) : TCustomControl(AOwner) {
  CreateClientArea();
  SetControlStyle(ControlStyle() << csOpaque);
  SetVisible(false);
  SetColor(clWindow);
  SetTabStop(true);
  SetBorderStyle(bsSingle);
  SetBounds(0, 0, 121, 20);
  RegisterEditorCursor();
}

const TFormatSettings& TCellEditor::Formats() {
  static const TFormatSettings settings;
  return settings;
}

void TCellEditor::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TCellEditor::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value == bsNone ? bsNone : bsSingle;
  // The themed edit border takes one pixel, the classic sunken edge two.
  SetFrameWidth(FBorderStyle == bsNone ? 0 : ThemesAvailable() ? 1 : 2);
  InvalidateFrame();
}

void TCellEditor::SetMargin(int Value) {
  FMargin = std::max(0, Value);
  Invalidate();
}

void TCellEditor::SetVerticalAlignment(TVerticalAlignment Value) {
  FVerticalAlignment = Value;
  Invalidate();
}

void TCellEditor::SetText(const std::string& Value) { SetCaption(Value); }

void TCellEditor::TypeText(const std::string& Value) {
  if (TextEditable()) SetText(Value);
}

void TCellEditor::TextChanged() {
  TCustomControl::TextChanged();
  Change();
}

void TCellEditor::Change() {
  if (OnChange) OnChange(this);
}

bool TCellEditor::AsBoolean() const { return TextToBoolean(Text(), Formats()); }
TDateTime TCellEditor::AsDateTime() const { return TextToDateTime(Text(), Formats()); }
double TCellEditor::AsFloat() const { return TextToFloat(Text(), Formats()); }
std::int32_t TCellEditor::AsInteger() const { return TextToInteger(Text()); }
void TCellEditor::SetAsBoolean(bool Value) { SetText(BooleanToText(Value)); }
void TCellEditor::SetAsDateTime(TDateTime Value) { SetText(DateTimeToText(Value, Formats())); }
void TCellEditor::SetAsFloat(double Value) { SetText(FloatToText(Value, Formats())); }
void TCellEditor::SetAsInteger(std::int32_t Value) { SetText(IntegerToText(Value)); }

void TCellEditor::Paint() {
  if (!TextEditable()) {
    PaintUneditable();
    return;
  }
  TCanvas* c = Canvas();
  c->Brush.Style = bsSolid;
  c->Brush.Color = Color();
  c->FillRect(ClientRect());
}

void TCellEditor::PaintFrame(TCanvas* Canvas, const TRect& Rect) {
  if (ThemesAvailable())
    DrawThemed(nullptr, Canvas, Rect, "edit", kEditBorder, 1);
  else
    TCustomControl::PaintFrame(Canvas, Rect);
}

void TCellEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (CanFocus() && !Focused()) SetFocus();
}

void TCellEditor::FocusGained() {
  TCustomControl::FocusGained();
  Invalidate();
}

void TCellEditor::FocusLost() {
  TCustomControl::FocusLost();
  Invalidate();
}

// ---------------------------------------------------------------- TTextualEditor

TTextualEditor::TTextualEditor(TComponent* AOwner) : TCellEditor(AOwner), FSignals(std::make_unique<QObject>()) {
  FLine = new QLineEdit;
  FLine->setFrame(false);
  HostWidget(FLine);
  // Installed after the host's filter, so it sees the presses first.
  FLine->installEventFilter(new TEdgeFilter(this, FSignals.get()));
  QObject::connect(FLine, &QLineEdit::textChanged, FSignals.get(), [this] {
    if (!FCreating) RunGuarded([this] { Change(); });
  });
  ApplyLook();
  SetAlignment(Alignment());
  UpdateFormatting();
  FCreating = false;
}

TTextualEditor::~TTextualEditor() {
  FSignals.reset();
  // The line edit outlives this object; it must not keep a style that goes with it.
  if (FMaskStyle) FLine->setStyle(nullptr);
}

void TTextualEditor::ApplyLook() {
  QPalette pal = FLine->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(g, QPalette::Base, ToQColor(Color()));
    pal.setColor(g, QPalette::Window, ToQColor(Color()));
    pal.setColor(g, QPalette::Text, ToQColor(g == QPalette::Disabled ? clGrayText : Font().Color()));
    pal.setColor(g, QPalette::Highlight, ToQColor(clHighlight));
    pal.setColor(g, QPalette::HighlightedText, ToQColor(clHighlightText));
  }
  FLine->setPalette(pal);
  FLine->setFont(ToQFont(Font()));
}

std::string TTextualEditor::Text() const { return FromQString(FLine->text()); }

void TTextualEditor::SetText(const std::string& Value) {
  const QString q = ToQString(Value);
  // The same text while it is typed into: the caret stays where it is.
  if (q == FLine->text() && FLine->hasFocus()) return;
  if (q != FLine->text()) FLine->setText(q);
  // Text set from code shows its start, as the system's edit control does;
  // with the caret at the end a text wider than the cell showed cut at the left.
  FLine->home(false);
}

void TTextualEditor::MoveEnd() {
  // Nothing is typed into a read-only text: the caret, and the view, stay at its start.
  if (FReadOnly)
    FLine->home(false);
  else
    FLine->end(false);
}

void TTextualEditor::SelectAllText() {
  // Selected from its end back to its start: the caret, and with it the
  // view, at the start of a text wider than the cell.
  const int length = static_cast<int>(FLine->text().size());
  FLine->setSelection(length, -length);
}

int TTextualEditor::SelStart() const {
  return FLine->hasSelectedText() ? FLine->selectionStart() : FLine->cursorPosition();
}

int TTextualEditor::SelLength() const { return static_cast<int>(FLine->selectedText().size()); }

void TTextualEditor::SetPasswordChar(TKeyChar Value) {
  FPasswordChar = Value;
  // The line edit masks with the character its style names.
  std::unique_ptr<QStyle> old = std::move(FMaskStyle);
  if (Value) FMaskStyle = std::make_unique<TMaskStyle>(Value);
  if (FMaskStyle || old) FLine->setStyle(FMaskStyle.get());
  FLine->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
  // The text again, shown the new way.
  const QString text = FLine->text();
  FLine->setText(text);
}

void TTextualEditor::SetPreviewBorder(bool Value) {
  FPreviewBorder = Value;
  Invalidate();
}

void TTextualEditor::SetReadOnly(bool Value) {
  FReadOnly = Value;
  FLine->setReadOnly(Value);
}

void TTextualEditor::SetShowPreview(bool Value) {
  FShowPreview = Value;
  UpdateFormatting();
  Invalidate();
}

void TTextualEditor::SetAlignment(TAlignment Value) {
  TCellEditor::SetAlignment(Value);
  const Qt::Alignment h = Value == taRightJustify ? Qt::AlignRight
                          : Value == taCenter     ? Qt::AlignHCenter
                                                  : Qt::AlignLeft;
  FLine->setAlignment(h | Qt::AlignVCenter);
}

void TTextualEditor::SetMargin(int Value) {
  TCellEditor::SetMargin(Value);
  UpdateFormatting();
}

void TTextualEditor::SetVerticalAlignment(TVerticalAlignment Value) {
  TCellEditor::SetVerticalAlignment(Value);
  UpdateFormatting();
}

TRect TTextualEditor::FormattingRect() const {
  const int width = ClientWidth(), height = ClientHeight(), margin = Margin();
  const int text = QFontMetrics(ToQFont(Font())).height();
  TRect r;
  r.Left = margin + 2 + (FShowPreview ? 27 : 0);
  r.Right = width - (margin + 1);
  switch (VerticalAlignment()) {
    case vaTop:
      r.Top = margin;
      r.Bottom = r.Top + text;
      break;
    case vaMiddle:
      r.Top = (height - 1) / 2 - text / 2;
      r.Bottom = r.Top + text;
      break;
    case vaBottom:
      r.Bottom = height - margin;
      r.Top = r.Bottom - text;
      break;
  }
  return r;
}

void TTextualEditor::UpdateFormatting() {
  if (!FLine) return;
  const TRect f = FormattingRect();
  // The line edit keeps 2 pixels left and right of its text and 1 above and below.
  if (f.IsEmpty())
    FLine->setGeometry(0, 0, 0, 0);
  else
    FLine->setGeometry(f.Left - 2, f.Top - 1, f.Width() + 4, f.Height() + 2);
}

void TTextualEditor::PlaceWidgets() {
  TCellEditor::PlaceWidgets();
  UpdateFormatting();
}

void TTextualEditor::FontChanged() {
  TCellEditor::FontChanged();
  if (!FLine) return;
  ApplyLook();
  UpdateFormatting();
}

void TTextualEditor::ColorChanged() {
  TCellEditor::ColorChanged();
  if (FLine) ApplyLook();
}

void TTextualEditor::EnabledChanged() {
  TCellEditor::EnabledChanged();
  if (FLine) ApplyLook();
}

void TTextualEditor::KeyPress(TKeyChar& Key) {
  TCellEditor::KeyPress(Key);
  if (Key == U'\r' || Key == U'\n') Key = 0;
}

void TTextualEditor::DoEnter() {
  if (FAutoSelect) SelectAllText();
  TCellEditor::DoEnter();
}

void TTextualEditor::EdgePress() {
  if (CanFocus() && !Focused()) SetFocus();
  SelectAllText();
}

void TTextualEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && X <= 2) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    EdgePress();
    return;
  }
  TCellEditor::MouseDown(Button, Shift, X, Y);
}

void TTextualEditor::MouseMove(TShiftState Shift, int X, int Y) {
  TCellEditor::MouseMove(Shift, X, Y);
  const TCursor want = X <= 2 ? crReversedArrow : FStyleCursor;
  if (Cursor() != want) SetCursor(want);
}

void TTextualEditor::SetStyleCursor(TCursor Value) {
  FStyleCursor = Value;
  SetCursor(Value);
}

void TTextualEditor::Paint() {
  TCellEditor::Paint();
  if (!FShowPreview) return;
  TCanvas* c = Canvas();
  TRect box = PreviewRect();
  if (FPreviewBorder) {
    c->Brush.Color = clBlack;
    c->FrameRect(box);
  }
  InflateRect(box, -1, -1);
  DrawPreview(box);
}

void TTextualEditor::DrawPreview(const TRect& Box) {
  if (OnCustomPreviewDraw) OnCustomPreviewDraw(this, Box);
}

// ---------------------------------------------------------------- TCustomButtonCellEditor

TCustomButtonCellEditor::TCustomButtonCellEditor(TComponent* AOwner, TSmallButtonClass ButtonClass,
                                                 TPopupViewClass PopupClass)
    : TTextualEditor(AOwner) {
  if (ButtonClass == sbcDropDown)
    FButton = std::make_unique<TDropDownButton>(this);
  else
    FButton = std::make_unique<TExecuteButton>(this);
  FButton->OnPress = [this] { DropDown(); };
  FButton->OnButtonClick = [this] {
    if (OnButtonClick) OnButtonClick(this);
  };
  if (PopupClass == pvcList)
    FPopup = std::make_unique<TPopupList>(this);
  else
    FPopup = std::make_unique<TPlainPopupView>(this);
  FPopup->Hide();
  FPopup->OnCloseUp = [this](TObject*) { PopupClosed(); };
  FPopup->OnSelect = [this](TObject*, const std::string& text) { CloseUpWithValue(text); };
  PlaceButton();
  UpdateFormatting();
}

TCustomButtonCellEditor::~TCustomButtonCellEditor() {
  // The pop-up may still report its closing while it goes.
  if (FPopup) {
    FPopup->OnCloseUp = nullptr;
    FPopup->OnSelect = nullptr;
  }
}

void TCustomButtonCellEditor::PlaceButton() {
  if (FButton) FButton->SetBounds(ClientWidth() - FButton->Width(), 0, FButton->Width(), ClientHeight());
}

void TCustomButtonCellEditor::SizeChanged() {
  TTextualEditor::SizeChanged();
  PlaceButton();
}

TRect TCustomButtonCellEditor::FormattingRect() const {
  TRect r = TTextualEditor::FormattingRect();
  if (FButton) r.Right -= FButton->Width();
  return r;
}

void TCustomButtonCellEditor::MoveEnd() {
  TTextualEditor::MoveEnd();
  if (FButton) FButton->Invalidate();
}

void TCustomButtonCellEditor::MouseEnter() {
  TTextualEditor::MouseEnter();
  FButton->SetHot(true);
}

void TCustomButtonCellEditor::MouseLeave() {
  TTextualEditor::MouseLeave();
  FButton->SetHot(false);
}

void TCustomButtonCellEditor::PopupClosed() { FButton->SetPressed(false); }

void TCustomButtonCellEditor::CloseUpWithValue(const std::string& Value) {
  if (FPopup->Visible()) FPopup->CloseUp();
  SetText(Value);
  FButton->SetHot(false);
  FButton->SetPressed(false);
}

// ---------------------------------------------------------------- TPopupEditor

TPopupEditor::TPopupEditor(TComponent* AOwner, TPopupViewClass PopupClass)
    : TCustomButtonCellEditor(AOwner, sbcDropDown, PopupClass) {}

void TPopupEditor::SetStyle(TDropDownStyle Value) {
  FStyle = Value;
  SetReadOnly(Value == dsDropDownList);
  SetStyleCursor(Value == dsDropDownList ? crArrow : crDefault);
  UpdateFormatting();
  Invalidate();
}

void TPopupEditor::SetHideFocus(bool Value) {
  FHideFocus = Value;
  Invalidate();
}

void TPopupEditor::SelectAllText() {
  if (FStyle == dsDropDown) TCustomButtonCellEditor::SelectAllText();
}

TRect TPopupEditor::FormattingRect() const {
  // A list paints its text itself.
  if (FStyle == dsDropDownList) return {};
  return TCustomButtonCellEditor::FormattingRect();
}

void TPopupEditor::SetOnCloseUp(std::function<void()> Value) {
  OnCloseUp = [Value](TObject*) {
    if (Value) Value();
  };
}

void TPopupEditor::SetOnSelect(std::function<void()> Value) {
  OnSelect = [Value](TObject*) {
    if (Value) Value();
  };
}

void TPopupEditor::SetDroppedDown(bool Value) {
  if (Value == FDroppedDown) return;
  if (Value)
    DropDown();
  else
    Popup()->CloseUp();
}

void TPopupEditor::DropDown() {
  if (FDroppedDown) return;
  TPopupView* popup = Popup();
  popup->Font() = Font();
  popup->SetWidth(Width());
  popup->SetCaption(Text());
  PreparePopup();
  // The pop-up's top-left corner at the editor's bottom-left corner, a pixel to the left.
  const TPoint p = ClientToScreen({-FrameWidth() - 1, ClientHeight() + FrameWidth()});
  FDroppedDown = true;
  popup->Popup(p.X, p.Y);
}

void TPopupEditor::PopupClosed() {
  TCustomButtonCellEditor::PopupClosed();
  if (!FDroppedDown) return;
  FDroppedDown = false;
  DoCloseUp();
}

void TPopupEditor::DoCloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TPopupEditor::CloseUpWithValue(const std::string& Value) {
  TCustomButtonCellEditor::CloseUpWithValue(Value);
  if (OnSelect) OnSelect(this);
}

bool IsDropDownKey(WORD Key, TShiftState Shift) {
  constexpr WORD kF4 = VK_F1 + 3;
  if (Key == kF4) return Shift.Empty();
  return (Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) &&
         !Shift.Contains(ssShift);
}

void TPopupEditor::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FDroppedDown) {
    SetDroppedDown(false);
    Key = 0;
    return;
  }
  if (IsDropDownKey(Key, Shift)) {
    SetDroppedDown(!FDroppedDown);
    Key = 0;
    return;
  }
  TCustomButtonCellEditor::KeyDown(Key, Shift);
}

void TPopupEditor::MouseDown(TMouseButton MouseButton, TShiftState Shift, int X, int Y) {
  TCustomButtonCellEditor::MouseDown(MouseButton, Shift, X, Y);
  if (FStyle != dsDropDownList || MouseButton != mbLeft || FDroppedDown) return;
  Button()->SetPressed(true);
  DropDown();
}

void TPopupEditor::VisibleChanged() {
  TCustomButtonCellEditor::VisibleChanged();
  if (!Visible() && FDroppedDown) SetDroppedDown(false);
}

void TPopupEditor::PaintUneditable() {
  TCanvas* c = Canvas();
  const bool focused = Focused();
  TRect area = ClientRect();
  area.Right -= Button()->Width();
  c->Pen.Color = CellEditing() ? clHighlight : Color();
  c->Brush.Style = bsSolid;
  c->Brush.Color = focused ? clHighlight : Color();
  c->Rectangle(area);
  if (focused && !FHideFocus && !CellEditing()) {
    TRect inner = area;
    InflateRect(inner, -1, -1);
    c->DrawFocusRect(inner);
  }
  c->Font = Font();
  if (focused) c->Font.SetColor(clHighlightText);
  TRect text = area;
  text.Left = Margin() + 2 + (ShowPreview() ? 27 : 0);
  text.Right -= Margin() + 1;
  TGraphicsProvider::DrawTextBlock(c, text, Text(), false, VerticalAlignment(), Alignment());
}

// ---------------------------------------------------------------- TComboBoxEditor

TComboBoxEditor::TComboBoxEditor(TComponent* AOwner) : TPopupEditor(AOwner, pvcList) {}

void TComboBoxEditor::SetItemIndex(int Value) {
  FItemIndex = Value;
  if (Value >= 0 && Value < FItems.Count()) SetText(FItems[Value]);
}

void TComboBoxEditor::TypeText(const std::string& Value) {
  if (!ReadOnly() && TextEditable()) {
    SetText(Value);
    return;
  }
  const QString typed = ToQString(Value);
  for (int i = 0; i < FItems.Count(); ++i)
    if (ToQString(FItems[i]).startsWith(typed, Qt::CaseInsensitive)) {
      SetItemIndex(i);
      return;
    }
}

void TComboBoxEditor::SetImages(TImageList* Value) {
  FImages = Value;
  Invalidate();
}

void TComboBoxEditor::SetStyle(TDropDownStyle Value) {
  TPopupEditor::SetStyle(Value);
  if (Value == dsDropDownList) SetItemIndex(FItemIndex);
}

void TComboBoxEditor::PreparePopup() {
  TPopupList* list = PopupList();
  list->SetItems(FItems);
  list->SetImages(FImages);
  list->SetItemHeight(FItemHeight);
  list->SetShowImages(FImages != nullptr);
  // The list opens on the editor's item, not on the last one chosen in another cell.
  list->SetInitialIndex(FItemIndex);
  const int rows = std::min(FItems.Count(), FDropDownCount);
  list->SetBounds(list->Left(), list->Top(), Width(), list->ItemHeight() * rows + 2 * list->FrameWidth());
}

void TComboBoxEditor::DoCloseUp() {
  SetItemIndex(PopupList()->InitialIndex());
  TPopupEditor::DoCloseUp();
}

void TComboBoxEditor::DrawPreview(const TRect& Box) {
  TPopupEditor::DrawPreview(Box);
  if (!FImages) return;
  const int x = Box.Left + (Box.Width() - FImages->Width()) / 2;
  int y = Box.Top;
  if (VerticalAlignment() == vaMiddle) y = ClientHeight() / 2 - FImages->Height() / 2;
  if (VerticalAlignment() == vaBottom) y = Box.Bottom - FImages->Height();
  FImages->Draw(Canvas(), x, y, FItemIndex, true);
}

void TComboBoxEditor::KeyDown(WORD& Key, TShiftState Shift) {
  // In the open list Up and Down move the highlight; Enter, or the key that
  // opened it, chooses the highlighted item.
  TPopupList* list = PopupList();
  if (DroppedDown() && (Key == VK_UP || Key == VK_DOWN) && Shift.Empty()) {
    list->SetItemIndex(list->ItemIndex() + (Key == VK_UP ? -1 : 1));
    Key = 0;
    return;
  }
  if (DroppedDown() && ((Key == VK_RETURN && Shift.Empty()) || IsDropDownKey(Key, Shift))) {
    if (list->ItemIndex() >= 0 && list->ItemIndex() < FItems.Count()) {
      list->SetInitialIndex(list->ItemIndex());
      CloseUpWithValue(FItems[list->ItemIndex()]);
    }
    Key = 0;
    return;
  }
  // Alt with an arrow opens the list; only the plain arrows step.
  if (!CellEditing() && (Key == VK_UP || Key == VK_DOWN) && !IsDropDownKey(Key, Shift))
    SetItemIndex(FItemIndex + (Key == VK_UP ? -1 : 1));
  TPopupEditor::KeyDown(Key, Shift);
}

bool TComboBoxEditor::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TPopupEditor::DoMouseWheel(Shift, WheelDelta, MousePos);
  FWheel.Turn(WheelDelta, [this](bool up) {
    if (!up)
      SetItemIndex(FItemIndex + 1);
    else if (FItemIndex >= 1)
      SetItemIndex(FItemIndex - 1);
  });
  return true;
}
