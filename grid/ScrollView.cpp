#include "grid/ScrollView.h"

#include "grid/FlyoutControl.h"
#include "grid/SharedCommon.h"
#include "ui/Bitmap.h"
#include "ui/Forms.h"
#include "ui/Resources.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The pointer within this many pixels of the press point does not roll.
constexpr int kRollDeadBand = 5;
constexpr int kSlowestRollInterval = 100;

/** A roll cursor: the centre dot, with the arrow heads asked for, in black
 *  outlined white so that it shows on any background. */
TResourceDrawer RollCursorDrawer(bool up, bool down) {
  return CursorDrawer(
      [up, down](TCanvas* c) {
        if (up) c->Polygon({{16, 3}, {24, 11}, {8, 11}});
        if (down) c->Polygon({{16, 29}, {24, 21}, {8, 21}});
        c->Ellipse(13, 13, 20, 20);
      },
      {16, 16});
}

}  // namespace

void RegisterRollCursors() {
  static const bool drawn = [] {
    RegisterResource("ROLL", RollCursorDrawer(true, true));
    RegisterResource("ROLLUP", RollCursorDrawer(true, false));
    RegisterResource("ROLLDOWN", RollCursorDrawer(false, true));
    return true;
  }();
  (void)drawn;
  LoadCursorResource("ROLL", crRoll);
  LoadCursorResource("ROLLUP", crRollUp);
  LoadCursorResource("ROLLDOWN", crRollDown);
}

// ---------------------------------------------------------------- TWheelNotches

int TWheelNotches::Add(int Delta) {
  constexpr int kNotch = 120;
  if ((Delta > 0 && FRest < 0) || (Delta < 0 && FRest > 0)) FRest = 0;
  FRest += Delta;
  const int notches = FRest / kNotch;
  FRest -= notches * kNotch;
  return notches;
}

// ---------------------------------------------------------------- TControlScrollBar

TControlScrollBar::TControlScrollBar(TScrollView* Owner, TScrollBarKind Kind) : FOwner(Owner), FKind(Kind) {}

void TControlScrollBar::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateBar();
}

void TControlScrollBar::SetMax(int Value) {
  FMax = std::max(0, Value);
  UpdateBar();
  if (FPosition > FMax) SetPosition(FMax);
}

void TControlScrollBar::SetMin(int Value) {
  FMin = std::max(0, Value);
  UpdateBar();
  if (FPosition < FMin) SetPosition(FMin);
}

void TControlScrollBar::SetPageSize(int Value) {
  FPageSize = Value;
  UpdateBar();
}

void TControlScrollBar::SetVisible(bool Value) {
  FVisible = Value;
  FOwner->ShowScrollBar(FKind, Value);
}

void TControlScrollBar::SetPosition(int Value) {
  FOldPosition = FPosition;
  FPosition = std::max(std::min(Value, FMax), FMin);
  UpdateBar();
  FOwner->ScrollBarPositionChanged(FKind);
  if (FNoContentScroll || FPosition == FOldPosition) return;
  if (FMax == 0) {
    // Pulled back by a range that shrank to nothing: the content cannot be
    // moved by a delta any more, so it is painted anew.
    FOwner->Invalidate();
    return;
  }
  if (FKind == sbHorizontal)
    FOwner->ScrollContent(FOwner->GetHorzDelta(FOldPosition, FPosition), 0);
  else
    FOwner->ScrollContent(0, FOwner->GetVertDelta(FOldPosition, FPosition));
}

void TControlScrollBar::SetParams(int Position, int Min, int Max, int PageSize, bool Enabled, bool Visible) {
  FLocked = true;
  try {
    SetEnabled(Enabled);
    SetMax(Max);
    SetMin(Min);
    SetPageSize(PageSize);
    SetPosition(Position);
    if (Visible != FVisible) SetVisible(Visible);
  } catch (...) {
    FLocked = false;
    throw;
  }
  FLocked = false;
  UpdateBar();
}

void TControlScrollBar::Send(int code) {
  if (FMax >= 1) FOwner->PerformScroll(FKind, code);
}

void TControlScrollBar::LineDown() { Send(SB_LINEDOWN); }
void TControlScrollBar::LineUp() { Send(SB_LINEUP); }
void TControlScrollBar::PageDown() { Send(SB_PAGEDOWN); }
void TControlScrollBar::PageUp() { Send(SB_PAGEUP); }

void TControlScrollBar::UpdateBar() {
  if (FLocked) return;
  FUpdating = true;
  FOwner->ApplyBarSettings(*this);
  FUpdating = false;
}

// ---------------------------------------------------------------- TCustomScrollView

TCustomScrollView::TCustomScrollView(TComponent* AOwner) : TCustomControl(AOwner) {}

int TCustomScrollView::GetHorzDelta(int, int) const { return 0; }
int TCustomScrollView::GetVertDelta(int, int) const { return 0; }

void TCustomScrollView::ScrollContent(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  TRect clip = dx != 0 ? FHorzScrollRect : FVertScrollRect;
  if (clip.IsEmpty()) clip = ClientRect();
  ScrollWindow(dx, dy, clip);
}

