#include "ui/StdCtrls.h"

#include "core/Exception.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QValidator>

#include <algorithm>
#include <functional>

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

unsigned TLabel::TextFlags() const {
  unsigned flags = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  TCanvas* c = Canvas();
  c->Font = Font();
  // A word-wrapped label keeps its width and grows downwards.
  TRect r{0, 0, FWordWrap ? Width() : 0, 0};
  // A caption that shows nothing (none, or a lone accelerator prefix) is
  // measured as one blank: the label keeps a line's height and some width.
  const std::string& caption = Caption();
  const bool blank = caption.empty() || (FShowAccelChar && caption == "&");
  c->DrawText(blank ? std::string(" ") : caption, r, TextFlags() | DT_CALCRECT);
  int left = Left();
  if (!FWordWrap && FAlignment == taRightJustify) left += Width() - r.Width();
  if (!FWordWrap && FAlignment == taCenter) left += (Width() - r.Width()) / 2;
  SetBounds(left, Top(), r.Width(), r.Height());
}

namespace {

// Draws text in r with flags; a disabled control's text is embossed: a
// highlight one pixel down and right under a shadow.
void DrawCaption(TCanvas* c, const std::string& text, TRect r, unsigned flags, bool enabled) {
  c->Brush.Style = bsClear;
  if (enabled) {
    c->DrawText(text, r, flags);
    return;
  }
  const TColor saved = c->Font.Color();
  TRect lower = r;
  OffsetRect(lower, 1, 1);
  c->Font.SetColor(clBtnHighlight);
  c->DrawText(text, lower, flags);
  c->Font.SetColor(clBtnShadow);
  c->DrawText(text, r, flags);
  c->Font.SetColor(saved);
}

}  // namespace

void TLabel::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    c->Brush = TBrush{Color(), bsSolid};
    c->FillRect(client);
  }
  c->Font = Font();
  DrawCaption(c, Caption(), client, TextFlags(), Enabled());
}

// ---------------------------------------------------------------- TStrings

void TStrings::CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& line) {
  CheckIndex(index, Count());
  Delete(index);
  Insert(index, line);
}

int TStrings::Add(const std::string& line) {
  const int index = Count();
  Insert(index, line);
  return index;
}

void TStrings::SetText(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  Clear();
  for (const std::string& line : lines) Add(line);
}

void TStrings::Assign(const TStringList& lines) { SetText(lines.Text()); }

