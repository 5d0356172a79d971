#include "components/GradPageControl.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int kTabImageSize = 5;   // the private image list before margins, images and caps
constexpr int kBitmapCaps = 15;    // room for a tab bitmap's two ends
constexpr int kCloseRoom = 13;     // the close button's room in the caption area
constexpr int kContentPadding = 4; // inside a tab's edges, before and after its content

void Fill(TCanvas* c, const TRect& r, TColor color) {
  c->Brush = TBrush{color, bsSolid};
  c->FillRect(r);
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color) {
  c->Pen = TPen{color};
  c->MoveTo(x1, y1);
  c->LineTo(x2, y2);
}

/** Text turned a quarter round, reading upwards or downwards, with the
 *  top-left corner of its turned box at (x, y). */
void TextOutTurned(TCanvas* c, int x, int y, const std::string& text, bool upwards) {
  TRect ext{0, 0, 0, 0};
  c->DrawText(text, ext, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (ext.IsEmpty()) return;
  const TColor ink = ColorToRGB(c->Font.Color());
  const TColor key = ink == clWhite ? clBlack : clWhite;
  TBitmap flat(ext.Width(), ext.Height());
  Fill(flat.Canvas(), ext, key);
  flat.Canvas()->Font = c->Font;
  flat.Canvas()->Brush.Style = bsClear;
  flat.Canvas()->DrawText(text, ext, DT_SINGLELINE | DT_NOPREFIX);
  const int w = ext.Width(), h = ext.Height();
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      const TColor p = flat.Canvas()->Pixels(px, py);
      if (p == key) continue;
      // Upwards: the text's left end lies at the bottom.
      if (upwards)
        c->SetPixels(x + py, y + w - 1 - px, p);
      else
        c->SetPixels(x + h - 1 - py, y + px, p);
    }
}

/** Columns (or rows) [from, to) of source as a bitmap of their own. */
void CopyPart(const TBitmap& source, TBitmap& part, const TRect& r) {
  part.SetSize(r.Width(), r.Height());
  part.Canvas()->CopyRect({0, 0, r.Width(), r.Height()}, *const_cast<TBitmap&>(source).Canvas(), r);
  part.SetTransparent(true);
  part.SetTransparentColor(source.EffectiveTransparentColor());
}

}  // namespace

void DrawTabGradient(TCanvas* c, const TRect& r, TColor from, TColor to, TGradientDirection direction) {
  if (r.IsEmpty()) return;
  const TColor a = ColorToRGB(from), b = ColorToRGB(to);
  const int extent = direction == gdVertical ? r.Height() : r.Width();
  const double size = extent / 16.0;
  const int len = static_cast<int>(std::lround(size)) + 1;  // the bands overlap by a pixel
  auto channel = [](int s, int e, int i) { return s + static_cast<int>(std::lround(i * (e - s) / 16.0)); };
  const TRect saved = c->HasClipRect() ? c->ClipRect() : TRect{};
  const bool clipped = c->HasClipRect();
  TRect clip = r;
  if (clipped) IntersectRect(clip, r, saved);
  c->SetClipRect(clip);
  for (int i = 0; i < 16; ++i) {
    const TColor color = RGB(channel(GetRValue(a), GetRValue(b), i), channel(GetGValue(a), GetGValue(b), i),
                             channel(GetBValue(a), GetBValue(b), i));
    const int start = static_cast<int>(std::lround(i * size));
    if (direction == gdVertical)
      Fill(c, {r.Left, r.Top + start, r.Right, r.Top + start + len}, color);
    else
      Fill(c, {r.Left + start, r.Top, r.Left + start + len, r.Bottom}, color);
  }
  if (clipped)
    c->SetClipRect(saved);
  else
    c->ResetClipRect();
}

// ---------------------------------------------------------------- TTabMargin

void TTabMargin::SetLeftMargin(TMarginSize value) {
  if (value == FLeft) return;
  if (OnMarginChange) OnMarginChange(this, value, FLeft, mkLeft);
  FLeft = value;
}

void TTabMargin::SetTopMargin(TMarginSize value) {
  if (value == FTop) return;
  if (OnMarginChange) OnMarginChange(this, value, FTop, mkTop);
  FTop = value;
}