// ---------------------------------------------------------------- TScrollView

TScrollView::TScrollView(TComponent* AOwner) : TCustomScrollView(AOwner) {
  // The content covers the whole window: the background is never erased.
  SetControlStyle(ControlStyle() << csOpaque);
  FHorzScrollBar = std::make_unique<TControlScrollBar>(this, sbHorizontal);
  FVertScrollBar = std::make_unique<TControlScrollBar>(this, sbVertical);
  FRollMarker = std::make_unique<TRollShadow>(nullptr);
  FRollTimer = std::make_unique<TTimer>(nullptr);
  FRollTimer->SetEnabled(false);
  FRollTimer->SetInterval(1);
  FRollTimer->OnTimer = [this](TObject*) { RollTick(); };
  RegisterRollCursors();
  // The window has both bars from the start.
  ShowScrollBar(sbVertical, true);
  ShowScrollBar(sbHorizontal, true);
  FVertScrollBar->UpdateBar();
  FHorzScrollBar->UpdateBar();
}

TScrollView::~TScrollView() {
  FRollMarker.reset();
  FRollTimer.reset();
  FHorzScrollBar.reset();
  FVertScrollBar.reset();
}

void TScrollView::ApplyBarSettings(const TControlScrollBar& Bar) {
  SetScrollInfo(Bar.Kind(), TScrollInfo{Bar.Min(), Bar.Max(), Bar.PageSize(), Bar.Position()});
  EnableScrollBar(Bar.Kind(), Bar.Enabled());
}

void TScrollView::ScrollMessage(TScrollBarKind Kind, int Code, int TrackPos) {
  TCustomScrollView::ScrollMessage(Kind, Code, TrackPos);
  TControlScrollBar* bar = Kind == sbHorizontal ? FHorzScrollBar.get() : FVertScrollBar.get();
  if (Code >= SB_LINEUP && Code <= SB_BOTTOM) {
    bar->FLastScrollKind = static_cast<std::uint8_t>(Code / 2 + 1);
    int position = bar->Position();
    switch (Code) {
      case SB_LINEUP: position -= bar->LineStep(); break;
      case SB_LINEDOWN: position += bar->LineStep(); break;
      case SB_PAGEUP: position -= bar->PageStep(); break;
      case SB_PAGEDOWN: position += bar->PageStep(); break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: position = TrackPos; break;
      case SB_TOP: position = 0; break;
      case SB_BOTTOM: position = bar->Max(); break;
      default: break;
    }
    bar->SetPosition(position);
  }
  ShowScrollBar(Kind, bar->Visible());
  const TScrollEvent& event = Kind == sbHorizontal ? OnHorizontalScroll : OnVerticalScroll;
  if (event) event(this, bar->Position());
}

// Roll scrolling ---------------------------------------------------------------

void TScrollView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomScrollView::MouseDown(Button, Shift, X, Y);
  if (Button != mbMiddle || !FRollEnabled) return;
  FRolling = true;
  FRollUp = FRollDown = false;
  FRollOrigin = {X, Y};
  FRollMarker->FloatOver(this);
  FRollMarker->SetCursor(crRoll);
  FRollMarker->PlaceAt(ClientToScreen(FRollOrigin));
  FRollMarker->Show();
  FRollTimer->SetInterval(1);
  FRollTimer->SetEnabled(true);
  SetMouseCapture(true);
}

void TScrollView::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomScrollView::MouseMove(Shift, X, Y);
  if (!FRolling) return;
  FRollUp = FRollDown = false;
  const int d = Y - FRollOrigin.Y;
  if (d < -kRollDeadBand) {
    Screen->SetCursor(crRollUp);
    FRollUp = true;
  } else if (d > kRollDeadBand) {
    Screen->SetCursor(crRollDown);
    FRollDown = true;
  } else {
    Screen->SetCursor(crRoll);
  }
  FRollMarker->SetCursor(Screen->Cursor());
}

void TScrollView::RollTick() {
  if (!FRolling) return;
  const int d = std::abs(ScreenToClient(Screen->CursorPos()).Y - FRollOrigin.Y);
  FRollTimer->SetInterval(static_cast<unsigned>(std::max(1, kSlowestRollInterval - d)));
  if (FRollUp) FVertScrollBar->LineUp();
  if (FRollDown) FVertScrollBar->LineDown();
}

void TScrollView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomScrollView::MouseUp(Button, Shift, X, Y);
  if (FRolling) {
    EndRoll();
    SetMouseCapture(false);
  }
}

void TScrollView::EndRoll() {
  if (!FRolling) return;
  FRollTimer->SetEnabled(false);
  FRolling = FRollUp = FRollDown = false;
  FRollMarker->Hide();
  Screen->SetCursor(crDefault);
}

// Rolling must not outlive the mouse: a lost capture, a deactivated window or
// a hidden control ends it as a release would.
void TScrollView::MouseCaptureLost() {
  TCustomScrollView::MouseCaptureLost();
  EndRoll();
}

void TScrollView::VisibleChanged() {
  TCustomScrollView::VisibleChanged();
  if (!Visible()) EndRoll();
}
