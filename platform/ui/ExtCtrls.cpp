#include "ui/ExtCtrls.h"

#include "core/Exception.h"
#include "ui/QtConvert.h"

#include <QPainter>
#include <QTimer>

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FTimer(std::make_unique<QTimer>()) {
  QObject::connect(FTimer.get(), &QTimer::timeout, [this] { RunGuarded([this] { Timer(); }); });
  Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  Update();
}

void TTimer::Update() {
  FTimer->stop();
  if (FEnabled && FInterval > 0) FTimer->start(static_cast<int>(FInterval));
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

// ---------------------------------------------------------------- TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetColor(clBtnFace);
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
  FBevelOuter = value;
  Changed();
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
  FBevelInner = value;
  Changed();
}

void TCustomPanel::SetBevelWidth(int value) {
  FBevelWidth = std::max(1, value);
  Changed();
}

void TCustomPanel::SetBorderWidth(int value) {
  FBorderWidth = std::max(0, value);
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  SetFrameWidth(value == bsSingle ? 2 : 0);
}

void TCustomPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Invalidate();
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

int TCustomPanel::Inset() const {
  return FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

void TCustomPanel::AlignControls(TRect& rect) {
  InflateRect(rect, -Inset(), -Inset());
  TCustomControl::AlignControls(rect);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  // A lowered bevel is shadow over highlight, any other highlight over shadow.
  auto bevel = [&](TPanelBevel b) {
    for (int i = 0; i < FBevelWidth; ++i) c->DrawEdge(r, b == bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  };
  if (FBevelOuter != bvNone) bevel(FBevelOuter);
  c->Brush = TBrush{Color(), bsSolid};
  for (int i = 0; i < FBorderWidth; ++i) {
    c->FrameRect(r);
    InflateRect(r, -1, -1);
  }
  if (FBevelInner != bvNone) bevel(FBevelInner);
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(r);
  if (Caption().empty()) return;
  c->Font = Font();
  c->Brush.Style = bsClear;
  const int h = c->TextHeight("W");
  TRect text{r.Left, (r.Top + r.Bottom - h) / 2, r.Right, (r.Top + r.Bottom - h) / 2 + h};
  c->DrawText(Caption(), text,
              FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
}

// ---------------------------------------------------------------- TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse});
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const {
  const TWinControl* parent = Parent();
  if (!parent) return nullptr;
  // The point just outside the side the splitter is aligned to.
  TPoint at{Left(), Top()};
  switch (Align()) {
    case alLeft: --at.X; break;
    case alRight: at.X += Width(); break;
    case alTop: --at.Y; break;
    case alBottom: at.Y += Height(); break;
    default: return nullptr;
  }
  const bool before = Align() == alLeft || Align() == alTop;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    // A collapsed neighbour is still found.
    if (r.Width() == 0) {
      if (before)
        --r.Left;
      else
        ++r.Right;
    }
    if (r.Height() == 0) {
      if (before)
        --r.Top;
      else
        ++r.Bottom;
    }
    if (r.Contains(at)) return c;
  }
  return nullptr;
}

int TSplitter::NeighbourSize() const { return Horizontal() ? FControl->Width() : FControl->Height(); }

void TSplitter::CalcSplitSize(int X, int Y, int& newSize, int& split) const {
  const int moved = Horizontal() ? X - FDownPos.X : Y - FDownPos.Y;
  const int size = NeighbourSize();
  const bool before = Align() == alLeft || Align() == alTop;
  const int wanted = before ? size + moved : size - moved;
  const TSizeConstraints& k = FControl->Constraints();
  const int least = std::max(FMinSize, Horizontal() ? k.MinWidth : k.MinHeight);
  const int most = Horizontal() ? k.MaxWidth : k.MaxHeight;
  const int upper = most > 0 ? std::min(FMaxSize, most) : FMaxSize;
  newSize = wanted < least ? least : wanted > upper ? upper : wanted;
  split = before ? newSize - size : size - newSize;
}

int SplitterRoom(const TWinControl* parent, bool horizontal, int minSize) {
  int room = (horizontal ? parent->ClientWidth() : parent->ClientHeight()) - minSize;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    const TControl* c = parent->Controls(i);
    if (!c->Visible()) continue;
    if (horizontal && (c->Align() == alLeft || c->Align() == alRight)) room -= c->Width();
    if (!horizontal && (c->Align() == alTop || c->Align() == alBottom)) room -= c->Height();
  }
  return room;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = FindControl();
  FDownPos = {X, Y};
  if (!FControl) return;
  FMaxSize = SplitterRoom(Parent(), Horizontal(), FMinSize) + NeighbourSize();
  CalcSplitSize(X, Y, FNewSize, FSplit);
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl || !Shift.Contains(ssLeft)) return;
  int newSize = 0, split = 0;
  CalcSplitSize(X, Y, newSize, split);
  const TSizeConstraints& k = FControl->Constraints();
  if (FAutoSnap && newSize <= FMinSize && (Horizontal() ? k.MinWidth : k.MinHeight) == 0) {
    const bool before = Align() == alLeft || Align() == alTop;
    split += before ? -newSize : newSize;
    newSize = 0;
  }
  if (newSize == FNewSize && split == FSplit) return;
  if (FLineVisible) DrawLine();
  FNewSize = newSize;
  FSplit = split;
  if (FResizeStyle == rsUpdate) UpdateControlSize();
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FControl || Button != mbLeft) return;
  if (FLineVisible) DrawLine();
  UpdateControlSize();
  StopSizing();
}