void TTabMargin::Assign(const TTabMargin& source) {
  SetLeftMargin(source.FLeft);
  SetTopMargin(source.FTop);
}

// ---------------------------------------------------------------- TGradTabSheet

TGradTabSheet::TGradTabSheet(TComponent* AOwner) : TTabSheet(AOwner) {}

TGradTabSheet::~TGradTabSheet() {
  if (FClosedIn) FClosedIn->ForgetClosed(this);
}

void TGradTabSheet::SetParent(TWinControl* parent) {
  auto* pages = dynamic_cast<TGradPageControl*>(parent);
  if (pages && FClosedIn) FClosedIn->ForgetClosed(this);
  // A page joining takes the control's defaults where it has none of its own.
  if (pages && PageControl() != pages) {
    if (FTextColor == clBlack) FTextColor = pages->FDefaultTextColor;
    if (FTabColor == clNone) FTabColor = pages->FDefaultTabColor;
    if (FTabColorTo == clNone) FTabColorTo = pages->FDefaultTabColorTo;
  }
  TTabSheet::SetParent(parent);
}

void TGradTabSheet::Changed() {
  if (PageControl()) PageControl()->Invalidate();
}

void TGradTabSheet::SetShowClose(bool value) {
  if (value == FShowClose) return;
  FShowClose = value;
  Changed();
}

void TGradTabSheet::SetTabGradientDirection(TGradientDirection value) {
  FTabDirection = value;
  Changed();
}

void TGradTabSheet::SetHoverGradientDirection(TGradientDirection value) {
  FHoverDirection = value;
  Changed();
}

void TGradTabSheet::SetTextColor(TColor value) {
  FTextColor = value;
  Changed();
}

void TGradTabSheet::SetTabColor(TColor value) {
  FTabColor = value;
  Changed();
}

void TGradTabSheet::SetTabColorTo(TColor value) {
  FTabColorTo = value;
  Changed();
}

// ---------------------------------------------------------------- TGradPageControl

TGradPageControl::TGradPageControl(TComponent* AOwner) : TPageControl(AOwner) {
  Font().SetName("Tahoma");
  // Told before the new value is stored: the list is sized with it.
  FTabMargin.OnMarginChange = [this](TTabMargin*, int newValue, int, TTabMargin::TMarginKind which) {
    const bool left = which == TTabMargin::mkLeft;
    UpdateTabImages(TabImageSizeFor(left ? newValue : FTabMargin.LeftMargin(), left ? FTabMargin.TopMargin() : newValue));
  };
  UpdateTabImages(TabImageSize());
}

TGradPageControl::~TGradPageControl() {
  for (auto& closed : FClosed) closed.second->FClosedIn = nullptr;
  FClosed.clear();
}

void TGradPageControl::ClosePage(TTabSheet* page) {
  TTabSheet* next = FindNextPage(page, true, true);
  if (next == page) next = nullptr;
  auto* grad = dynamic_cast<TGradTabSheet*>(page);
  bool allow = true;
  if (grad && grad->OnCanClose) grad->OnCanClose(page, allow);
  if (!allow) return;
  if (grad && grad->OnClose) grad->OnClose(page);
  SetActivePage(next);
  if (page->PageControl() != this) return;  // the handler took it away already
  page->SetParent(nullptr);
  if (grad) {
    FClosed.emplace_back(page->Name(), grad);
    grad->FClosedIn = this;
  }
  Invalidate();
}

void TGradPageControl::ForgetClosed(TGradTabSheet* page) {
  FClosed.erase(std::remove_if(FClosed.begin(), FClosed.end(), [&](const auto& c) { return c.second == page; }),
                FClosed.end());
  page->FClosedIn = nullptr;
}

// Properties -------------------------------------------------------------------

void TGradPageControl::SetColour(TColor& field, TColor value) {
  if (field == value) return;
  field = value;
  Invalidate();
}