int TStrings::IndexOf(std::string_view line) const {
  const QString want = ToQString(std::string(line));
  for (int i = 0, n = Count(); i < n; ++i)
    if (ToQString(Get(i)).compare(want, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

std::string TStrings::Text() const { return ToStringList().Text(); }

TStringList TStrings::ToStringList() const {
  TStringList out;
  for (int i = 0, n = Count(); i < n; ++i) out.Add(Get(i));
  return out;
}

// ---------------------------------------------------------------- TCustomEdit

namespace {

QString Cased(const QString& s, TEditCharCase charCase) {
  return charCase == ecUpperCase ? s.toUpper() : charCase == ecLowerCase ? s.toLower() : s;
}

}  // namespace

/** Sees every change of a single-line edit's text before it is reported:
 *  keeps the text in the edit's letter case, and hands what the user put in
 *  (typed, pasted, dropped) to the edit's FilterInput. */
class TEditValidator : public QValidator {
public:
  TEditValidator(TCustomEdit* edit, QLineEdit* line) : QValidator(line), FEdit(edit) {}
  State validate(QString& input, int& pos) const override;

  QString Last;          // the text as the edit last reported it
  bool Assigning = false;  // text set from code

private:
  TCustomEdit* FEdit;
};

QValidator::State TEditValidator::validate(QString& input, int& pos) const {
  input = Cased(input, FEdit->FCharCase);
  if (Assigning) return Acceptable;
  // What was put in lies between the parts the text shares with the last one.
  const qsizetype shorter = std::min(input.size(), Last.size());
  qsizetype head = 0, tail = 0;
  while (head < shorter && input[head] == Last[head]) ++head;
  while (tail < shorter - head && input[input.size() - 1 - tail] == Last[Last.size() - 1 - tail]) ++tail;
  if (head > 0 && input[head - 1].isHighSurrogate()) --head;
  if (tail > 0 && input[input.size() - tail].isLowSurrogate()) --tail;
  const QString added = input.mid(head, input.size() - head - tail);
  if (added.isEmpty()) return Acceptable;
  std::u32string text = added.toStdU32String();
  RunGuarded([&] { FEdit->FilterInput(text); });
  const QString kept = QString::fromStdU32String(text);
  if (kept == added) return Acceptable;
  // Nothing of it taken: the edit stays as it was, the selection a paste
  // would have replaced included (the line edit undoes what it did).
  if (kept.isEmpty()) return Invalid;
  input = input.left(head) + kept + input.right(tail);
  pos = static_cast<int>(head + kept.size());
  return Acceptable;
}

namespace {

/** Shows one character for each one typed into a password edit. */
class TPasswordStyle : public QProxyStyle {
public:
  explicit TPasswordStyle(TKeyChar ch) : QProxyStyle(QApplication::style()->name()), FChar(ch) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return static_cast<int>(FChar);
    if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }

private:
  TKeyChar FChar;
};

// The memo keeps "\n" inside; the class library's memo text has CR LF.
QString ToMemoText(const std::string& text) {
  QString q = ToQString(text);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

int FontCellHeight(const TFont& font) { return QFontMetrics(ToQFont(font)).height(); }

// The palette of a hosted input widget: background Color, text in the font's
// colour (grey while disabled), the classic selection colours; a hidden
// selection is drawn as plain text.
void ApplyInputLook(QWidget* w, TColor color, const TFont& font, bool showSelection = true) {
  QPalette pal = w->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const TColor text = g == QPalette::Disabled ? clGrayText : font.Color();
    pal.setColor(g, QPalette::Base, ToQColor(color));
    pal.setColor(g, QPalette::Window, ToQColor(color));
    pal.setColor(g, QPalette::Text, ToQColor(text));
    pal.setColor(g, QPalette::Highlight, ToQColor(showSelection ? clHighlight : color));
    pal.setColor(g, QPalette::HighlightedText, ToQColor(showSelection ? clHighlightText : text));
  }
  w->setPalette(pal);
  w->setFont(ToQFont(font));
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner), FSignals(std::make_unique<QObject>()) {
  FLine = new QLineEdit;
  FLine->setFrame(false);
  FValidator = new TEditValidator(this, FLine);
  FLine->setValidator(FValidator);
  QObject::connect(FLine, &QLineEdit::textChanged, FSignals.get(), [this] { WidgetTextChanged(); });
  // Qt drops a line's selection when the focus leaves it; the classic edit
  // keeps it (HideSelection only decides whether it shows).
  QObject::connect(FLine, &QLineEdit::selectionChanged, FSignals.get(), [this] {
    if (FLine->hasFocus()) FKeptSelection = {FLine->selectionStart(), FLine->selectionLength()};
  });
  Init(FLine);
  SetBounds(0, 0, 121, 21);
}

TCustomEdit::TCustomEdit(TComponent* AOwner, QPlainTextEdit* memo)
    : TWinControl(AOwner), FSignals(std::make_unique<QObject>()), FMemo(memo) {
  QObject::connect(FMemo, &QPlainTextEdit::textChanged, FSignals.get(), [this] { WidgetTextChanged(); });
  Init(FMemo);
}

TCustomEdit::~TCustomEdit() {
  FSignals.reset();
  // The widget outlives this part of the control: it must not keep the
  // style, nor ask the validator, which reaches back into the control.
  if (FLine) FLine->setValidator(nullptr);
  if (Handle() && FLine && FPasswordStyle) FLine->setStyle(nullptr);
}

void TCustomEdit::Init(QWidget* inner) {
  CreateClientArea();
  HostWidget(inner);
  SetTabStop(true);
  SetColor(clWindow);
  UpdateLook();
  UpdateFrame();
}

void TCustomEdit::WidgetTextChanged() {
  if (FValidator) {
    // Input filtered down to nothing leaves the text as it was.
    if (FLine->text() == FValidator->Last) return;
    FValidator->Last = FLine->text();
  }
  Notify(TControlMessage::TextChanged);
  RunGuarded([this] { Change(); });
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

std::string TCustomEdit::Text() const {
  if (FLine) return FromQString(FLine->text());
  QString text = FMemo->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return FromQString(text);
}

void TCustomEdit::SetText(const std::string& text) {
  if (FLine) {
    const QString q = Cased(ToQString(text), FCharCase);
    if (q == FLine->text()) return;
    FValidator->Assigning = true;
    FLine->setText(q);
    FValidator->Assigning = false;
    // Text set from code shows its start (Qt would show its end, the caret's
    // place); a field being typed in keeps its caret.
    if (!FLine->hasFocus()) FLine->setCursorPosition(0);
    return;
  }
  const QString q = ToMemoText(text);
  if (q != FMemo->toPlainText()) FMemo->setPlainText(q);
}

void TCustomEdit::SetMaxLength(int value) {
  FMaxLength = std::max(0, value);
  if (FLine) FLine->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

void TCustomEdit::SetPasswordChar(TKeyChar value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  if (!FLine) return;  // a memo shows its text
  if (value == 0) {
    FLine->setEchoMode(QLineEdit::Normal);
    FLine->setStyle(nullptr);
    FPasswordStyle.reset();
  } else {
    auto style = std::make_unique<TPasswordStyle>(value);
    FLine->setStyle(style.get());
    FPasswordStyle = std::move(style);
    FLine->setEchoMode(QLineEdit::Password);
  }
  UpdateLook();  // a new style may bring its own palette
}

void TCustomEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (FLine) FLine->setReadOnly(value);
  if (FMemo) {
    FMemo->setReadOnly(value);
    // A read-only memo keeps its caret, to be moved and select with the
    // keys, so that one reached by Tab shows where the focus is.
    if (value) FMemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  if (FLine) SetText(Text());
}

void TCustomEdit::FilterInput(std::u32string&) {}

void TCustomEdit::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  UpdateFrame();
}

void TCustomEdit::SetCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  UpdateFrame();
}

int TCustomEdit::EdgeWidth() const {
  if (FBorderStyle == bsNone) return 0;
  return FCtl3D ? 2 : 1;
}

void TCustomEdit::AdjustHeight() {
  if (!FAutoSize || FBorderStyle == bsNone) return;
  SetHeight(FontCellHeight(Font()) + (FCtl3D ? 8 : 6));
}

void TCustomEdit::UpdateFrame() {
  SetFrameWidth(EdgeWidth());
  AdjustHeight();
  InvalidateFrame();
}

int TCustomEdit::SelStart() const {
  if (FLine) return FLine->hasSelectedText() ? FLine->selectionStart() : FLine->cursorPosition();
  return FMemo->textCursor().selectionStart();
}

void TCustomEdit::SetSelStart(int value) {
  if (FLine) {
    FLine->setCursorPosition(value);
    return;
  }
  QTextCursor cursor = FMemo->textCursor();
  cursor.setPosition(std::clamp(value, 0, FMemo->document()->characterCount() - 1));
  FMemo->setTextCursor(cursor);
}

int TCustomEdit::SelLength() const {
  if (FLine) return static_cast<int>(FLine->selectedText().size());
  const QTextCursor cursor = FMemo->textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  if (FLine) {
    FLine->setSelection(start, std::max(0, value));
    return;
  }
  QTextCursor cursor = FMemo->textCursor();
  const int last = FMemo->document()->characterCount() - 1;
  cursor.setPosition(std::clamp(start, 0, last));
  cursor.setPosition(std::clamp(start + std::max(0, value), 0, last), QTextCursor::KeepAnchor);
  FMemo->setTextCursor(cursor);
}

std::string TCustomEdit::SelText() const {
  if (FLine) return FromQString(FLine->selectedText());
  QString s = FMemo->textCursor().selectedText();
  s.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return FromQString(s);
}

void TCustomEdit::SelectAll() {
  if (FLine) FLine->selectAll();
  if (FMemo) FMemo->selectAll();
}

void TCustomEdit::DoEnter() {
  // A click places the caret itself; a single-line edit entered otherwise
  // selects its text.
  if (FAutoSelect && FLine && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::UpdateLook() { ApplyInputLook(Hosted(), Color(), Font(), Focused() || !FHideSelection); }

void TCustomEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  UpdateLook();
}

void TCustomEdit::FocusGained() {
  TWinControl::FocusGained();
  if (FHideSelection) UpdateLook();
}

void TCustomEdit::FocusLost() {
  TWinControl::FocusLost();
  if (FLine && !FLine->hasSelectedText() && FKeptSelection.second > 0)
    FLine->setSelection(FKeptSelection.first, FKeptSelection.second);
  if (FHideSelection) UpdateLook();
}

void TCustomEdit::ColorChanged() {
  TWinControl::ColorChanged();
  UpdateLook();
}

void TCustomEdit::FontChanged() {
  TWinControl::FontChanged();
  UpdateLook();
  AdjustHeight();
}

void TCustomEdit::EnabledChanged() {
  TWinControl::EnabledChanged();
  UpdateLook();
}

// ---------------------------------------------------------------- TCustomMemo

/** The memo's lines, read from and written to its text. */
class TMemoLines : public TStrings {
public:
  explicit TMemoLines(TCustomMemo* memo) : FMemo(memo) {}
  int Count() const override { return Current().Count(); }
  std::string Get(int index) const override {
    const TStringList lines = Current();
    CheckIndex(index, lines.Count());
    return lines[index];
  }
  void Put(int index, const std::string& line) override {
    TStringList lines = Current();
    CheckIndex(index, lines.Count());
    lines[index] = line;
    Write(lines);
  }
  void Insert(int index, const std::string& line) override {
    TStringList lines = Current();
    lines.Insert(index, line);
    Write(lines);
  }
  void Delete(int index) override {
    TStringList lines = Current();
    lines.Delete(index);
    Write(lines);
  }
  void Clear() override { FMemo->SetText(""); }
  void SetText(std::string_view text) override {
    TStringList lines;
    lines.SetText(text);
    Write(lines);
  }

private:
  // A line break at the very end makes no empty last line.
  TStringList Current() const {
    TStringList lines;
    lines.SetText(FMemo->Text());
    return lines;
  }
  void Write(const TStringList& lines) { FMemo->SetText(lines.Text()); }
  TCustomMemo* FMemo;
};

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner, new QPlainTextEdit), FLines(std::make_unique<TMemoLines>(this)),
      FSignals(std::make_unique<QObject>()) {
  QPlainTextEdit* m = PlainTextEdit();
  m->setFrameShape(QFrame::NoFrame);
  m->document()->setDocumentMargin(2);  // the classic memo's text nearly touches its frame
  // The window's own bars stand in for the widget's.
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m->setTabChangesFocus(true);
  m->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  for (QScrollBar* bar : {m->verticalScrollBar(), m->horizontalScrollBar()}) {
    QObject::connect(bar, &QScrollBar::rangeChanged, FSignals.get(), [this] { SyncScrollBars(); });
    QObject::connect(bar, &QScrollBar::valueChanged, FSignals.get(), [this] { SyncScrollBars(); });
  }
  SetAutoSize(false);
  UpdateWrap();
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { FSignals.reset(); }

TStrings& TCustomMemo::Lines() { return *FLines; }
const TStrings& TCustomMemo::Lines() const { return *FLines; }

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  UpdateWrap();
  SyncScrollBars();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  UpdateWrap();
}

void TCustomMemo::SetWantTabs(bool value) {
  FWantTabs = value;
  PlainTextEdit()->setTabChangesFocus(!value);
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  QTextDocument* doc = PlainTextEdit()->document();
  QTextOption option = doc->defaultTextOption();
  option.setAlignment(value == taCenter ? Qt::AlignHCenter : value == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
  doc->setDefaultTextOption(option);
}

void TCustomMemo::UpdateWrap() {
  const bool horizontal = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  PlainTextEdit()->setLineWrapMode(FWordWrap && !horizontal ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SyncScrollBars() {
  if (FSyncing) return;
  FSyncing = true;
  const bool wanted[2] = {FScrollBars == ssHorizontal || FScrollBars == ssBoth,
                          FScrollBars == ssVertical || FScrollBars == ssBoth};
  // Which bars show depends on ScrollBars alone, so showing them first
  // cannot change what follows.
  for (TScrollBarKind kind : {sbHorizontal, sbVertical})
    if (wanted[kind] || ScrollBarShown(kind)) ShowScrollBar(kind, wanted[kind]);
  QPlainTextEdit* m = PlainTextEdit();
  for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
    if (!wanted[kind]) continue;
    const QScrollBar* inner = kind == sbVertical ? m->verticalScrollBar() : m->horizontalScrollBar();
    const int page = inner->pageStep();
    SetScrollInfo(kind, {inner->minimum(), inner->maximum() + std::max(page - 1, 0), page, inner->value()});
    EnableScrollBar(kind, inner->maximum() > inner->minimum());
  }
  FSyncing = false;
}

void TCustomMemo::ScrollMessage(TScrollBarKind kind, int code, int trackPos) {
  QPlainTextEdit* m = PlainTextEdit();
  QScrollBar* inner = kind == sbVertical ? m->verticalScrollBar() : m->horizontalScrollBar();
  switch (code) {
    case SB_LINEUP: inner->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case SB_LINEDOWN: inner->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case SB_PAGEUP: inner->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case SB_PAGEDOWN: inner->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case SB_TOP: inner->setValue(inner->minimum()); break;
    case SB_BOTTOM: inner->setValue(inner->maximum()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: inner->setValue(trackPos); break;
    default: break;
  }
}

unsigned TCustomMemo::DialogCode() const {
  unsigned code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FWantTabs) code |= DLGC_WANTTAB;
  if (FWantReturns) code |= DLGC_WANTALLKEYS;
  return code;
}

void TCustomMemo::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_RETURN && !FWantReturns) Key = 0;
}

void TCustomMemo::KeyPress(TKeyChar& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == '\r' && !FWantReturns) Key = 0;
  // The limit holds for typing; a break or tab counts like any character.
  if (Key >= ' ' || Key == '\t' || Key == '\r') {
    const int length = PlainTextEdit()->document()->characterCount() - 1;
    if (MaxLength() > 0 && length - SelLength() >= MaxLength()) Key = 0;
  }
}

// ---------------------------------------------------------------- TCustomComboBox

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return ToQString(a).compare(ToQString(b), Qt::CaseInsensitive) < 0;
}

}  // namespace

