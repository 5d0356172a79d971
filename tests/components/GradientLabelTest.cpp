// The gradient label: best fit, links, hover, effects and pixel probes of
// its gradients, frame and rule.

#include "FlatTestKit.h"
#include "GuiTestApp.h"
#include "components/GradientLabel.h"
#include "ui/Forms.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

using qftest::At;
using qftest::FilledImage;
using qftest::PixelAt;

namespace {

QImage Painted(TGradientLabel& label, TColor under = clFuchsia) {
  QImage img = FilledImage(label.Width(), label.Height(), under);
  label.PaintTo(img);
  return img;
}

using flattest::Enter;
using flattest::Leave;

TEST(GradientLabel, MulDivRoundsAndSurvivesZero) {
  const struct {
    int a, b, c, want;
  } cases[] = {{1, 255, 2, 128}, {1, -255, 2, -128}, {3, 10, 4, 8}, {-3, 10, 4, -8},
               {255, 255, 255, 255}, {7, 9, 0, 0}, {100000, 100000, 100000, 100000}};
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

// ---------------------------------------------------------------- best fit

TEST(GradientLabel, BestFitAlwaysEnds) {
  TCanvas measure;
  const struct {
    const char* name;
    TFitType type;
    std::string caption;
    TRect room;
    std::function<void(const TFont&)> check;
  } cases[] = {
      {"empty_caption_keeps_the_font", ftBestFithorz, "", {0, 0, 100, 30},
       [](const TFont& f) { EXPECT_EQ(f.Height(), -11); }},
      {"across_the_widest_size_that_fits", ftBestFithorz, "Quarrowfield", {0, 0, 150, 30},
       [&](const TFont& f) {
         measure.Font = f;
         EXPECT_LT(measure.TextWidth("Quarrowfield"), 150);
         measure.Font.SetSize(f.Size() + 1);
         EXPECT_GE(measure.TextWidth("Quarrowfield"), 150);
       }},
      {"both_stops_at_the_height", ftBestFitBoth, "Q", {0, 0, 400, 30},
       [](const TFont& f) {
         EXPECT_LT(std::abs(f.Height()), 24);
         TFont next = f;
         next.SetSize(f.Size() + 1);
         EXPECT_GE(std::abs(next.Height()), 24);
       }},
      {"no_room_across_is_size_1", ftBestFithorz, "Quarrowfield", {0, 0, 0, 30},
       [](const TFont& f) { EXPECT_EQ(f.Size(), 1); }},
      {"no_room_down_is_size_1", ftBestFitBoth, "Quarrowfield", {0, 0, 100, 3},
       [](const TFont& f) { EXPECT_EQ(f.Size(), 1); }},
      {"down_takes_the_cell_height", ftBestFitVert, "Quarrowfield", {0, 0, 100, 30},
       [](const TFont& f) { EXPECT_EQ(f.Height(), 28); }},
      {"down_never_below_1", ftBestFitVert, "Quarrowfield", {0, 0, 100, 0},
       [](const TFont& f) { EXPECT_EQ(f.Height(), 1); }},
      {"normal_keeps_the_font", ftNormalFit, "Quarrowfield", {0, 0, 10, 10},
       [](const TFont& f) { EXPECT_EQ(f.Height(), -11); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TGradientLabel label(nullptr);
    label.SetCaption(c.caption);
    label.SetAFitType(c.type);
    label.FitFont(c.room);
    c.check(label.Font());
  }
}

TEST(GradientLabel, PaintingFitsWhenTheSizeOrFontChanged) {
  TGradientLabel label(nullptr);
  label.SetCaption("Quarrowfield");
  label.SetAFitType(ftBestFitVert);
  label.SetBounds(0, 0, 200, 40);
  Painted(label);
  EXPECT_EQ(label.Font().Height(), 36) << "the caption rectangle is 2 short of the bottom";
  label.Font().SetHeight(-9);
  Painted(label);
  EXPECT_EQ(label.Font().Height(), 36) << "a new font size fits again";
  label.SetAutoSize(true);
  label.Font().SetHeight(-9);
  Painted(label);
  EXPECT_EQ(label.Font().Height(), -9) << "no fitting with AutoSize";
}

TEST(GradientLabel, AutoSizeMeasuresAnEmptyCaptionOrALonePrefixAsABlank) {
  TCanvas measure;
  for (const auto& [caption, shown] : {std::pair{"", " "}, {"&", " "}, {"Banner", "Banner"}}) {
    TGradientLabel label(nullptr);
    label.SetCaption(caption);
    label.SetAutoSize(true);
    measure.Font = label.Font();
    EXPECT_EQ(std::pair(label.Width(), label.Height()), std::pair(measure.TextWidth(shown), measure.TextHeight(shown)))
        << '"' << caption << '"';
  }
}

// ---------------------------------------------------------------- links

TEST(GradientLabel, LinkAddresses) {
  const struct {
    const char* name;
    TLabelType type;
    std::string caption, url, subject, want;
  } cases[] = {
      {"web_from_the_caption", ltHttp, "www.example.org", "", "", "http://www.example.org"},
      {"the_url_before_the_caption", ltHttp, "Home page", "example.org/q", "", "http://example.org/q"},
      {"any_case", ltHttp, "", "HTTP://X", "", "HTTP://X"},
      {"secure_web_kept", ltHttp, "", "https://x", "", "https://x"},
      {"mail_with_an_empty_subject", ltMail, "info", "", "", "mailto:info?subject="},
      {"mail_prefix_kept", ltMail, "", "mailto:a@b.c", "Hi", "mailto:a@b.c?subject=Hi"},
      {"mail_subject_encoded", ltMail, "a@b.c", "", "Hello & bye?=x", "mailto:a@b.c?subject=Hello%20%26%20bye%3F%3Dx"},
      {"mail_subject_utf8", ltMail, "a@b.c", "", "Gr\xC3\xBC\xC3\x9F" "e", "mailto:a@b.c?subject=Gr%C3%BC%C3%9Fe"},
      {"ftp", ltFtp, "ftp.example.org", "", "", "ftp://ftp.example.org"},
      {"ftp_kept", ltFtp, "", "ftp://f", "", "ftp://f"},
      {"news", ltNews, "comp.lang", "", "", "news://comp.lang"},
      {"sub_and_superscript_is_no_link", ltSubSuperScript, "www.example.org", "", "", ""},
  };
  for (const auto& c : cases) {
    TGradientLabel label(nullptr);
    label.SetLabelType(c.type);
    label.SetCaption(c.caption);
    label.SetUrl(c.url);
    label.SetMailSubject(c.subject);
    EXPECT_EQ(label.LinkAddress(), c.want) << c.name;
    EXPECT_EQ(label.Cursor(), c.type >= ltHttp ? crHandPoint : crDefault) << c.name;
  }
}

TEST(GradientLabel, ClickingOpensThroughTheUrlService) {
  qftest::ScopedMessageRecorder messages;
  TShellRecorder shell;
  qftest::TShownForm form;
  auto* label = qftest::Place<TGradientLabel>(&form, 10, 10, 200, 20);
  label->SetUrlOpener(&shell);
  int clicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  auto click = [&] {
    qftest::SendMouse(label->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
    qftest::SendMouse(label->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
  };
  // A web link that fails, one too long to open (87 characters with its prefix), a plain label.
  const std::pair<TLabelType, std::string> links[] = {
      {ltMail, "info"}, {ltHttp, "www.example.org"}, {ltNews, "comp.lang"}, {ltHttp, std::string(80, 'x')},
      {ltNormal, std::string(80, 'x')}};
  for (const auto& [type, caption] : links) {
    label->SetLabelType(type);
    label->SetCaption(caption);
    shell.UrlResult = type == ltMail;  // every link after the first fails to open
    click();
  }
  EXPECT_EQ(clicks, 5) << "OnClick fires first, link or not";
  ASSERT_EQ(shell.Calls.size(), 3u);
  EXPECT_EQ(shell.Calls[0].Argument, "mailto:info?subject=");
  EXPECT_EQ(shell.Calls[1].Argument, "http://www.example.org");
  EXPECT_EQ(shell.Calls[2].Argument, "news://comp.lang");
  ASSERT_EQ(messages.Recorder.Calls.size(), 1u) << "only a web link that fails says so";
  EXPECT_EQ(messages.Recorder.Calls[0].Text, "Sorry your browser could not be found");
}

TEST(GradientLabel, LinksLightUpUnderTheMouse) {
  TForm form(nullptr);
  auto* link = qftest::Place<TGradientLabel>(&form, 0, 0, 100, 20);
  auto* plain = qftest::Place<TGradientLabel>(&form, 0, 30, 100, 20);
  link->SetLabelType(ltHttp);
  link->Font().SetColor(clBlue);
  plain->Font().SetColor(clBlue);
  std::vector<std::string> heard;
  for (TGradientLabel* l : {link, plain}) {
    l->OnMouseEnter = [&heard, l, link](TObject*) { heard.push_back(l == link ? "enter link" : "enter plain"); };
    l->OnMouseLeave = [&heard, l, link](TObject*) { heard.push_back(l == link ? "leave link" : "leave plain"); };
  }
  Enter(link);
  EXPECT_EQ(link->Font().Color(), clGreen);
  EXPECT_TRUE(link->Font().Style() & fsUnderline);
  Leave(link);
  EXPECT_EQ(link->Font().Color(), clBlue);
  EXPECT_FALSE(link->Font().Style() & fsUnderline);
  Enter(plain);
  Leave(plain);
  EXPECT_EQ(plain->Font().Color(), clBlue);
  link->SetEffect98(false);
  Enter(link);
  EXPECT_EQ(link->Font().Color(), clBlue) << "without Effect98";
  Leave(link);
  EXPECT_EQ(heard, (std::vector<std::string>{"enter link", "leave link", "enter plain", "leave plain", "enter link",
                                             "leave link"}));
}

TEST(GradientLabel, TheLeftTopShadeLock) {
  TGradientLabel label(nullptr);
  label.SetAShadeLeftTop(clYellow);
  label.SetAShadeLTSet(true);
  EXPECT_EQ(label.AShadeLeftTop(), clWhite);
  label.SetAShadeLeftTop(clRed);
  EXPECT_EQ(label.AShadeLeftTop(), clWhite) << "locked";
  label.SetAShadeLTSet(false);
  EXPECT_EQ(label.AShadeLeftTop(), clYellow) << "the colour before the lock comes back";
}

TEST(GradientLabel, TheCaptionWithoutMarkers) {
  TGradientLabel label(nullptr);
  label.SetCaption("H_2O x^2_");
  EXPECT_EQ(label.PlainCaption(), "H2O x2");
  label.SetCaption("\xC3\xA4^2");
  EXPECT_EQ(label.PlainCaption(), "\xC3\xA4" "2");
}

// ---------------------------------------------------------------- pictures

/** The lowest row with anything drawn over the fuchsia background, -1 for none. */
int LastInkRow(const QImage& img) {
  for (int y = img.height() - 1; y >= 0; --y)
    for (int x = 0; x < img.width(); ++x)
      if (PixelAt(img, x, y) != clFuchsia) return y;
  return -1;
}

// A marked character is drawn at 8/10 of the font height h (toward zero),
// lowered by |h' * 8 - h * 10| / 10 (subscript) or raised by half as much
// (superscript). The bottom of the ink tells (the top of a raised one may be
// cut off by the label's edge); the reference is the same character drawn
// unmarked in the smaller font.
TEST(GradientLabel, SubAndSuperscriptOffsets) {
  const struct {
    int height, lowered, raised;
  } cases[] = {{-11, 4, 2}, {-20, 7, 3}, {-30, 10, 5}, {-41, 15, 7}};
  for (const auto& c : cases) {
    auto bottom = [&](const std::string& caption, int height) {
      TGradientLabel label(nullptr);
      label.SetBounds(0, 0, 120, 80);
      label.SetAFitType(ftNormalFit);
      label.SetLabelType(ltSubSuperScript);
      label.Font().SetHeight(height);
      label.SetCaption(caption);
      return LastInkRow(Painted(label));
    };
    const int plain = bottom("2", c.height * 8 / 10);
    ASSERT_GT(plain, 0) << c.height;
    EXPECT_EQ(bottom("_2", c.height), plain + c.lowered) << "height " << c.height;
    EXPECT_EQ(bottom("^2", c.height), plain - c.raised) << "height " << c.height;
    EXPECT_EQ(bottom("2_", c.height), bottom("2", c.height)) << "a marker at the end draws nothing";
  }
}

// "&" marks the next character unless ShowAccelChar is off.
TEST(GradientLabel, TheAmpersandIsDrawnOnlyWithoutShowAccelChar) {
  auto painted = [](const std::string& caption, bool accel) {
    TGradientLabel label(nullptr);
    label.SetBounds(0, 0, 120, 30);
    label.SetAFitType(ftNormalFit);
    label.SetShowAccelChar(accel);
    label.SetCaption(caption);
    return Painted(label);
  };
  EXPECT_EQ(painted("W&W", true), painted("WW", true));
  EXPECT_NE(painted("W&W", false), painted("WW", false));
  EXPECT_EQ(painted("W&&W", true), painted("W&W", false)) << "a doubled one shows one";
  TLabel plain(nullptr);
  plain.SetCaption("W&W");
  const int marked = plain.Width();
  plain.SetShowAccelChar(false);
  EXPECT_GT(plain.Width(), marked) << "an auto-sized label measures the ampersand too";
}

// Each style, its two ends; with one colour at both ends every pixel is painted in it.
TEST(GradientLabel, GradientEndsAndOneColourWhenBeginAndEndAgree) {
  const struct {
    const char* name;
    TGradientStyle style;
    int w, h;
    std::vector<std::tuple<int, int, TColor>> pixels;
  } cases[] = {
      {"across", gsHorizontal, 256, 10, {{0, 5, clBlack}, {255, 5, clWhite}, {128, 5, RGB(128, 128, 128)}}},
      {"down", gsVertical, 10, 256, {{5, 0, clBlack}, {5, 255, clWhite}}},
      {"to_the_middle_down", gsVertCenter, 10, 21, {{5, 0, clBlack}, {5, 20, clBlack}, {5, 10, clWhite}}},
      {"to_the_middle_across", gsHorizCenter, 21, 10, {{0, 5, clBlack}, {20, 5, clBlack}, {10, 5, clWhite}}},
      {"one_row_has_no_steps", gsVertCenter, 10, 1, {{5, 0, clBlack}}},
      // The rectangles shrink by fractions of a pixel: the first few still reach the corners,
      // and they start 2 beyond the right and bottom.
      {"the_rectangle_ends_in_the_middle", gsRectangle, 60, 30,
       {{0, 0, RGB(7, 7, 7)}, {59, 29, RGB(16, 16, 16)}, {30, 15, clWhite}}},
      {"elliptic", gsElliptic, 60, 30, {}},
      // A quarter of 30 is 7.5: the first ellipses reach the corner, ending near the begin colour.
      {"the_ellipse_starts_a_fraction_further_out", gsElliptic, 30, 30,
       {{0, 0, RGB(3, 3, 3)}}},
  };
  for (const auto& c : cases) {
    TGradientLabel label(nullptr);
    label.SetBounds(0, 0, c.w, c.h);
    label.SetGradientStyle(c.style);
    label.SetBeginColor(clBlack);
    label.SetEndColor(clWhite);
    const QImage img = Painted(label);
    for (auto [x, y, color] : c.pixels) EXPECT_EQ(PixelAt(img, x, y), color) << c.name << " at " << x << "," << y;
    label.SetEndColor(clBlack);
    EXPECT_TRUE(qftest::AllPixels(Painted(label), {0, 0, c.w, c.h}, clBlack)) << c.name;
  }
}

TEST(GradientLabel, EtchedFrameRulesAndTransparency) {
  TGradientLabel label(nullptr);
  label.SetBounds(0, 0, 100, 30);
  label.SetFrame(true);
  label.SetColor(clYellow);  // transparent: what lies under stays
  const TColor shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(qftest::Missing(Painted(label), {At(0, 0, light), At(1, 1, shadow), At(98, 15, light),
                                             At(99, 29, shadow), At(50, 15, clFuchsia)}),
            "");

  label.SetFrame(false);
  label.SetLineStyle(lsTop);
  label.SetCaption("");
  QImage img = Painted(label, clSilver);
  // Rows 2 and 3 of the caption rectangle: a fade in and a fade out, each half long, from what lies under.
  EXPECT_EQ(qftest::Missing(img, {At(40, 2, shadow), At(40, 3, light), At(2, 2, clSilver), At(97, 2, clSilver),
                                  At(40, 5, clSilver)}),
            "");
  const TColor fading = PixelAt(img, 10, 2);
  EXPECT_GT(GetRValue(fading), GetRValue(shadow));
  EXPECT_LT(GetRValue(fading), GetRValue(clSilver));
  label.SetLineStyle(lsBottom);
  EXPECT_EQ(qftest::Missing(Painted(label, clSilver), {At(40, 25, shadow), At(40, 26, light)}), "")
      << "3 above the caption rectangle's bottom";
  label.SetTransparent(false);
  EXPECT_EQ(PixelAt(Painted(label), 40, 10), clYellow);
}

}  // namespace