void TGradPageControl::SetDefaultTextColor(TColor value) {
  for (int i = 0; i < PageCount(); ++i)
    if (auto* p = dynamic_cast<TGradTabSheet*>(Pages(i)); p && p->FTextColor == FDefaultTextColor) p->FTextColor = value;
  SetColour(FDefaultTextColor, value);
}

void TGradPageControl::SetDefaultTabColor(TColor value) {
  for (int i = 0; i < PageCount(); ++i)
    if (auto* p = dynamic_cast<TGradTabSheet*>(Pages(i)); p && p->FTabColor == FDefaultTabColor) p->FTabColor = value;
  SetColour(FDefaultTabColor, value);
}

void TGradPageControl::SetDefaultTabColorTo(TColor value) {
  for (int i = 0; i < PageCount(); ++i)
    if (auto* p = dynamic_cast<TGradTabSheet*>(Pages(i)); p && p->FTabColorTo == FDefaultTabColorTo) p->FTabColorTo = value;
  SetColour(FDefaultTabColorTo, value);
}

void TGradPageControl::SetTabBorder3D(bool value) {
  if (value == FTabBorder3D) return;
  FTabBorder3D = value;
  UpdateTabImages(TabImageSize());
  Invalidate();
}

void TGradPageControl::SetTabSheet3D(bool value) {
  FTabSheet3D = value;
  Invalidate();
}

void TGradPageControl::TabBackGroundChanged() {
  UpdateTabImages(TabImageSize());
  Invalidate();
}

void TGradPageControl::SetTabOverlap(TTabOverlapSize value) {
  FTabOverlap = std::clamp(value, 0, 15);
  Invalidate();
}

void TGradPageControl::SetTabSplitLine(bool value) {
  if (value && FTabStyle == tsDotNet) throw Exception("TabSplitLine must be false when TabStyle is tsDotNet");
  FTabSplitLine = value;
  Invalidate();
}

void TGradPageControl::SetRoundEdges(bool value) {
  FRoundEdges = value;
  Invalidate();
}

void TGradPageControl::SetTabStyle(TTabStyle value) {
  FTabStyle = value;
  Invalidate();
}

void TGradPageControl::SetShowFocus(bool value) {
  FShowFocus = value;
  Invalidate();
}

void TGradPageControl::SetImages(TImageList* images) {
  if (images == FImages) return;
  FImages = images;
  UpdateTabImages(TabImageSize());
}

TSize TGradPageControl::TabImageSize() const { return TabImageSizeFor(FTabMargin.LeftMargin(), FTabMargin.TopMargin()); }

TSize TGradPageControl::TabImageSizeFor(int leftMargin, int topMargin) const {
  // Margins below 0 count as 0; a background bitmap needs room for its ends,
  // which lie along the tab: across the strip for tabs on the left or right.
  int w = kTabImageSize + std::max(0, leftMargin);
  int h = kTabImageSize + std::max(0, topMargin);
  if (FImages) w += FImages->Width();
  if (!FTabBackGround.Empty()) (Vertical() ? h : w) += kBitmapCaps;
  return {w, h};
}

void TGradPageControl::UpdateTabImages(TSize size) {
  if (FTabBorder3D) {
    TCustomTabControl::SetImages(FImages);
    FTabImages.reset();
    return;
  }
  if (FTabImages && FTabImages->Width() == size.cx && FTabImages->Height() == size.cy) return;
  auto list = std::make_unique<TImageList>(size.cx, size.cy);
  TCustomTabControl::SetImages(list.get());
  FTabImages = std::move(list);
}

// Geometry ---------------------------------------------------------------------

TRect TGradPageControl::TabPaintRect(int index) const { return index == TabIndex() ? DrawnTabRect(index) : TabRect(index); }

TRect TGradPageControl::CloseButtonRect() const {
  const auto* page = dynamic_cast<const TGradTabSheet*>(ActivePage());
  if (FTabBorder3D || !page || !page->FShowClose) return {};
  const int tab = page->TabIndex();
  if (tab < 0) return {};
  const TRect d = DrawnTabRect(tab);
  const int x = d.Left + FTabMargin.LeftMargin();
  if (TabPosition() == tpLeft) {
    // Captions read upwards here: the tab starts at its bottom.
    const int y = d.Bottom - FTabMargin.TopMargin();
    TRect r{x + 2, y - 13, x + 14, y - 2};
    if (!FTabBackGroundActive.Empty()) OffsetRect(r, 2, FTabOverlap);
    return r;
  }
  const int y = d.Top + FTabMargin.TopMargin();
  return {x + 2, y + 2, x + 14, y + 13};
}