/** The items of a combo or list box: each change is told to the box (the
 *  index where it happened and +1 inserted, -1 deleted, 0 cleared), and a
 *  sorted box gets added lines in their place. */
class TItemList : public TStrings {
public:
  TItemList(std::function<bool()> sorted, std::function<void(int, int)> changed)
      : FSorted(std::move(sorted)), FChanged(std::move(changed)) {}
  int Count() const override { return static_cast<int>(FItems.size()); }
  std::string Get(int index) const override {
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)];
  }
  void Insert(int index, const std::string& line) override {
    if (index != Count()) CheckIndex(index, Count());
    FItems.insert(FItems.begin() + index, line);
    FChanged(index, 1);
  }
  int Add(const std::string& line) override {
    int index = Count();
    if (FSorted())
      index = static_cast<int>(std::upper_bound(FItems.begin(), FItems.end(), line, LessNoCase) - FItems.begin());
    Insert(index, line);
    return index;
  }
  void Delete(int index) override {
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
    FChanged(index, -1);
  }
  void Clear() override {
    FItems.clear();
    FChanged(0, 0);
  }
  /** Sorts the items; returns where item `keep` went. */
  int Sort(int keep) {
    std::vector<int> order(FItems.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
      return LessNoCase(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
    });
    std::vector<std::string> sorted;
    int moved = -1;
    for (size_t i = 0; i < order.size(); ++i) {
      if (order[i] == keep) moved = static_cast<int>(i);
      sorted.push_back(std::move(FItems[static_cast<size_t>(order[i])]));
    }
    FItems = std::move(sorted);
    return moved;
  }
  /** The first item after `from` (wrapping round) that starts with text,
   *  letter case ignored; -1 when none does. */
  int FindPrefix(const QString& text, int from) const {
    const int count = Count();
    for (int step = 1; step <= count; ++step) {
      const int i = ((from < 0 ? -1 : from) + step) % count;
      if (ToQString(FItems[static_cast<size_t>(i)]).startsWith(text, Qt::CaseInsensitive)) return i;
    }
    return -1;
  }

private:
  std::function<bool()> FSorted;
  std::function<void(int, int)> FChanged;
  std::vector<std::string> FItems;
};

namespace {

/** Where a chosen index goes when items change at index (see TItemList). */
int FollowChange(int chosen, int index, int delta) {
  if (delta == 0) return -1;
  if (delta > 0) return chosen >= index ? chosen + 1 : chosen;
  if (chosen == index) return -1;
  return chosen > index ? chosen - 1 : chosen;
}

}  // namespace

/** The rows of a list window (a list box, a combo box's list): the item in
 *  the top row, the highlighted one, the height of each, what fits, and the
 *  window's vertical scroll bar, which follows the top row. */
class TItemRows {
public:
  TItemRows(TWinControl* window, std::function<int()> count, std::function<int(int)> height)
      : FWindow(window), FCount(std::move(count)), FHeight(std::move(height)) {}

  int Count() const { return FCount(); }
  int Top() const { return FTop; }
  int Index() const { return FIndex; }
  void SetIndex(int index) { FIndex = index; }

  /** Items from the top row on that fit wholly (at least one). */
  int Rows() const { return RowsFrom(FTop); }

