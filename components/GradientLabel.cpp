#include "components/GradientLabel.h"

#include "ui/Forms.h"
#include "ui/QtServices.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kMaxFitSize = 1000;          // no caption is fitted beyond this many points
constexpr size_t kMaxAddress = 79;         // the longest address a link opens
constexpr int kMaxSubSuperChars = 255;

IUrlOpener* gDefaultOpener = nullptr;

/** The caption's characters, each as its UTF-8 bytes. */
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

/** Every byte outside the unreserved characters as %XX. */
std::string PercentEncode(const std::string& s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char ch : s) {
    if (std::isalnum(ch) || ch == '-' || ch == '.' || ch == '_' || ch == '~') {
      out += static_cast<char>(ch);
    } else {
      out += '%';
      out += hex[ch >> 4];
      out += hex[ch & 15];
    }
  }
  return out;
}

/** Stores value in field; whether it changed. */
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

TColor Blend(TColor from, TColor to, int k, int n) {
  const TColor a = ColorToRGB(from), b = ColorToRGB(to);
  auto mix = [&](int x, int y) { return x + (y - x) * k / n; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  const long long p = static_cast<long long>(a) * b;
  const long long q = (std::llabs(p) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
  return static_cast<int>((p < 0) != (c < 0) ? -q : q);
}

TGradientLabel::TGradientLabel(TComponent* AOwner) : TLabel(AOwner) {
  SetTransparent(true);
  SetParentColor(false);
  SetAutoSize(false);
  FFitSize = Font().Size();
  FFitWidth = Width();
  FFitHeight = Height();
}

void TGradientLabel::SetDefaultUrlOpener(IUrlOpener* opener) { gDefaultOpener = opener; }

// Properties -------------------------------------------------------------------

void TGradientLabel::SetAFitType(TFitType value) {
  if (!Store(FFitType, value)) return;
  FFitSize = INT_MIN;  // the next paint fits again
  Changed();
}

void TGradientLabel::SetAStyle3D(T3DEffect value) {
  if (Store(FStyle3D, value)) Changed();
}

void TGradientLabel::SetAShadeRightBottom(TColor value) {
  if (Store(FShadeRightBottom, value)) Changed();
}

void TGradientLabel::SetAShadeLeftTop(TColor value) {
  if (!FShadeLTSet && Store(FShadeLeftTop, value)) Changed();
}

void TGradientLabel::SetAHShadeOffSet(int value) {
  if (Store(FHShadeOffset, value)) Changed();
}

void TGradientLabel::SetAVShadeOffSet(int value) {
  if (Store(FVShadeOffset, value)) Changed();
}

void TGradientLabel::SetAShadeLTSet(bool value) {
  if (!Store(FShadeLTSet, value)) return;
  if (value) {
    FSavedLeftTop = FShadeLeftTop;
    FShadeLeftTop = 0xFFFFFF;
  } else {
    FShadeLeftTop = FSavedLeftTop;
  }
  Changed();
}

void TGradientLabel::SetGradientStyle(TGradientStyle value) {
  if (Store(FGradientStyle, value)) Changed();
}

void TGradientLabel::SetBeginColor(TColor value) {
  if (Store(FBeginColor, value)) Changed();
}

void TGradientLabel::SetEndColor(TColor value) {
  if (Store(FEndColor, value)) Changed();
}

void TGradientLabel::SetFrame(bool value) {
  if (Store(FFrame, value)) Changed();
}

void TGradientLabel::SetLineStyle(TLineStyle value) {
  if (Store(FLineStyle, value)) Changed();
}

void TGradientLabel::SetLabelType(TLabelType value) {
  if (!Store(FLabelType, value)) return;
  SetCursor(IsLink() ? crHandPoint : crDefault);
  Changed();
}

void TGradientLabel::SetColorSelected(TColor value) {
  if (Store(FColorSelected, value)) Changed();
}

void TGradientLabel::SetUrl(const std::string& value) {
  if (Store(FUrl, value)) Changed();
}

void TGradientLabel::SetMailSubject(const std::string& value) {
  if (Store(FMailSubject, value)) Changed();
}

// Links --------------------------------------------------------------------------

std::string TGradientLabel::LinkAddress() const {
  const std::string target = FUrl.empty() ? Caption() : FUrl;
  switch (FLabelType) {
    case ltHttp:
      return StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://") ? target
                                                                                          : "http://" + target;
    case ltMail: {
      const std::string address = StartsWithNoCase(target, "mailto:") ? target : "mailto:" + target;
      return address + "?subject=" + PercentEncode(FMailSubject);
    }
    case ltFtp: return StartsWithNoCase(target, "ftp://") ? target : "ftp://" + target;
    case ltNews: return StartsWithNoCase(target, "news://") ? target : "news://" + target;
    default: return "";
  }
}

void TGradientLabel::Click() {
  TLabel::Click();
  const std::string address = LinkAddress();
  if (address.empty() || address.size() > kMaxAddress) return;
  static TQtUrlOpener desktop;
  IUrlOpener* opener = FOpener ? FOpener : gDefaultOpener ? gDefaultOpener : &desktop;
  const bool opened = opener->OpenURL(address);
  if (!opened && FLabelType == ltHttp && Application)
    Application->MessageService()->MessageDlg("Sorry your browser could not be found", TMsgDlgType::mtCustom, mbOK);
}

void TGradientLabel::MouseEnter() {
  if (IsLink() && FEffect98 && !FHovered) {
    FHovered = true;
    FSavedFontColor = Font().Color();
    Font().SetColor(FColorSelected);
    Font().SetStyle(Font().Style() | fsUnderline);
    Repaint();
  }
  TLabel::MouseEnter();
}

void TGradientLabel::MouseLeave() {
  if (FHovered) {
    FHovered = false;
    Font().SetColor(FSavedFontColor);
    Font().SetStyle(Font().Style() & ~static_cast<TFontStyles>(fsUnderline));
    Repaint();
  }
  TLabel::MouseLeave();
}

// Fitting ------------------------------------------------------------------------

void TGradientLabel::FitFont(const TRect& r) {
  if (Caption().empty()) return;  // nothing to measure: the font stays
  TCanvas measure;
  measure.Font = Font();
  int size = 0;
  measure.Font.SetSize(size);
  auto grow = [&] { measure.Font.SetSize(++size); };
  switch (FFitType) {
    case ftNormalFit: return;
    case ftBestFitVert:
      Font().SetHeight(std::max(1, r.Bottom - 2));
      return;
    case ftBestFithorz:
      while (size < kMaxFitSize && measure.TextWidth(Caption()) < r.Right) grow();
      break;
    case ftBestFitBoth:
      // No room (a height of 0 or less) ends the search at once.
      while (size < kMaxFitSize && std::abs(measure.Font.Height()) < r.Bottom - 6 &&
             measure.TextWidth(Caption()) < r.Right)
        grow();
      break;
  }
  Font().SetSize(std::max(1, size - 1));
}

// Painting -----------------------------------------------------------------------

void TGradientLabel::Paint() {
  TCanvas* c = Canvas();
  PaintGradient(c);
  c->Brush.Style = bsClear;
  if (FFrame) PaintFrame(c);
  const TRect t{0, 0, ClientWidth(), ClientHeight() - 2};
  const unsigned align = Alignment() == taCenter ? DT_CENTER : Alignment() == taRightJustify ? DT_RIGHT : DT_LEFT;
  DrawCaption(c, t, DT_WORDBREAK | align | (ShowAccelChar() ? 0 : DT_NOPREFIX));
  PaintRule(c, t);
  c->Brush.Style = bsSolid;
}

void TGradientLabel::PaintGradient(TCanvas* c) {
  const int W = ClientWidth(), H = ClientHeight();
  const TColor b = ColorToRGB(FBeginColor), e = ColorToRGB(FEndColor);
  const int dr = GetRValue(e) - GetRValue(b), dg = GetGValue(e) - GetGValue(b), db = GetBValue(e) - GetBValue(b);
  auto step = [&](int i, int n) {
    return RGB(GetRValue(b) + MulDiv(i, dr, n), GetGValue(b) + MulDiv(i, dg, n), GetBValue(b) + MulDiv(i, db, n));
  };
  auto fill = [&](const TRect& r, TColor color) {
    c->Brush = TBrush{color, bsSolid};
    c->FillRect(r);
  };
  c->Pen = TPen{clBlack, 1, psClear};
  switch (FGradientStyle) {
    case gsNone:
      if (!Transparent()) fill({0, 0, W, H}, Color());
      break;
    case gsHorizontal:
      for (int i = 0; i < 256; ++i) fill({MulDiv(i, W, 256), 0, MulDiv(i + 1, W, 256), H}, step(i, 255));
      break;
    case gsVertical:
      for (int i = 0; i < 256; ++i) fill({0, MulDiv(i, H, 256), W, MulDiv(i + 1, H, 256)}, step(i, 255));
      break;
    case gsElliptic: {
      // Quarters and halves are fractions: a width that is no multiple of 4 keeps its remainder.
      const double w = W, h = H;
      double l = -w / 4, t = -h / 4, r = w + w / 4 + 4, bt = h + h / 4 + 4;
      const double dx = (w / 4 + w / 2) / 155, dy = (h / 4 + h / 2) / 155;
      for (int i = 0; i < 156; ++i) {
        l += dx;
        t += dy;
        r -= dx;
        bt -= dy;
        c->Brush = TBrush{step(i, 155), bsSolid};
        c->Ellipse(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(bt));
      }
      break;
    }
    case gsRectangle: {
      double l = 0, t = 0, r = W + 2, bt = H + 2;
      const double dx = W / 2.0 / 255.0, dy = H / 2.0 / 255.0;
      for (int i = 0; i < 256; ++i) {
        l += dx;
        t += dy;
        r -= dx;
        bt -= dy;
        fill({static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(bt)}, step(i, 255));
      }
      break;
    }
    case gsVertCenter: {
      const int h = H / 2;
      for (int i = 0; i <= h; ++i) {
        fill({0, i, W, i + 1}, step(i, h));
        fill({0, H - i - 1, W, H - i}, step(i, h));
      }
      break;
    }
    case gsHorizCenter: {
      const int w = W / 2;
      for (int i = 0; i <= w; ++i) {
        fill({i, 0, i + 1, H}, step(i, w));
        fill({W - i - 1, 0, W - i, H}, step(i, w));
      }
      break;
    }
  }
  c->Pen = TPen{};
}

void TGradientLabel::PaintFrame(TCanvas* c) {
  const TRect r = ClientRect();
  auto outline = [&](int l, int t, int rt, int b, TColor color) {
    c->Pen = TPen{color};
    c->Polyline({{l, b}, {l, t}, {rt, t}});
    c->Polyline({{rt, t}, {rt, b}, {l, b}});
  };
  outline(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1, clBtnShadow);
  outline(r.Left, r.Top, r.Right - 2, r.Bottom - 2, clBtnHighlight);
}

void TGradientLabel::DrawCaption(TCanvas* c, const TRect& r, unsigned flags) {
  c->Font = Font();
  auto pass = [&](int dx, int dy, TColor color) {
    TRect shifted = r;
    OffsetRect(shifted, dx, dy);
    c->Font.SetColor(color);
    DrawText(c, Caption(), shifted, flags);
  };
  switch (FStyle3D) {
    case Resit3d:
      pass(1, 1, FShadeLeftTop);
      pass(-1, -1, FShadeRightBottom);
      break;
    case Raised3d:
      pass(1, 1, FShadeRightBottom);
      pass(-1, -1, FShadeLeftTop);
      break;
    case Shadowed3d: pass(FHShadeOffset, FVShadeOffset, FShadeRightBottom); break;
    case Normal3d: break;
  }
  if (!AutoSize() && (Font().Size() != FFitSize || Width() != FFitWidth || Height() != FFitHeight)) {
    FitFont(r);
    FFitSize = Font().Size();
    FFitWidth = Width();
    FFitHeight = Height();
  }
  c->Font = Font();
  if (!Enabled()) c->Font.SetColor(clGrayText);
  DrawText(c, Caption(), r, flags);
}

void TGradientLabel::DrawText(TCanvas* c, const std::string& text, const TRect& r, unsigned flags) {
  if (FLabelType == ltSubSuperScript) {
    DrawSubSuper(c, text, r, flags);
    return;
  }
  TRect box = r;
  c->Brush.Style = bsClear;
  c->DrawText(text, box, flags);
}

std::string TGradientLabel::PlainCaption() const {
  std::string out;
  for (const std::string& ch : Characters(Caption()))
    if (ch != "_" && ch != "^") out += ch;
  return out;
}

void TGradientLabel::DrawSubSuper(TCanvas* c, const std::string& text, const TRect& r, unsigned flags) {
  std::vector<std::string> chars = Characters(text);
  if (chars.size() > kMaxSubSuperChars) chars.resize(kMaxSubSuperChars);
  std::string plain;
  for (const std::string& ch : chars)
    if (ch != "_" && ch != "^") plain += ch;
  int x = r.Left;
  if (flags & DT_RIGHT)
    x = r.Right - c->TextWidth(plain);
  else if (flags & DT_CENTER)
    x = r.Left + (r.Width() - c->TextWidth(plain)) / 2;
  const TFont font = c->Font;
  c->Brush.Style = bsClear;
  int mark = 0;  // -1 subscript, 1 superscript
  for (const std::string& ch : chars) {
    if (ch == "_" || ch == "^") {
      mark = ch == "_" ? -1 : 1;
      continue;
    }
    int y = r.Top;
    if (mark != 0) {
      const int h = font.Height(), scaled = h * 8 / 10;
      c->Font.SetHeight(scaled);
      const int shift = std::abs(scaled * 8 - h * 10);
      y += mark < 0 ? shift / 10 : -(shift / 20);
    }
    c->TextOut(x, y, ch);
    x += c->TextWidth(ch);
    c->Font = font;
    mark = 0;
  }
}

void TGradientLabel::Row(TCanvas* c, int x, int y, int length, bool fadeIn, TColor color) {
  // A third of the row fades from what lies under it to the line colour.
  const int third = length / 3;
  for (int i = 0; i < length; ++i) {
    const int k = fadeIn ? i : length - 1 - i;
    const int px = x + i;
    if (k >= third) {
      c->SetPixels(px, y, color);
      continue;
    }
    const TColor under = c->Pixels(px, y);
    if (under >= 0) c->SetPixels(px, y, Blend(under, color, k, third));
  }
}

void TGradientLabel::PaintRule(TCanvas* c, const TRect& t) {
  if (FLineStyle == lsNone) return;
  const int half = (t.Width() - 4) / 2;
  auto rows = [&](int y, auto&& segments) {
    segments(y, clBtnShadow);
    segments(y + 1, clBtnHighlight);
  };
  auto full = [&](int y, TColor color) {
    Row(c, t.Left + 2, y, half, true, color);
    Row(c, t.Left + 2 + half, y, half, false, color);
  };
  switch (FLineStyle) {
    case lsTop: rows(t.Top + 2, full); break;
    case lsBottom: rows(t.Bottom - 3, full); break;
    case lsMiddle: {
      c->Font = Font();
      const int textWidth = c->TextWidth(FLabelType == ltSubSuperScript ? PlainCaption() : Caption());
      const int y = t.Top + (t.Bottom - t.Top) / 2;
      if (Alignment() == taLeftJustify) {
        const int from = t.Left + textWidth + 6;
        rows(y, [&](int yy, TColor color) { Row(c, from, yy, t.Right - 2 - from, false, color); });
      } else if (Alignment() == taRightJustify) {
        const int to = t.Right - textWidth - 6;
        rows(y, [&](int yy, TColor color) { Row(c, t.Left + 2, yy, to - t.Left - 2, true, color); });
      } else {
        const int len = (t.Width() - 2 - textWidth - 12) / 2;
        const int textLeft = t.Left + (t.Width() - textWidth) / 2;
        rows(y, [&](int yy, TColor color) {
          Row(c, textLeft - 6 - len, yy, len, true, color);
          Row(c, textLeft + textWidth + 6, yy, len, false, color);
        });
      }
      break;
    }
    case lsNone: break;
  }
}