TCloseButtonState TGradPageControl::CloseButtonState() const {
  // The state stays with the page it was taken on.
  if (FCloseOf != ActivePage()) return cbsNormal;
  return FClosePressed ? cbsPressed : FCloseHot ? cbsHot : cbsNormal;
}

// Mouse --------------------------------------------------------------------------

void TGradPageControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomTabControl::MouseMove(Shift, X, Y);
  if (FTabBorder3D || FTabHoverColor == clNone) return;
  const int tab = IndexOfTabAt(X, Y);
  if (tab != FHoverTab) {
    if (FTabBackGround.Empty()) {
      if (FHoverTab >= 0) InvalidateRect(TabPaintRect(FHoverTab));
      if (tab >= 0) InvalidateRect(TabPaintRect(tab));
    }
    FHoverTab = tab;
  }
  const TRect close = CloseButtonRect();
  const bool hot = close.Contains({X, Y});
  if (FCloseOf != ActivePage()) FCloseHot = FClosePressed = false;
  FCloseOf = ActivePage();
  if (hot != FCloseHot) {
    FCloseHot = hot;
    InvalidateRect(close);
  }
}

void TGradPageControl::MouseLeave() {
  TCustomTabControl::MouseLeave();
  if (FHoverTab >= 0) InvalidateRect(TabPaintRect(FHoverTab));
  FHoverTab = -1;
  if (FCloseHot) {
    FCloseHot = false;
    InvalidateRect(CloseButtonRect());
  }
}

TTabSheet* TGradPageControl::NewDockSheet() { return new TGradTabSheet(this); }

void TGradPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool onClose = Button == mbLeft && CloseButtonRect().Contains({X, Y});
  // The close button is no handle to drag a docked control by.
  if (onClose)
    TCustomTabControl::MouseDown(Button, Shift, X, Y);
  else
    TPageControl::MouseDown(Button, Shift, X, Y);
  if (onClose) {
    if (FCloseOf != ActivePage()) FCloseHot = false;
    FCloseOf = ActivePage();
    FClosePressed = true;
    InvalidateRect(CloseButtonRect());
  }
}

void TGradPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomTabControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const bool pressed = FClosePressed && FCloseOf == ActivePage();
  FClosePressed = false;
  if (!pressed) return;
  InvalidateRect(CloseButtonRect());
  if (CloseButtonRect().Contains({X, Y})) {
    FCloseHot = false;
    ClosePage(ActivePage());
  }
}

// Painting -----------------------------------------------------------------------

void TGradPageControl::Paint() {
  if (FTabBorder3D) {
    TCustomTabControl::Paint();
    return;
  }
  TCanvas* c = Canvas();
  c->Font = Font();
  PaintStrip(c);
  PaintSheetFrame(c);
  const int count = Tabs().Count(), active = TabIndex();
  for (int i = 0; i < count; ++i)
    if (i != active) PaintGradTab(c, i);
  if (active >= 0) PaintGradTab(c, active);
  if (FHoverTab >= 0 && FHoverTab != active && FHoverTab < count && FTabHoverBorder != clNone)
    PaintTabOutline(c, TabRect(FHoverTab), true, FTabHoverBorder, TabSide(FHoverTab));  // three sides in either style
  PaintCloseButton(c);
}