  int ItemAt(TPoint p) const {
    if (!FWindow->ClientRect().Contains(p)) return -1;
    for (int i = FTop, y = 0; i < Count(); ++i) {
      y += FHeight(i);
      if (p.Y < y) return i;
    }
    return -1;
  }

  TRect ItemRect(int index) const {
    if (index < FTop) return {};
    int y = 0;
    for (int i = FTop; i < index; ++i) y += FHeight(i);
    return {0, y, FWindow->ClientWidth(), y + FHeight(index)};
  }

  /** Moves the highlight to index (kept within the items) and scrolls to it. */
  void Highlight(int index) {
    if (Count() == 0) return;
    FIndex = std::clamp(index, 0, Count() - 1);
    MakeVisible(FIndex);
    FWindow->Invalidate();
  }

  void MakeVisible(int index) {
    int top = FTop;
    if (index >= 0 && index < top) top = index;
    // Down to the first top row from which index still fits.
    while (index >= 0 && index < Count() && top < index && index >= top + RowsFrom(top)) ++top;
    SetTop(top);
  }

  void SetTop(int top) {
    FTop = std::clamp(top, 0, MaxTop());
    Sync();
    FWindow->Invalidate();
  }

  /** The scroll bar after a change of the items or the window's size. */
  void Sync() {
    FTop = std::clamp(FTop, 0, MaxTop());
    FWindow->SetScrollInfo(sbVertical, {0, std::max(0, Count() - 1), Rows(), FTop});
  }

  /** Whether the rows do not all fit. */
  bool Overflows() const { return MaxTop() > 0; }

  void ScrollMessage(int code, int trackPos) {
    const int page = Rows();
    switch (code) {
      case SB_LINEUP: SetTop(FTop - 1); break;
      case SB_LINEDOWN: SetTop(FTop + 1); break;
      case SB_PAGEUP: SetTop(FTop - page); break;
      case SB_PAGEDOWN: SetTop(FTop + page); break;
      case SB_TOP: SetTop(0); break;
      case SB_BOTTOM: SetTop(Count()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: SetTop(trackPos); break;
      default: break;
    }
  }

  void Wheel(int delta) { SetTop(FTop - delta / 40); }  // three rows a notch

  /** Paints the rows from the top one down; back fills what no item covers. */
  void Paint(TCanvas* c, TColor back, const std::function<void(int, const TRect&)>& draw) const {
    const int w = FWindow->ClientWidth(), h = FWindow->ClientHeight();
    int y = 0;
    for (int i = FTop; i < Count() && y < h; ++i) {
      const TRect r{0, y, w, y + FHeight(i)};
      draw(i, r);
      y = r.Bottom;
    }
    if (y < h) {
      c->Brush = TBrush{back, bsSolid};
      c->FillRect(TRect{0, y, w, h});
    }
  }

private:
  int RowsFrom(int top) const {
    const int h = FWindow->ClientHeight();
    int rows = 0;
    for (int i = top, y = 0; i < Count(); ++i) {
      y += FHeight(i);
      if (y > h) break;
      ++rows;
    }
    return std::max(1, rows);
  }
  /** The first top row from which the last item still fits. */
  int MaxTop() const {
    const int h = FWindow->ClientHeight();
    int top = Count(), y = 0;
    while (top > 0 && y + FHeight(top - 1) <= h) y += FHeight(--top);
    return std::min(top, std::max(0, Count() - 1));
  }

  TWinControl* FWindow;
  std::function<int()> FCount;
  std::function<int(int)> FHeight;
  int FTop = 0;
  int FIndex = -1;
};

namespace {

/** The state an item is drawn in: chosen, and with the focus rectangle. */
TOwnerDrawState ItemState(bool chosen, bool focus) {
  TOwnerDrawState state;
  if (chosen) state << odSelected;
  if (focus) state << odFocused;
  return state;
}

/** Text rows' own drawing: the brush as set, the text 2 pixels in. */
void DrawTextRow(TCanvas* c, const std::string& text, const TRect& r) {
  c->FillRect(r);
  c->Brush.Style = bsClear;
  TRect t{r.Left + 2, r.Top, r.Right, r.Bottom};
  c->DrawText(text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  c->Brush.Style = bsSolid;
}

/** The brush and font for a row of a list drawn in state. */
void PrepareRow(TCanvas* c, const TFont& font, TColor back, TOwnerDrawState state) {
  const bool chosen = state.Contains(odSelected);
  c->Brush = TBrush{chosen ? clHighlight : back, bsSolid};
  c->Font = font;
  if (chosen) c->Font.SetColor(clHighlightText);
}

}  // namespace

/** The drop-down list of a combo box: a pop-up window one pixel framed,
 *  with a scroll bar when there are more items than DropDownCount. The
 *  mouse highlights the item under it; a release on an item takes it. */
class TComboDropDown : public TCustomControl {
public:
  explicit TComboDropDown(TCustomComboBox* combo)
      : TCustomControl(combo), FCombo(combo),
        FRows(this, [combo] { return combo->Items().Count(); }, [combo](int i) { return combo->ListItemHeight(i); }) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    SetWindowKind(wkPopup, combo);
    SetFrameWidth(1);
  }

  int Index() const { return FRows.Index(); }
  int Top() const { return FRows.Top(); }
  int Rows() const { return FRows.Rows(); }

  void Open() {
    SetParentFont(false);
    SetFont(FCombo->Font());
    SetColor(FCombo->Color());
    // As tall as the first DropDownCount items.
    const int shown = std::min(FRows.Count(), FCombo->DropDownCount());
    int height = shown > 0 ? 2 : FCombo->ItemHeight() + 2;
    for (int i = 0; i < shown; ++i) height += FCombo->ListItemHeight(i);
    TPoint at = FCombo->ClientToScreen({0, FCombo->Height()});
    const TRect work = Screen ? Screen->WorkAreaRect() : TRect{};
    if (!work.IsEmpty() && at.Y + height > work.Bottom) at.Y = FCombo->ClientToScreen({0, 0}).Y - height;
    ShowScrollBar(sbVertical, FRows.Count() > shown);
    SetBounds(at.X, at.Y, FCombo->Width(), height);
    FRows.SetIndex(FCombo->ItemIndex());
    FRows.SetTop(0);
    FRows.MakeVisible(FRows.Index());
    Show();
    Invalidate();
  }

  void Highlight(int index) { FRows.Highlight(index); }

  /** Closes when the list is hidden by others (Qt closes pop-ups too). */
  void Closed() {
    if (FCombo->FDroppedDown) FCombo->CloseList(false);
  }

protected:
  void Paint() override {
    TCanvas* c = Canvas();
    FRows.Paint(c, Color(), [&](int i, const TRect& r) {
      FCombo->DrawItemOn(c, i, r, ItemState(i == FRows.Index(), false));
    });
  }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    // The pop-up sees presses anywhere on the screen: one off the window closes it.
    const QRect window(Handle()->mapToGlobal(QPoint(0, 0)), Handle()->size());
    if (!window.contains(ToQPoint(ClientToScreen({X, Y})))) FCombo->CloseList(false);
  }