void TSplitter::MouseCaptureLost() {
  if (!FControl) return;
  if (FLineVisible) DrawLine();
  StopSizing();
}

void TSplitter::DrawLine() {
  FLineVisible = !FLineVisible;
  TRect r = BoundsRect();
  if (Horizontal())
    OffsetRect(r, FSplit, 0);
  else
    OffsetRect(r, 0, FSplit);
  if (TWinControl* parent = Parent()) parent->InvertRect(r, FResizeStyle == rsPattern);
}

void TSplitter::UpdateControlSize() {
  if (FNewSize == NeighbourSize()) return;
  TControl* c = FControl;
  switch (Align()) {
    case alLeft: c->SetWidth(FNewSize); break;
    case alTop: c->SetHeight(FNewSize); break;
    case alRight: c->SetBounds(c->Left() + c->Width() - FNewSize, c->Top(), FNewSize, c->Height()); break;
    case alBottom: c->SetBounds(c->Left(), c->Top() + c->Height() - FNewSize, c->Width(), FNewSize); break;
    default: return;
  }
  // The splitter moved with the neighbour's edge: the line starts from there.
  FSplit = 0;
  if (OnMoved) OnMoved(this);
}

void TSplitter::StopSizing() {
  FControl = nullptr;
  FLineVisible = false;
}

void TSplitter::UpdateCursor() {
  if (Cursor() == crHSplit || Cursor() == crVSplit) SetCursor(Horizontal() ? crHSplit : crVSplit);
}

void TSplitter::MouseEnter() {
  UpdateCursor();
  TGraphicControl::MouseEnter();
}

void TSplitter::SizeChanged() {
  TGraphicControl::SizeChanged();
  UpdateCursor();
}

void TSplitter::Paint() {
  Canvas()->Brush = TBrush{Color(), bsSolid};
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------- TPicture, TImage

void TPicture::LoadFromFile(const std::string& fileName) {
  QImage image;
  if (!image.load(ToQString(fileName))) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  SetImage(image);
}

void TPicture::SetImage(const QImage& image) {
  FImage = image;
  if (OnChange) OnChange();
}

void TPicture::Clear() { SetImage(QImage()); }

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  FPicture.OnChange = [this] { Changed(); };
  SetBounds(0, 0, 105, 105);
}

void TImage::SetStretch(bool value) {
  FStretch = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  FCenter = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  FProportional = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

void TImage::Changed() {
  const QImage& source = FPicture.Image();
  FDrawn = source.isNull() ? QImage() : source.convertToFormat(QImage::Format_ARGB32);
  if (FTransparent && !FDrawn.isNull() && !source.hasAlphaChannel()) {
    const QRgb key = FDrawn.pixel(0, FDrawn.height() - 1) & 0xFFFFFFu;
    for (int y = 0; y < FDrawn.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(FDrawn.scanLine(y));
      for (int x = 0; x < FDrawn.width(); ++x)
        if ((line[x] & 0xFFFFFFu) == key) line[x] = 0;
    }
  }
  Invalidate();
}

TRect TImage::DestRect() const {
  int w = FPicture.Width(), h = FPicture.Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // The longer side fills the control; the other follows the picture's proportions.
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  QImage* target = Canvas()->Target();
  if (FDrawn.isNull() || !target) return;
  const TRect dest = DestRect();
  if (dest.IsEmpty()) return;
  QPainter p(target);
  p.setClipRect(ToQRect(Canvas()->ClipRect()));
  p.drawImage(ToQRect(dest), FDrawn);
}