void TGradPageControl::PaintStrip(TCanvas* c) {
  PaintTabStrip();  // the parent's colour round the sheet
  const TRect f = PageFrameRect();
  const int w = ClientWidth();
  const int count = Tabs().Count();
  if (count == 0) return;
  // The strip of the tabs on each side they lie on.
  for (const bool near : {true, false}) {
    TRect strip;
    for (int i = 0; i < count; ++i) {
      if ((TabSide(i) == TabPosition()) != near) continue;
      const TRect t = TabRect(i);
      strip = strip.IsEmpty() ? t
                              : TRect{std::min(strip.Left, t.Left), std::min(strip.Top, t.Top),
                                      std::max(strip.Right, t.Right), std::max(strip.Bottom, t.Bottom)};
    }
    if (!strip.IsEmpty()) Fill(c, strip, FTabBackGroundColor);
  }
  if (MultiLine() || Vertical()) return;
  // The end of the strip gets a line along the sheet's edge.
  const int x = std::min(w - 35, TabRect(count - 1).Right);
  if (TabPosition() == tpTop)
    Line(c, x, f.Top - 1, w, f.Top - 1, clWhite);
  else
    Line(c, x, f.Bottom, w, f.Bottom, cl3DDkShadow);
}

void TGradPageControl::PaintSheetFrame(TCanvas* c) {
  const TRect f = PageFrameRect();
  if (FTabSheet3D) {
    PaintPageFrame(f);
  } else {
    Fill(c, f, Color());
    c->Brush = TBrush{FTabSheetBorderColor, bsSolid};
    c->FrameRect(f);
  }
  const int count = Tabs().Count();
  bool tabsOpposite = false;  // rows moved to the other side of the sheet
  if (!FTabSplitLine && count > 0) {
    // The tabs open into the sheet: the frame's side under them goes, on
    // each side with tabs, up to the end of its last tab.
    std::map<TTabPosition, int> end;
    for (int i = 0; i < count; ++i) {
      const TRect t = TabRect(i);
      end[TabSide(i)] = Vertical() ? t.Bottom : t.Right;
    }
    for (const auto& [side, last] : end) {
      tabsOpposite = tabsOpposite || side != TabPosition();
      switch (side) {
        case tpTop: Line(c, f.Left + 2, f.Top, last + FTabOverlap, f.Top, Color()); break;
        case tpBottom: Line(c, f.Left + 2, f.Bottom - 1, last + FTabOverlap, f.Bottom - 1, Color()); break;
        case tpLeft: Line(c, f.Left, f.Top + 2, f.Left, last + FTabOverlap, Color()); break;
        case tpRight: Line(c, f.Right - 1, f.Top + 2, f.Right - 1, last + FTabOverlap, Color()); break;
      }
    }
  }
  // The two corners away from the tabs are cut short, unless tabs lie there too.
  if (!FRoundEdges || tabsOpposite) return;
  const TColor border = FTabSheet3D ? clBtnShadow : FTabSheetBorderColor;
  auto cut = [&](int x, int y, int dx, int dy) {
    c->SetPixels(x, y, Color());
    c->SetPixels(x + dx, y, Color());
    c->SetPixels(x, y + dy, Color());
    c->SetPixels(x + dx, y + dy, border);
  };
  const int l = f.Left, t = f.Top, r = f.Right - 1, b = f.Bottom - 1;
  switch (TabPosition()) {
    case tpTop:
      cut(l, b, 1, -1);
      cut(r, b, -1, -1);
      break;
    case tpBottom:
      cut(l, t, 1, 1);
      cut(r, t, -1, 1);
      break;
    case tpLeft:
      cut(r, t, -1, 1);
      cut(r, b, -1, -1);
      break;
    case tpRight:
      cut(l, t, 1, 1);
      cut(l, b, 1, -1);
      break;
  }
}

void TGradPageControl::PaintGradTab(TCanvas* c, int index) {
  const TTabSheet* page = PageForTab(index);
  if (!page) return;
  const bool active = index == TabIndex();
  const bool hover = index == FHoverTab && !active;
  const TRect d = TabPaintRect(index);
  if (d.Width() < 4 || d.Height() < 4) return;
  const TTabPosition side = TabSide(index);
  PaintTabFace(c, d, page, active, hover);
  PaintTabOutline(c, d, active, FTabBorderColor, side);
  const TRect inside = TabInside(d, active, side);
  PaintCaption(c, inside, page, index);
  if (active && FShowFocus && Focused()) {
    TRect focus = inside;
    if (Vertical())
      focus = {inside.Left + 3, inside.Top + 5, inside.Right - 3, inside.Bottom - 3};
    else
      focus = {inside.Left + 5, inside.Top + 3, inside.Right - 3, inside.Bottom - 3};
    c->DrawFocusRect(focus);
  }
}