  void MouseMove(TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseMove(Shift, X, Y);
    const int index = FRows.ItemAt({X, Y});
    if (index >= 0 && index != FRows.Index()) {
      FRows.SetIndex(index);
      Invalidate();
    }
  }

  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FCombo->FButtonDown = false;
    FCombo->Invalidate();
    const int index = FRows.ItemAt({X, Y});
    if (Button != mbLeft || index < 0) return;
    FRows.SetIndex(index);
    FCombo->CloseList(true);
  }

  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    FRows.Wheel(WheelDelta);
    return true;
  }

  void ScrollMessage(TScrollBarKind, int code, int trackPos) override { FRows.ScrollMessage(code, trackPos); }

  bool WidgetEvent(QEvent* e) override {
    if (e->type() == QEvent::Hide) Closed();
    return false;
  }

private:
  TCustomComboBox* FCombo;
  TItemRows FRows;
};

/** The list a csSimple combo box always shows: a choice in it is the box's
 *  choice, and a press on it leaves the focus with the box. */
class TComboSimpleList : public TCustomListBox {
public:
  explicit TComboSimpleList(TCustomComboBox* combo) : TCustomListBox(combo), FCombo(combo) {
    SetTabStop(false);
    SetParent(combo);
  }

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    if (FCombo->CanFocus() && !FCombo->Focused()) FCombo->SetFocus();
    const int index = ItemAtPos({X, Y}, true);
    if (Button == mbLeft && index >= 0 && index != FCombo->ItemIndex()) FCombo->UserSelect(index);
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void MouseMove(TShiftState Shift, int X, int Y) override { TCustomControl::MouseMove(Shift, X, Y); }
  void PaintFrame(TCanvas* canvas, const TRect& rect) override { FCombo->PaintSimpleListFrame(canvas, rect); }

private:
  TCustomComboBox* FCombo;
};

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner),
      FItems(std::make_unique<TItemList>([this] { return FSorted; },
                                          [this](int index, int delta) { ItemsChanged(index, delta); })),
      FSignals(std::make_unique<QObject>()) {
  // Clicks come from choices, not from the mouse.
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque});
  SetColor(clWindow);
  CreateInner();
  SetTabStop(true);
  SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() {
  FSignals.reset();
  FDroppedDown = false;
  delete FList;
  FList = nullptr;
}

TStrings& TCustomComboBox::Items() { return *FItems; }
const TStrings& TCustomComboBox::Items() const { return *FItems; }

void TCustomComboBox::CreateInner() {
  const std::string text = FInner ? Text() : std::string();
  QWidget* old = FInner;
  if (FStyle == csDropDown || FStyle == csSimple) {
    FEdit = new QLineEdit;
    FEdit->setFrame(false);
    FEdit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    FEdit->setText(ToQString(text));
    QObject::connect(FEdit, &QLineEdit::textChanged, FSignals.get(), [this] {
      if (FSettingText) return;
      FItemIndex = -1;  // typed text chooses no item
      if (FSimpleList) FSimpleList->SetItemIndex(-1);
      Notify(TControlMessage::TextChanged);
      RunGuarded([this] { Change(); });
    });
    FInner = FEdit;
  } else {
    // A plain widget takes the focus and the keys; the box paints the rest.
    FEdit = nullptr;
    FInner = new QWidget;
  }
  HostWidget(FInner);
  delete old;
  if (FStyle == csSimple && !FSimpleList) {
    FSimpleList = new TComboSimpleList(this);
  } else if (FStyle != csSimple && FSimpleList) {
    delete FSimpleList;
    FSimpleList = nullptr;
  }
  SyncSimpleList();
  UpdateEditLook();
  PlaceWidgets();
  Invalidate();
}

void TCustomComboBox::SyncSimpleList() {
  if (!FSimpleList) return;
  FSimpleList->SetParentFont(false);
  FSimpleList->SetFont(Font());
  FSimpleList->SetColor(Color());
  FSimpleList->SetEnabled(Enabled());
  FSimpleList->Items().Assign(FItems->ToStringList());
  FSimpleList->SetItemIndex(FItemIndex);
}

int TCustomComboBox::ListItemHeight(int index) const {
  if (FStyle != csOwnerDrawVariable || index < 0 || index >= static_cast<int>(FItemHeights.size())) return FItemHeight;
  return FItemHeights[static_cast<size_t>(index)];
}

void TCustomComboBox::UpdateEditLook() {
  if (FEdit) ApplyInputLook(FEdit, Color(), Font());
}

void TCustomComboBox::ShowEditText(const std::string& text) {
  if (!FEdit) return;
  FSettingText = true;
  FEdit->setText(ToQString(text));
  FSettingText = false;
  if (Focused()) FEdit->selectAll();
}

std::string TCustomComboBox::Text() const {
  if (FEdit) return FromQString(FEdit->text());
  return FItemIndex >= 0 ? FItems->Get(FItemIndex) : std::string();
}

void TCustomComboBox::SetText(const std::string& text) {
  if (!FEdit) {
    const int index = FItems->IndexOf(text);
    if (index >= 0) SetItemIndex(index);
    return;
  }
  ShowEditText(text);
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= FItems->Count()) index = -1;
  FItemIndex = index;
  ShowEditText(index >= 0 ? FItems->Get(index) : std::string());
  if (FSimpleList) FSimpleList->SetItemIndex(index);
  Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style == FStyle) return;
  if (FDroppedDown) CloseList(false);
  FStyle = style;
  CreateInner();
}

void TCustomComboBox::SetDropDownCount(int value) { FDropDownCount = std::max(1, value); }

void TCustomComboBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  if (value) {
    FItemIndex = FItems->Sort(FItemIndex);
    SyncSimpleList();
    Invalidate();
  }
}

void TCustomComboBox::SetItemHeight(int value) {
  FItemHeight = std::max(1, value);
  PlaceWidgets();
}

void TCustomComboBox::SetMaxLength(int value) {
  FMaxLength = std::max(0, value);
  if (FEdit) FEdit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

void TCustomComboBox::ItemsChanged(int index, int delta) {
  // Cleared, a csDropDown box keeps its text.
  FItemIndex = FollowChange(FItemIndex, index, delta);
  if (FList && FDroppedDown) FList->Highlight(FList->Index());
  SyncSimpleList();
  Invalidate();
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (value == FDroppedDown || (value && FStyle == csSimple)) return;
  if (!value) {
    CloseList(false);
    return;
  }
  DropDown();
  if (!Showing()) return;
  FItemHeights.clear();
  if (FStyle == csOwnerDrawVariable)
    for (int i = 0; i < FItems->Count(); ++i) {
      int height = FItemHeight;
      MeasureItem(i, height);
      FItemHeights.push_back(std::max(1, height));
    }
  if (!FList) FList = new TComboDropDown(this);
  FDroppedDown = true;
  FList->Open();
  Notify(TControlMessage::StateChanged);
  Invalidate();
}

void TCustomComboBox::CloseList(bool take) {
  if (!FDroppedDown) return;
  FDroppedDown = false;
  FButtonDown = false;
  const int chosen = FList->Index();
  FList->Hide();
  Notify(TControlMessage::StateChanged);
  Invalidate();
  if (take && chosen >= 0) UserSelect(chosen);
  CloseUp();
}

int TCustomComboBox::DropDownIndex() const { return FDroppedDown ? FList->Index() : -1; }
int TCustomComboBox::DropDownTopIndex() const { return FList ? FList->Top() : 0; }
TCustomControl* TCustomComboBox::DropDownWindow() const { return FList; }

void TCustomComboBox::UserSelect(int index) {
  if (index < 0 || index >= FItems->Count()) return;
  FItemIndex = index;
  ShowEditText(FItems->Get(index));
  if (FSimpleList) FSimpleList->SetItemIndex(index);
  Invalidate();
  Click();
  Select();
}

unsigned TCustomComboBox::DialogCode() const {
  return DLGC_WANTARROWS | DLGC_WANTCHARS | (FDroppedDown ? DLGC_WANTALLKEYS : 0u);
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

TRect TCustomComboBox::ButtonRect() const {
  const int right = std::max(2, Width() - 2);
  return TRect{std::max(2, right - 16), 2, right, std::max(2, Height() - 2)};
}

TRect TCustomComboBox::EditRect() const {
  if (FStyle == csSimple) return TRect{3, 3, std::max(3, Width() - 3), std::max(3, EditRowHeight() - 3)};
  return TRect{3, 3, std::max(3, ButtonRect().Left - 1), std::max(3, Height() - 3)};
}

TRect TCustomComboBox::SimpleListRect() const { return TRect{0, EditRowHeight(), Width(), Height()}; }

void TCustomComboBox::PaintSimpleListFrame(TCanvas* canvas, const TRect& rect) {
  TRect r = rect;
  canvas->DrawEdge(r, EDGE_SUNKEN, BF_RECT);
}

void TCustomComboBox::Paint() {
  PaintFace();
  if (!FEdit) PaintText(EditRect());
}

void TCustomComboBox::PaintFace() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (FStyle == csSimple) r.Bottom = std::min(r.Bottom, EditRowHeight());
  c->DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(r);
  if (FStyle == csSimple) return;  // no button
  unsigned state = DFCS_SCROLLCOMBOBOX;
  if (!Enabled()) state |= DFCS_INACTIVE;
  if (FButtonDown) state |= DFCS_PUSHED | DFCS_FLAT;
  c->DrawFrameControl(ButtonRect(), DFC_SCROLL, state);
}

void TCustomComboBox::PaintText(const TRect& r) {
  TCanvas* c = Canvas();
  const bool chosen = Focused() && !FDroppedDown && Enabled();
  if (OwnerDraw()) {
    TOwnerDrawState state = ItemState(chosen, chosen) << odComboBoxEdit;
    if (!Enabled()) state << odDisabled;
    DrawItemOn(c, FItemIndex, r, state);
    return;
  }
  c->Brush = TBrush{chosen ? clHighlight : Color(), bsSolid};
  c->FillRect(r);
  c->Font = Font();
  if (chosen) c->Font.SetColor(clHighlightText);
  if (!Enabled()) c->Font.SetColor(clGrayText);
  c->Brush.Style = bsClear;
  TRect text{r.Left + 1, r.Top, r.Right, r.Bottom};
  c->DrawText(Text(), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (chosen) c->DrawFocusRect(r);
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem && OwnerDraw()) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  DrawTextRow(Canvas(), Index >= 0 && Index < FItems->Count() ? FItems->Get(Index) : std::string(), Rect);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::DrawItemOn(TCanvas* target, int index, const TRect& r, TOwnerDrawState state) {
  TCanvas* c = Canvas();
  QImage* own = c->Target();
  if (target != c) c->SetTarget(target->Target());
  TRect clip;
  IntersectRect(clip, r, target->ClipRect());
  c->SetClipRect(clip);
  PrepareRow(c, Font(), Color(), state);
  if (state.Contains(odDisabled)) c->Font.SetColor(clGrayText);
  RunGuarded([&] { DrawItem(index, r, state); });
  if (state.Contains(odFocused)) c->DrawFocusRect(r);
  c->ResetClipRect();
  if (target != c) c->SetTarget(own);
}

void TCustomComboBox::PlaceWidgets() {
  TCustomControl::PlaceWidgets();
  if (FEdit) FEdit->setGeometry(ToQRect(EditRect()));
  if (FSimpleList) {
    const TRect r = SimpleListRect();
    FSimpleList->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!Key) return;
  const bool alt = Shift.Contains(ssAlt);
  const int count = FItems->Count();
  if (FDroppedDown) {
    const int at = FList->Index(), page = FList->Rows() - 1;
    switch (Key) {
      case VK_UP:
      case VK_DOWN:
        if (alt) {
          CloseList(true);
          break;
        }
        FList->Highlight(at < 0 ? 0 : at + (Key == VK_DOWN ? 1 : -1));
        break;
      case VK_HOME: FList->Highlight(0); break;
      case VK_END: FList->Highlight(count - 1); break;
      case VK_PRIOR: FList->Highlight(at - page); break;
      case VK_NEXT: FList->Highlight(at + page); break;
      case VK_RETURN: CloseList(true); break;
      case VK_F1 + 3: CloseList(true); break;  // F4
      case VK_ESCAPE: CloseList(false); break;
      case VK_TAB:
        CloseList(false);
        if (TForm* form = GetParentForm(this)) form->SelectNext(!Shift.Contains(ssShift));
        break;
      default: return;
    }
    Key = 0;
    return;
  }
  if (Key == VK_F1 + 3 || (alt && (Key == VK_DOWN || Key == VK_UP))) {
    SetDroppedDown(true);
    Key = 0;
    return;
  }
  if (alt || count == 0) return;
  const bool list = !FEdit;
  int target = -2;
  switch (Key) {
    case VK_UP: target = FItemIndex - 1; break;
    case VK_DOWN: target = FItemIndex + 1; break;
    case VK_LEFT: target = list ? FItemIndex - 1 : -2; break;
    case VK_RIGHT: target = list ? FItemIndex + 1 : -2; break;
    case VK_HOME: target = list ? 0 : -2; break;
    case VK_END: target = list ? count - 1 : -2; break;
    case VK_PRIOR: target = FItemIndex - (FDropDownCount - 1); break;
    case VK_NEXT: target = FItemIndex + (FDropDownCount - 1); break;
    default: break;
  }
  if (target == -2) return;
  Key = 0;
  target = std::clamp(target, 0, count - 1);
  if (target != FItemIndex) UserSelect(target);
}

void TCustomComboBox::KeyPress(TKeyChar& Key) {
  TCustomControl::KeyPress(Key);
  if (FEdit || Key == 0) return;
  const TKeyChar typed = Key;
  Key = 0;  // nothing is typed into a list
  if (typed < ' ') return;
  // The next item after the current one that starts with the character.
  const int i = FItems->FindPrefix(QString::fromUcs4(&typed, 1), FDroppedDown ? FList->Index() : FItemIndex);
  if (i < 0) return;
  if (FDroppedDown)
    FList->Highlight(i);
  else if (i != FItemIndex)
    UserSelect(i);
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (!Focused() && CanFocus()) SetFocus();
    if (FDroppedDown) {
      CloseList(false);
    } else if (!FEdit || (FStyle != csSimple && ButtonRect().Contains({X, Y}))) {
      FButtonDown = true;
      SetDroppedDown(true);
    }
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomComboBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FButtonDown) {
    FButtonDown = false;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomComboBox::MouseCaptureLost() {
  FButtonDown = false;
  Invalidate();
}

void TCustomComboBox::FocusGained() { Invalidate(); }

void TCustomComboBox::FocusLost() {
  CloseList(false);
  Invalidate();
}

void TCustomComboBox::ColorChanged() {
  TCustomControl::ColorChanged();
  UpdateEditLook();
  SyncSimpleList();
}

void TCustomComboBox::FontChanged() {
  TCustomControl::FontChanged();
  FItemHeight = FontCellHeight(Font());
  UpdateEditLook();
  SyncSimpleList();
  // A csSimple box keeps its height; its edit row follows the font.
  if (FStyle == csSimple)
    PlaceWidgets();
  else
    SetHeight(FItemHeight + 8);
}

void TCustomComboBox::EnabledChanged() {
  TCustomControl::EnabledChanged();
  if (!Enabled()) CloseList(false);
  UpdateEditLook();
  SyncSimpleList();
}

// ---------------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  // The click comes from the release (or the space key); a double click is
  // another press, as the classic buttons take it.
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csOpaque});
  SetTabStop(true);
}