void TGradPageControl::PaintTabFace(TCanvas* c, const TRect& r, const TTabSheet* sheet, bool active, bool hover) {
  if (!FTabBackGround.Empty()) {
    const TBitmap& pic = active && !FTabBackGroundActive.Empty() ? FTabBackGroundActive : FTabBackGround;
    // The first half, a stretched two-pixel slice from the middle, the second half.
    const bool across = !Vertical();
    const int size = across ? pic.Width() : pic.Height();
    const int half = size / 2, mid = std::max(0, half - 1);
    const int length = across ? r.Width() : r.Height();
    TBitmap first, middle, second;
    auto part = [&](TBitmap& b, int from, int to) {
      CopyPart(pic, b, across ? TRect{from, 0, to, pic.Height()} : TRect{0, from, pic.Width(), to});
    };
    part(first, 0, half);
    part(middle, mid, std::min(size, mid + 2));
    part(second, half, size);
    const int endStart = length - (size - half);
    if (across) {
      c->StretchDraw({r.Left, r.Top, r.Left + half, r.Bottom}, first);
      c->StretchDraw({r.Left + half, r.Top, r.Left + endStart, r.Bottom}, middle);
      c->StretchDraw({r.Left + endStart, r.Top, r.Right, r.Bottom}, second);
    } else {
      c->StretchDraw({r.Left, r.Top, r.Right, r.Top + half}, first);
      c->StretchDraw({r.Left, r.Top + half, r.Right, r.Top + endStart}, middle);
      c->StretchDraw({r.Left, r.Top + endStart, r.Right, r.Bottom}, second);
    }
    return;
  }
  // A plain tab sheet shows the control's defaults.
  const auto* page = dynamic_cast<const TGradTabSheet*>(sheet);
  TColor from = page ? page->FTabColor : FDefaultTabColor, to = page ? page->FTabColorTo : FDefaultTabColorTo;
  TGradientDirection direction = page ? page->FTabDirection : gdVertical;
  if (active) {
    from = FActiveColor;
    to = FActiveColorTo;
  } else if (hover && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
    if (FTabHoverColor != clNone) from = FTabHoverColor;
    to = FTabHoverColorTo;
    direction = page ? page->FHoverDirection : gdVertical;
  }
  if (from == clNone) from = clBtnFace;
  if (to == clNone)
    Fill(c, r, from);
  else
    DrawTabGradient(c, r, from, to, direction);
}

void TGradPageControl::PaintTabOutline(TCanvas* c, const TRect& r, bool active, TColor color, TTabPosition pos) {
  // Three sides; the one towards the sheet stays open.
  const int l = r.Left, t = r.Top, rt = r.Right - 1, b = r.Bottom - 1;
  if (FTabStyle == tsDotNet && !active) {
    // A short divider at the tab's end.
    if (Vertical())
      Line(c, l + 3, b, rt - 2, b, color);
    else
      Line(c, rt, t + 3, rt, b - 2, color);
    return;
  }
  const int k = FTabStyle == tsClassic ? 1 : 0;  // classic tabs have rounded corners
  if (k) {
    // The corners away from the sheet show the strip.
    const bool top = pos != tpBottom, bottom = pos != tpTop;
    const bool left = pos != tpRight, right = pos != tpLeft;
    if (top && left) c->SetPixels(l, t, FTabBackGroundColor);
    if (top && right) c->SetPixels(rt, t, FTabBackGroundColor);
    if (bottom && left) c->SetPixels(l, b, FTabBackGroundColor);
    if (bottom && right) c->SetPixels(rt, b, FTabBackGroundColor);
  }
  switch (pos) {
    case tpTop:
      Line(c, l, b + 1, l, t + k, color);
      Line(c, l + k, t, rt - k + 1, t, color);
      Line(c, rt, t + k, rt, b + 1, color);
      break;
    case tpBottom:
      Line(c, l, t, l, b - k + 1, color);
      Line(c, l + k, b, rt - k + 1, b, color);
      Line(c, rt, t, rt, b - k + 1, color);
      break;
    case tpLeft:
      Line(c, rt + 1, t, l + k, t, color);
      Line(c, l, t + k, l, b - k + 1, color);
      Line(c, l + k, b, rt + 1, b, color);
      break;
    case tpRight:
      Line(c, l, t, rt - k + 1, t, color);
      Line(c, rt, t + k, rt, b - k + 1, color);
      Line(c, l, b, rt - k + 1, b, color);
      break;
  }
}