void TButtonControl::SetPressed(bool value) {
  if (value == FPressed) return;
  FPressed = value;
  Notify(TControlMessage::StateChanged);
  Invalidate();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (!Focused() && CanFocus()) SetFocus();
    FMouseDown = true;
    SetPressed(true);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (FMouseDown) SetPressed(ClientRect().Contains({X, Y}));
  TCustomControl::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FMouseDown) {
    FMouseDown = false;
    const bool inside = ClientRect().Contains({X, Y});
    SetPressed(false);
    if (inside) Activate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::MouseCaptureLost() {
  FMouseDown = false;
  SetPressed(FSpaceDown);
}

void TButtonControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE && Shift.Empty()) {
    FSpaceDown = true;  // a held key repeats: the button stays down
    SetPressed(true);
  }
}

void TButtonControl::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key == VK_SPACE && FSpaceDown) {
    FSpaceDown = false;
    SetPressed(FMouseDown);
    if (!FMouseDown) Activate();
  }
}

void TButtonControl::FocusGained() { Invalidate(); }

void TButtonControl::FocusLost() {
  FSpaceDown = false;
  SetPressed(FMouseDown);
  Invalidate();
}

void TButtonControl::PaintGlyphAndCaption(TAlignment alignment, const std::function<void(const TRect&)>& glyph) {
  constexpr int kGlyph = 13, kGap = 4;
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(client);
  const int top = (client.Height() - kGlyph) / 2;
  const bool boxLeft = alignment != taLeftJustify;
  const TRect box = boxLeft ? Bounds(0, top, kGlyph, kGlyph) : Bounds(client.Right - kGlyph, top, kGlyph, kGlyph);
  glyph(box);
  const TRect area = boxLeft ? TRect{kGlyph + kGap, 0, client.Right, client.Bottom}
                             : TRect{0, 0, std::max(0, client.Right - kGlyph - kGap), client.Bottom};
  c->Font = Font();
  TRect text = area;
  c->DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  const int height = text.Height();
  text = TRect{area.Left, (client.Height() - height) / 2, std::min(area.Right, area.Left + text.Width()),
               (client.Height() - height) / 2 + height};
  DrawCaption(c, Caption(), text, DT_SINGLELINE, Enabled());
  if (Focused() && !Caption().empty()) {
    TRect focus = text;
    InflateRect(focus, 1, 1);
    IntersectRect(focus, focus, client);
    c->DrawFocusRect(focus);
  }
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  Invalidate();
}

bool TButton::Active() const {
  const TForm* form = GetParentForm(this);
  const TWinControl* focus = form ? form->ActiveControl() : nullptr;
  if (focus == this) return true;
  return FDefault && !dynamic_cast<const TButton*>(focus);
}

void TButton::Click() {
  if (FModalResult != TModalResult::mrNone)
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

bool TButton::DialogKey(WORD Key, TShiftState Shift) {
  if (Shift.Empty() && CanFocus() && ((Key == VK_RETURN && Active()) || (Key == VK_ESCAPE && FCancel))) {
    Click();
    return true;
  }
  return false;
}

bool TButton::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !CanFocus()) return false;
  Click();
  return true;
}

void TButton::FocusGained() {
  TButtonControl::FocusGained();
  RepaintButtons();
}

void TButton::FocusLost() {
  TButtonControl::FocusLost();
  RepaintButtons();
}

void TButton::RepaintButtons() {
  // Which button answers Enter follows the focus: every button of the form
  // may change its frame.
  TForm* form = GetParentForm(this);
  if (!form) return;
  std::vector<TWinControl*> todo{form};
  while (!todo.empty()) {
    TWinControl* w = todo.back();
    todo.pop_back();
    for (int i = 0; i < w->ControlCount(); ++i) {
      if (auto* b = dynamic_cast<TButton*>(w->Controls(i))) b->Invalidate();
      if (auto* inner = dynamic_cast<TWinControl*>(w->Controls(i))) todo.push_back(inner);
    }
  }
}

void TButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (Active() && Enabled()) {
    c->Brush = TBrush{clWindowFrame, bsSolid};
    c->FrameRect(r);
    InflateRect(r, -1, -1);
  }
  if (Pressed()) {
    c->Brush = TBrush{clBtnShadow, bsSolid};
    c->FrameRect(r);
    InflateRect(r, -1, -1);
    c->Brush.Color = clBtnFace;
    c->FillRect(r);
  } else {
    c->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
  TRect text = ClientRect();
  if (Pressed()) OffsetRect(text, 1, 1);
  c->Font = Font();
  DrawCaption(c, Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled());
  if (Focused()) {
    TRect focus = ClientRect();
    InflateRect(focus, -4, -4);
    c->DrawFocusRect(focus);
  }
}

// ---------------------------------------------------------------- TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  Notify(TControlMessage::StateChanged);
  Invalidate();
  Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

bool TCustomCheckBox::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !CanFocus()) return false;
  SetFocus();
  if (Focused()) Toggle();
  return true;
}

void TCustomCheckBox::Paint() {
  PaintGlyphAndCaption(FAlignment, [this](const TRect& box) {
    unsigned state = DFCS_BUTTONCHECK;
    if (FState != cbUnchecked) state |= DFCS_CHECKED;
    if (FState == cbGrayed || !Enabled()) state |= DFCS_INACTIVE;
    if (Pressed()) state |= DFCS_PUSHED;
    Canvas()->DrawFrameControl(box, DFC_BUTTON, state);
  });
}

// ---------------------------------------------------------------- TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetTabStop(false);
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  SetTabStop(value);
  Notify(TControlMessage::StateChanged);
  Invalidate();
  if (!value) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  Click();
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TRadioButton::KeyDown(WORD& Key, TShiftState Shift) {
  TButtonControl::KeyDown(Key, Shift);
  if (Key < VK_LEFT || Key > VK_DOWN || !Shift.Empty() || !Parent()) return;
  // The arrows go round the group, checking as they go.
  std::vector<TRadioButton*> group;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && (r == this || r->CanFocus()))
      group.push_back(r);
  const auto at = std::find(group.begin(), group.end(), this) - group.begin();
  const auto n = static_cast<std::ptrdiff_t>(group.size());
  const auto next = (at + (Key == VK_RIGHT || Key == VK_DOWN ? 1 : n - 1)) % n;
  Key = 0;
  TRadioButton* target = group[static_cast<size_t>(next)];
  if (target == this) return;
  target->SetFocus();
  target->SetChecked(true);
}

bool TRadioButton::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !CanFocus()) return false;
  SetFocus();
  if (Focused()) SetChecked(true);
  return true;
}

void TRadioButton::Paint() {
  PaintGlyphAndCaption(FAlignment, [this](const TRect& box) {
    // The classic round button: two rings lit from the top left, the inside
    // white (face-coloured while pressed or disabled), a round dot when checked.
    static const char* const kShape[12] = {
        "....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.", "oiwwwwwwwwio", "oiwwwwwwwwio",
        "oiwwwwwwwwio", "oiwwwwwwwwio", ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo....",
    };
    static const char* const kDot[4] = {".XX.", "XXXX", "XXXX", ".XX."};
    TCanvas* c = Canvas();
    const TColor inside = Pressed() || !Enabled() ? clBtnFace : clWindow;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool lit = x + y > 10;
        switch (kShape[y][x]) {
          case 'o': c->SetPixels(box.Left + x, box.Top + y, lit ? clBtnHighlight : clBtnShadow); break;
          case 'i': c->SetPixels(box.Left + x, box.Top + y, lit ? cl3DLight : cl3DDkShadow); break;
          case 'w': c->SetPixels(box.Left + x, box.Top + y, inside); break;
          default: break;
        }
      }
    if (!FChecked) return;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        if (kDot[y][x] == 'X')
          c->SetPixels(box.Left + 4 + x, box.Top + 4 + y, Enabled() ? clWindowText : clGrayText);
  });
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(ClientRect());
  c->Font = Font();
  const int h = c->TextHeight("0");
  // The etched line: a highlight one pixel right and down of the shadow.
  c->Brush.Color = clBtnHighlight;
  c->FrameRect(TRect{1, h / 2, Width(), Height()});
  c->Brush.Color = clBtnShadow;
  c->FrameRect(TRect{0, h / 2 - 1, Width() - 1, Height() - 1});
  if (Caption().empty()) return;
  TRect text{8, 0, 8, h};
  c->DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  c->Brush = TBrush{Color(), bsSolid};
  c->DrawText(Caption(), text, DT_SINGLELINE);
}

void TGroupBox::AlignControls(TRect& rect) {
  TCanvas measure;
  measure.Font = Font();
  rect.Top += measure.TextHeight("0");
  InflateRect(rect, -2, -2);
  TCustomControl::AlignControls(rect);
}

bool TGroupBox::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !CanFocus()) return false;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->TabStop() && w->CanFocus()) {
      w->SetFocus();
      break;
    }
  return true;
}

// ---------------------------------------------------------------- TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner),
      FItems(std::make_unique<TItemList>([this] { return FSorted; },
                                          [this](int index, int delta) { ItemsChanged(index, delta); })),
      FRows(std::make_unique<TItemRows>(this, [this] { return FItems->Count(); }, [this](int) { return FItemHeight; })) {
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque});
  SetColor(clWindow);
  SetTabStop(true);
  UpdateFrame();
  SetBounds(0, 0, 121, 97);
  FontChanged();
}

TCustomListBox::~TCustomListBox() = default;

TStrings& TCustomListBox::Items() { return *FItems; }
const TStrings& TCustomListBox::Items() const { return *FItems; }

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= FItems->Count()) index = -1;
  FItemIndex = index;
  FRows->SetIndex(index);
  if (index >= 0) FRows->MakeVisible(index);
  Invalidate();
}

int TCustomListBox::TopIndex() const { return FRows->Top(); }
void TCustomListBox::SetTopIndex(int index) { FRows->SetTop(index); }

void TCustomListBox::SetItemHeight(int value) {
  FItemHeight = std::max(1, value);
  SizeChanged();
}

void TCustomListBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  if (!value) return;
  FItemIndex = FItems->Sort(FItemIndex);
  FRows->SetIndex(FItemIndex);
  Invalidate();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  FBorderStyle = value == bsNone ? bsNone : bsSingle;
  UpdateFrame();
}

void TCustomListBox::SetCtl3D(bool value) {
  FCtl3D = value;
  UpdateFrame();
}

void TCustomListBox::UpdateFrame() {
  SetFrameWidth(FBorderStyle == bsNone ? 0 : FCtl3D ? 2 : 1);
  InvalidateFrame();
  SizeChanged();
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  const int index = FRows->ItemAt(p);
  if (index >= 0 || existing || !ClientRect().Contains(p)) return index;
  return FItems->Count();
}

TRect TCustomListBox::ItemRect(int index) const { return FRows->ItemRect(index); }

void TCustomListBox::ItemsChanged(int index, int delta) {
  FItemIndex = FollowChange(FItemIndex, index, delta);
  FRows->SetIndex(FItemIndex);
  SizeChanged();
}

void TCustomListBox::SizeChanged() {
  TCustomControl::SizeChanged();
  if (!FRows) return;
  // The bar takes room from the rows, so it is settled first.
  ShowScrollBar(sbVertical, FRows->Overflows());
  FRows->Sync();
  Invalidate();
}

void TCustomListBox::FontChanged() {
  TCustomControl::FontChanged();
  SetItemHeight(FontCellHeight(Font()));
}

void TCustomListBox::UserSelect(int index) {
  if (index < 0 || index >= FItems->Count()) return;
  const bool changed = index != FItemIndex;
  SetItemIndex(index);
  if (changed) Click();
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState) {
  DrawTextRow(Canvas(), FItems->Get(Index), Rect);
}

void TCustomListBox::Paint() {
  TCanvas* c = Canvas();
  const bool focused = Focused();
  FRows->Paint(c, Color(), [&](int i, const TRect& r) {
    const TOwnerDrawState state = ItemState(i == FItemIndex, focused && i == FItemIndex);
    PrepareRow(c, Font(), Color(), state);
    if (!Enabled()) c->Font.SetColor(clGrayText);
    DrawItem(i, r, state);
    if (state.Contains(odFocused)) c->DrawFocusRect(r);
  });
}

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int count = FItems->Count();
  if (!Key || count == 0) return;
  const int page = FRows->Rows() - 1;
  int target;
  switch (Key) {
    case VK_UP: target = FItemIndex - 1; break;
    case VK_DOWN: target = FItemIndex + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_PRIOR: target = FItemIndex - std::max(1, page); break;
    case VK_NEXT: target = FItemIndex + std::max(1, page); break;
    default: return;
  }
  Key = 0;
  UserSelect(std::clamp(target, 0, count - 1));
}

void TCustomListBox::KeyPress(TKeyChar& Key) {
  TCustomControl::KeyPress(Key);
  if (Key < ' ') return;
  const int i = FItems->FindPrefix(QString::fromUcs4(&Key, 1), FItemIndex);
  Key = 0;
  if (i >= 0) UserSelect(i);
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (!Focused() && CanFocus()) SetFocus();
    UserSelect(FRows->ItemAt({X, Y}));
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft) && MouseCapture()) UserSelect(FRows->ItemAt({X, Y}));
}

bool TCustomListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  FRows->Wheel(WheelDelta);
  return true;
}

void TCustomListBox::ScrollMessage(TScrollBarKind, int code, int trackPos) { FRows->ScrollMessage(code, trackPos); }

void TCustomListBox::FocusGained() { Invalidate(); }
void TCustomListBox::FocusLost() { Invalidate(); }