void TGradPageControl::PaintCaption(TCanvas* c, const TRect& inside, const TTabSheet* sheet, int index) {
  const auto* page = dynamic_cast<const TGradTabSheet*>(sheet);
  const TSize room = TabImageSize();
  const int left = FTabMargin.LeftMargin(), top = std::max(0, FTabMargin.TopMargin());
  const bool upwards = TabSide(index) == tpLeft;
  // Along the tab: padding, the image room, 3 pixels, the caption.
  TRect text = inside;
  if (Vertical()) {
    if (upwards)
      text.Bottom -= kContentPadding + room.cx + 3;
    else
      text.Top += kContentPadding + room.cx + 3;
    text.Bottom -= upwards ? 0 : kContentPadding;
    text.Top += upwards ? kContentPadding : 0;
    text.Left += top;
  } else {
    text.Left += kContentPadding + room.cx + 3;
    text.Right -= kContentPadding;
    text.Top += top;
  }
  if (page && page->FShowClose) {
    // The close button's room at the tab's start; the image room may hold it already.
    if (!Vertical())
      text.Left = std::max(text.Left, inside.Left + kCloseRoom);
    else if (upwards)
      text.Bottom = std::min(text.Bottom, inside.Bottom - kCloseRoom);
    else
      text.Top = std::max(text.Top, inside.Top + kCloseRoom);
  }
  const int image = sheet->ImageIndex();
  if (FImages && image >= 0 && image < FImages->Count()) {
    const int iw = FImages->Width(), ih = FImages->Height();
    if (!Vertical())
      FImages->Draw(c, inside.Left + kContentPadding + std::max(0, left), inside.Top + top + (inside.Height() - top - ih) / 2,
                    image, Enabled());
    else
      FImages->Draw(c, inside.Left + top + (inside.Width() - top - iw) / 2,
                    upwards ? inside.Bottom - kContentPadding - std::max(0, left) - ih
                            : inside.Top + kContentPadding + std::max(0, left),
                    image, Enabled());
  }
  c->Font = Font();
  c->Font.SetColor(!Enabled() ? clGrayText : page ? page->FTextColor : FDefaultTextColor);
  c->Brush.Style = bsClear;
  const std::string& caption = Tabs()[index];
  if (!Vertical()) {
    TRect t = text;
    c->DrawText(caption, t, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
  } else {
    TRect ext{0, 0, 0, 0};
    c->DrawText(caption, ext, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int x = text.Left + (text.Width() - ext.Height()) / 2;
    const int y = text.Top + (text.Height() - ext.Width()) / 2;
    TextOutTurned(c, x, y, caption, upwards);
  }
  c->Brush.Style = bsSolid;
}

void TGradPageControl::PaintCloseButton(TCanvas* c) {
  const TRect box = CloseButtonRect();
  if (box.IsEmpty()) return;
  TColor face = clWhite, frame = clGray, cross = clBlack;
  const TCloseButtonState state = CloseButtonState();
  if (state == cbsPressed) {
    face = clSilver;
    frame = clBlack;
  } else if (state == cbsHot) {
    frame = clBlack;
    cross = clGray;
  }
  Fill(c, box, face);
  c->Brush = TBrush{frame, bsSolid};
  c->FrameRect(box);
  // Two lines two pixels wide from corner to corner of the inner 6 by 5 area.
  const int x = box.Left + 3, y = box.Top + 3;
  for (int dx = 0; dx < 2; ++dx) {
    Line(c, x + dx, y, x + dx + 6, y + 5, cross);
    Line(c, x + 5 + dx, y, x + dx - 1, y + 5, cross);
  }
}
