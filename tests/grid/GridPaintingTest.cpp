// What the grid paints, probed pixel by pixel: the header cells and the
// current row's indicator mark of the four header styles, the selection, the
// indicated cell, bold selected text and the focus mark, grid lines, the sorted
// column, the cell painters (images, check boxes, combo-box images, hint
// marks), the painting events, and the render tool's pictures of the grid.

#include "GridWindowTest.h"
#include "TestSupport.h"
#include "grid/Displays.h"
#include "grid/SharedCommon.h"
#include "grid/ThemesSupport.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using gridtest::Focus;
using gridtest::MakeGrid;
using gridtest::TShownForm;
using gridtest::TThemeRecorder;
using qftest::At;
using qftest::CountPixels;
using qftest::Missing;
using qftest::PixelAt;

namespace {

QImage Picture(TGridView* grid) {
  QImage img(grid->ClientWidth(), grid->ClientHeight(), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::magenta);
  grid->PaintTo(img);
  return img;
}

TColor Rgb(TColor c) { return ColorToRGB(c); }

/** Images of a single colour each: 0 red, 1 green. */
std::unique_ptr<TImageList> TwoImages() {
  auto images = std::make_unique<TImageList>(8, 8);
  for (TColor c : {clRed, clLime}) {
    TBitmap b(8, 8);
    b.Canvas()->Brush.Color = c;
    b.Canvas()->FillRect({0, 0, 8, 8});
    images->Add(b);
  }
  return images;
}

TEST(GridHeaderStyles, EachStylePaintsItsHeaderCell) {
  // One yellow-headed column from x = 12 (indicator) to 72, header 18 high.
  const TColor yellow = Rgb(clYellow), face = Rgb(clBtnFace), white = Rgb(clBtnHighlight),
               shadow = Rgb(clBtnShadow), frame = Rgb(clWindowFrame), grey = Rgb(clGrayText);
  const struct {
    THeaderStyle style;
    std::vector<std::tuple<int, int, TColor>> probes;
  } cases[] = {
      {hsAuto, {{40, 9, yellow}, {12, 9, white}, {40, 0, white}, {71, 9, shadow}, {40, 17, shadow}, {5, 9, face}}},
      {hsFlatBorders,
       {{40, 9, yellow}, {12, 9, yellow}, {40, 0, yellow}, {71, 9, grey}, {40, 17, grey}, {11, 9, grey}}},
      {hsOldStyle, {{40, 9, face}, {12, 9, white}, {40, 0, white}, {71, 9, frame}, {40, 17, frame}, {11, 9, frame}}},
      {hsOutlook,
       {{40, 9, yellow},
        {12, 1, white},
        {71, 1, shadow},
        {40, 15, RGB(229, 229, 25)},  // shadow blended into the header colour, 50, 100, 150 of 255
        {40, 16, RGB(204, 204, 50)},
        {40, 17, RGB(179, 179, 75)},
        {5, 17, RGB(161, 160, 157)}}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60}, 2, 200, 100));
    grid->SetOptions({goHeader, goIndicator});
    grid->Columns().Items(0)->Header().SetColor(clYellow);
    grid->Columns().Items(0)->Header().SetCaption("Ab");
    grid->SetHeaderStyle(c.style);
    const QImage img = Picture(grid.get());
    for (auto [x, y, colour] : c.probes)
      EXPECT_EQ(PixelAt(img, x, y), Rgb(colour)) << "style " << c.style << " at " << x << "," << y;
    EXPECT_GT(CountPixels(img, {12, 0, 38, 18}, clBlack), 10) << "style " << c.style << ": the caption";
  }
}

TEST(GridHeaderStyles, APressedAutoHeaderSinks) {
  TShownForm form;
  TGridView* grid = MakeGrid(&form, {60, 60}, 2, 200, 100);
  qftest::SendMouse(grid->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {30, 9});
  // The pressed header is framed in shadow, the next one raised.
  EXPECT_EQ(Missing(Picture(grid), {At(0, 9, clBtnShadow), At(30, 0, clBtnShadow), At(60, 9, clBtnHighlight)}), "");
  qftest::SendMouse(grid->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {30, 9});
  EXPECT_EQ(PixelAt(Picture(grid), 30, 0), Rgb(clBtnHighlight));
}

TEST(GridHeaderStyles, EveryStyleMarksTheCurrentRowInTheIndicator) {
  for (THeaderStyle style : {hsAuto, hsFlatBorders, hsOldStyle, hsOutlook}) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60}, 3, 200, 100));
    grid->SetOptions({goHeader, goIndicator});
    grid->SetHeaderStyle(style);
    grid->SelectRow(1);
    const QImage img = Picture(grid.get());
    // The arrow points right from x = 4 to 7, at the middle of the row.
    for (int row = 0; row < 3; ++row) {
      const int mid = grid->RowTop(row) + 8;
      EXPECT_EQ(PixelAt(img, 5, mid) == Rgb(clBlack), row == 1) << "style " << style << " row " << row;
    }
  }
}

TEST(GridPaintingCells, TheIndicatedCellStandsOutOfItsSelectedRow) {
  TShownForm form;
  TGridView* grid = MakeGrid(&form, {60, 60}, 3, 200, 100);
  grid->SetOptions({goHeader, goSelectFullRow});
  Focus(grid);
  grid->SelectCell(1, 1, {});
  const int y = grid->RowTop(1) + 8;
  const struct {
    const char* name;
    TAppearanceOptions options;
    TColor current, other;
  } cases[] = {
      {"whole_row", {}, clHighlight, clHighlight},
      {"indicated_cell", {aoIndicateSelectedCell}, clWindow, clHighlight},
  };
  for (const auto& c : cases) {
    grid->SetAppearanceOptions(c.options);
    const QImage img = Picture(grid);
    EXPECT_EQ(Missing(img, {At(115, y, c.current), At(55, y, c.other)}), "") << c.name;
    EXPECT_EQ(std::tuple(grid->IsCellSelected(1, 1), grid->IsCellSelected(0, 1)),
              std::tuple(c.current == clHighlight, true))
        << c.name;
  }
}

TEST(GridPaintingCells, AWholeRowSelectionMarksTheCurrentCellWhereTheArrowsMoveIt) {
  TShownForm form;
  TGridView* grid = MakeGrid(&form, {60, 60, 60}, 4, 200, 120);
  grid->SetOptions({goHeader, goSelectFullRow});
  TCustomControl* other = gridtest::FocusTaker(&form);
  Focus(grid);
  grid->SelectCell(0, 1, {});
  const TColor h = Rgb(clHighlight), inverted = RGB(255 - GetRValue(h), 255 - GetGValue(h), 255 - GetBValue(h));
  // The current cell's own dotted mark runs a pixel inside its sides and two
  // below the row's top, where nothing else inverts the selection.
  auto marked = [&](const QImage& img, int col, int row) {
    const TRect r = grid->GetCellRect(col, row);
    return CountPixels(img, {r.Left + 1, r.Top + 2, r.Right - 1, r.Top + 3}, inverted) >= (r.Width() - 2) / 2 &&
           CountPixels(img, {r.Left + 1, r.Top + 2, r.Left + 2, r.Bottom - 2}, inverted) >= (r.Height() - 4) / 2 - 1;
  };
  const struct {
    const char* name;
    std::function<void()> act;
    int col, row;  // the marked cell; -1: none
  } steps[] = {
      {"first", [] {}, 0, 1},
      {"right", [] { gridtest::Press(Qt::Key_Right); }, 1, 1},
      {"right_again", [] { gridtest::Press(Qt::Key_Right); }, 2, 1},
      {"left", [] { gridtest::Press(Qt::Key_Left); }, 1, 1},
      {"down", [] { gridtest::Press(Qt::Key_Down); }, 1, 2},
      {"hidden_focus", [&] { grid->SetAppearanceOptions({aoHideFocus}); }, -1, 2},
      {"unfocused", [&] {
         grid->SetAppearanceOptions({});
         Focus(other);
       }, -1, 2},
  };
  for (const auto& s : steps) {
    s.act();
    // What the screen shows once the parts the step made dirty are painted again.
    qftest::ProcessEventsUntil([] { return false; }, 20);
    const QImage img = grid->PaintedImage();
    for (int row = 0; row < 4; ++row)
      for (int col = 0; col < 3; ++col)
        EXPECT_EQ(marked(img, col, row), col == s.col && row == s.row) << s.name << " " << col << "," << row;
    if (s.col >= 0) {
      const TRect r = grid->GetCellRect(s.col, s.row);
      EXPECT_GT(CountPixels(img, {0, r.Top, 180, r.Top + 1}, inverted), 80) << s.name << ": the row keeps its mark";
    }
  }
}

TEST(GridPaintingCells, BoldSelectionOnlyForSelectedCellsWhenAsked) {
  const struct {
    const char* name;
    TAppearanceOptions options;
    std::vector<std::string> bold;
  } cases[] = {
      {"asked", {aoBoldTextSelection}, {"0,1 state font"}},
      {"not_asked", {}, {}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60}, 3, 200, 100));
    grid->SetAppearanceOptions(c.options);  // without aoHideSelection: selected without the focus too
    grid->Columns().Items(0)->SetDrawingOptions(doCustom);
    grid->SelectRow(1);
    std::vector<std::string> bold;
    grid->OnCustomDrawCell = [&](TObject*, int col, int row, const TRect&, TCellState state) {
      const bool inState = state.Contains(csBoldTextSelection);
      const bool inFont = (grid->Canvas()->Font.Style() & fsBold) != 0;
      if (inState || inFont)
        bold.push_back(std::to_string(col) + "," + std::to_string(row) + (inState ? " state" : "") +
                       (inFont ? " font" : ""));
    };
    Picture(grid.get());
    EXPECT_EQ(bold, c.bold) << c.name;
  }
}

TEST(GridPaintingCells, HorizontalOnlyLinesLeaveOutTheVerticalOnes) {
  const struct {
    TGridLinesStyle lines;
    TColor right;
  } cases[] = {{lsNormal, clBtnFace}, {lsHorizontalOnly, clWindow}};
  for (const auto& c : cases) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60, 60}, 3, 200, 100));
    grid->SetOptions({goHeader, goGrid});
    grid->SetGridLinesStyle(c.lines);
    // The second column paints no background: a line at its left edge would stay.
    grid->OnDrawCellBackground = [](TObject*, int col, int, const TRect&, TCellState, bool& defaultDrawing) {
      defaultDrawing = col != 1;
    };
    // Rows of 16 + 1 from y = 18; the first column's right edge at x = 59.
    const QImage img = Picture(grid.get());
    EXPECT_EQ(Missing(img, {At(59, 18 + 17 + 8, c.right), At(30, 18 + 17 + 16, clBtnFace),
                            At(110, 18 + 16, clBtnFace)}),
              "")
        << c.lines;
    EXPECT_EQ(CountPixels(img, {60, 18, 61, 18 + 3 * 17}, clBtnFace), 3) << c.lines << ": only the rows' lines";
  }
}

TEST(GridPaintingCells, SelectionColoursAndTheFocusMark) {
  TShownForm form;
  TGridView* grid = MakeGrid(&form, {60, 60}, 4, 200, 120);
  grid->SetOptions({goHeader});
  TCustomControl* other = gridtest::FocusTaker(&form);
  grid->SelectCell(1, 1, {});
  const TRect cell = grid->GetCellRect(1, 1);  // (60, 34, 120, 50)
  const TColor highlight = Rgb(clHighlight);
  const struct {
    const char* name;
    TAppearanceOptions options;
    bool focused;
    TColor window, fill;
    bool mark;
  } cases[] = {
      {"focused", {}, true, clWindow, highlight, true},
      {"alpha_blended", {aoAlphaBlendedSelection}, true, clWhite, RGB(194, 200, 218), true},
      {"hidden_focus", {aoHideFocus}, true, clWindow, highlight, false},
      {"unfocused", {}, false, clWindow, Rgb(clBtnFace), false},
      {"unfocused_hidden", {aoHideSelection}, false, clWindow, Rgb(clWindow), false},
  };
  for (const auto& c : cases) {
    Focus(c.focused ? static_cast<TWinControl*>(grid) : other);
    grid->SetAppearanceOptions(c.options);
    grid->SetColor(c.window);
    const QImage img = Picture(grid);
    EXPECT_EQ(PixelAt(img, 90, 42), c.fill) << c.name;
    EXPECT_EQ(PixelAt(img, 30, 42), Rgb(clWindow)) << c.name << ": another column";
    EXPECT_EQ(grid->GetSelectedTextColor(1, 1), c.focused ? clHighlightText : clWindowText) << c.name;
    const int frame = qftest::Ring(img, cell, clHighlight) ? 1 : 0;
    if (c.options.Contains(aoAlphaBlendedSelection)) {
      EXPECT_EQ(frame, 1) << c.name << ": a solid highlight frame";
    } else {
      // The dotted mark inverts every other pixel of the cell's edge.
      const int dotted = CountPixels(img, {cell.Left, cell.Top, cell.Right, cell.Top + 1}, c.fill);
      EXPECT_EQ(dotted < cell.Width(), c.mark) << c.name;
    }
  }
  // A full-row selection spans the columns; the indicator's arrow marks the current row.
  Focus(grid);
  grid->SetColor(clWindow);
  grid->SetAppearanceOptions({});
  grid->SetOptions({goHeader, goIndicator, goSelectFullRow});
  grid->SelectRow(1);
  QImage img = Picture(grid);
  EXPECT_EQ(Missing(img, {At(40, 42, clHighlight), At(100, 42, clHighlight), At(6, 42, clBlack),
                          At(150, 60, clWindow)}),
            "");
  // An empty grid shows its caption and no focus mark.
  grid->ClearRows();
  grid->SetCaption("Nothing here");
  grid->SetAppearanceOptions({aoAlphaBlendedSelection});
  img = Picture(grid);
  EXPECT_GT(CountPixels(img, {0, 18 + 4, 200, 18 + 4 + 14}, clBlack), 20) << "the caption";
  EXPECT_EQ(CountPixels(img, {0, 18, 200, 120}, clHighlight), 0) << "no mark, no selection";
}

TEST(GridPaintingCells, GridLinesFramedRowsAndTheSortedColumn) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60, 40}, 3, 200, 120));
  grid->Columns().Delete(1);
  auto* check = grid->Columns().Add<TCheckBoxColumn>();
  check->SetWidth(40);
  grid->SetOptions({goHeader, goGrid});
  grid->SetGridLinesStyle(lsFramed);
  // Rows of 16 + 1: the line under row r at 18 + 17 r + 16. An inner row's line, the last row's; a text
  // column's vertical line, a check-box column's frame in black; below the rows no frame.
  EXPECT_EQ(Missing(Picture(grid.get()), {At(30, 18 + 16, clBtnFace), At(30, 18 + 2 * 17 + 16, clBlack),
                                          At(59, 20, clBtnFace), At(99, 20, clBlack),
                                          At(99, 18 + 3 * 17 + 5, clBtnFace)}),
            "");

  grid->SetGridLinesStyle(lsNormal);
  grid->SetAppearanceOptions({aoIndicateSortedColumn});
  grid->Columns().Items(0)->SetSorted(true);
  // Darkened by 10 of 255, below the rows too; not the current cell, selected, nor the other column.
  const TColor darker = RGB(244, 244, 244);
  EXPECT_EQ(Missing(Picture(grid.get()), {At(30, 20, clBtnFace), At(30, 18 + 17 + 5, darker),
                                          At(30, 18 + 3 * 17 + 5, darker), At(80, 20, clWhite)}),
            "");
}

TEST(GridPaintingCells, ImagesCheckBoxesComboImagesAndHintMarks) {
  const auto images = TwoImages();
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {}, 0, 300, 150));
  auto* image = grid->Columns().Add<TImageColumn>();
  image->SetImages(images.get());
  image->SetWidth(30);
  auto* check = grid->Columns().Add<TCheckBoxColumn>();
  check->SetWidth(30);
  check->SetAlignment(taCenter);
  auto* combo = grid->Columns().Add<TComboBoxColumn>();
  combo->SetWidth(100);
  TStringList items;
  items.Add("red");
  items.Add("green");
  combo->SetItems(items);
  combo->SetImages(images.get());
  grid->SetAppearanceOptions({aoHintMarks, aoHideSelection});
  grid->AddRow(4);
  const int values[] = {0, 1, 2, -1};  // two images: 2 and -1 draw nothing
  for (int r = 0; r < 4; ++r) grid->GetCellObject(0, r)->SetAsInteger(values[r]);
  grid->GetCellObject(1, 1)->SetAsBoolean(true);
  grid->SetCellText(2, 0, "green");
  grid->SetCellText(2, 1, "none");
  grid->GetCellObject(2, 2)->SetHint("a hint");
  combo->SetDisplayMode(dmImageOnly);
  QImage img = Picture(grid.get());
  auto cell = [&](int col, int row) { return grid->GetCellRect(col, row); };
  for (int r : {2, 3}) EXPECT_TRUE(qftest::AllPixels(img, cell(0, r), clWindow)) << "index " << values[r];
  // Check boxes: 11 pixels, centred in the 30 x 16 cell at (30, 18 + 16 r).
  const TRect box{30 + 15 - 5, 18 + 8 - 5, 30 + 15 - 5 + 11, 18 + 8 - 5 + 11}, checked{box.Left, box.Top + 16,
                                                                                       box.Right, box.Bottom + 16};
  EXPECT_TRUE(qftest::Ring(img, box, clBtnShadow) && qftest::Ring(img, checked, clBtnShadow));
  // The hint mark: a red triangle in the top-right corner.
  const TRect hinted = cell(2, 2);
  EXPECT_EQ(Missing(img, {{cell(0, 0), clRed, 64}, {cell(0, 1), clLime, 64},
                          At(2, 18 + 4, clRed), At(1, 18 + 4, clWindow),  // placed left, vertically centred
                          {box, clWindowText, 0}, {checked, clWindowText, 3 * 7},  // three strokes of seven pixels
                          // Combo images by the item the text names, at left + 4; image only: no text.
                          {cell(2, 0), clLime, 64}, At(60 + 4, 18 + 4, clLime), {cell(2, 1), clRed, 0},
                          {cell(2, 1), clLime, 0}, {cell(2, 0), clBlack, 0},
                          At(hinted.Right - 1, hinted.Top, clRed), At(hinted.Right - 1, hinted.Top + 3, clRed),
                          At(hinted.Right - 6, hinted.Top, clWindow), {cell(2, 3), clRed, 0}}),
            "");

  combo->SetDisplayMode(dmTextAndImage);
  img = Picture(grid.get());
  EXPECT_GT(CountPixels(img, cell(2, 0), clBlack), 10) << "the text as well";
  EXPECT_EQ(CountPixels(img, {60, 18, 60 + 2 + 11 + 8, 34}, clBlack), 0) << "the text starts 11 + 8 further right";
  grid->SetAppearanceOptions({aoHideSelection});
  EXPECT_EQ(CountPixels(Picture(grid.get()), cell(2, 2), clRed), 0) << "no marks without aoHintMarks";
}

TEST(GridPaintingCells, PaintingEventsColourFormatAndReplaceTheBackground) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {80}, 4, 200, 100));
  auto* check = grid->Columns().Add<TCheckBoxColumn>();
  check->SetWidth(30);
  for (int r = 0; r < 4; ++r) grid->GetCellObject(1, r)->SetAsBoolean(true);
  std::vector<std::string> custom;
  grid->OnCellColoring = [](TObject*, int, int row, TColor& cell, TColor&, TCellState) {
    if (row % 2 == 0) cell = clAqua;
  };
  grid->OnCellFormating = [](TObject*, int, int row, TColor& text, TFontStyles& style, TCellState) {
    if (row == 1) text = clRed;
    if (row == 2) style |= fsBold;
  };
  grid->OnDrawCellBackground = [](TObject*, int col, int row, const TRect&, TCellState, bool& defaultDrawing) {
    if (col == 1 && row == 3) defaultDrawing = false;
  };
  grid->OnCustomDrawCell = [&](TObject*, int col, int row, const TRect&, TCellState) {
    custom.push_back(std::to_string(col) + "," + std::to_string(row));
  };
  check->SetDrawingOptions(doCustom);
  const QImage img = Picture(grid.get());
  EXPECT_EQ(Missing(img, {At(70, 20, clAqua), At(70, 36, clWhite), {grid->GetCellRect(0, 0), clRed, 0}}), "");
  EXPECT_GT(CountPixels(img, grid->GetCellRect(0, 1), clRed), 5) << "the text in red";
  EXPECT_GT(CountPixels(img, grid->GetCellRect(0, 2), clBlack), CountPixels(img, grid->GetCellRect(0, 0), clBlack))
      << "bold is blacker than plain";
  const TRect kept = grid->GetCellRect(1, 3);
  EXPECT_EQ(PixelAt(img, kept.Left, kept.Top), Rgb(clFuchsia)) << "no background where the default was refused";
  EXPECT_EQ(CountPixels(img, kept, clWindowText), 21) << "the content all the same";
  EXPECT_EQ(custom, (std::vector<std::string>{"1,0", "1,1", "1,2", "1,3"}));
}

TEST(GridPaintingCells, FootersAndInputCells) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {60, 60}, 2, 200, 120));
  grid->SetOptions({goHeader, goFooter, goInput, goGrid, goIndicator});
  grid->Columns().Items(0)->Footer().SetColor(clYellow);
  grid->Columns().Items(1)->SetInputCaption("type here");
  // Footer from 120 - 18 - 4 - 1 = 97 to 120; columns from 12.
  const QImage img = Picture(grid.get());
  // The footer, its right and bottom lines, its remainder.
  EXPECT_EQ(Missing(img, {At(30, 100, clYellow), At(71, 100, clBtnFace), At(30, 119, clBtnFace),
                          At(150, 100, clWindow)}),
            "");
  EXPECT_GT(CountPixels(img, {72, 18, 132, 41}, clGrayText), 10) << "the input caption in grey";
}

TEST(GridVisualStyles, ThemedHeadersIndicatorsAndCheckBoxesTakeTheirStates) {
  TShownForm form;
  TGridView* grid = MakeGrid(&form, {60, 60}, 2, 240, 100);
  auto* check = grid->Columns().Add<TCheckBoxColumn>();
  check->SetWidth(30);
  grid->GetCellObject(2, 1)->SetAsBoolean(true);
  grid->SetOptions({goHeader, goIndicator, goFooter});
  using Parts = std::vector<std::string>;
  TThemeRecorder themes;
  Picture(grid);
  EXPECT_EQ(themes.At({40, 9}), Parts{"header 1/1"});
  EXPECT_EQ(themes.At({5, 9}), Parts{"header 1/1"}) << "the indicator's header cell";
  EXPECT_EQ(themes.At({5, 30}), Parts{"header 2/1"}) << "a row's indicator cell";
  EXPECT_EQ(themes.At({230, 9}), Parts{"header 1/1"}) << "the empty header right of the columns";
  const TPoint box0 = grid->GetCellRect(2, 0).TopLeft(), box1 = grid->GetCellRect(2, 1).TopLeft();
  EXPECT_EQ(themes.At({box0.X + 3, box0.Y + 3}), Parts{"button 3/1"});
  EXPECT_EQ(themes.At({box1.X + 3, box1.Y + 3}), Parts{"button 3/5"});
  EXPECT_EQ(CheckBoxRect(*check, grid->GetCellRect(2, 0), true).Width(), 13);

  // The header under the mouse is hot, the one held down pressed.
  qftest::SendMouse(grid->ClientWidget(), QEvent::MouseMove, Qt::NoButton, {100, 9});
  EXPECT_EQ(grid->HotHeaderColumn(), grid->Columns().Items(1));
  themes.Drawn.clear();
  Picture(grid);
  EXPECT_EQ(themes.At({100, 9}), Parts{"header 1/2"});
  EXPECT_EQ(themes.At({40, 9}), Parts{"header 1/1"});
  qftest::SendMouse(grid->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {40, 9});
  themes.Drawn.clear();
  Picture(grid);
  EXPECT_EQ(themes.At({40, 9}), Parts{"header 1/3"});
  qftest::SendMouse(grid->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {40, 9});
  grid->SetEnableVisualStyles(false);
  themes.Drawn.clear();
  Picture(grid);
  EXPECT_TRUE(themes.Drawn.empty()) << "switched off for this grid";
}

// ---------------------------------------------------------------- the render tool

std::pair<int, QImage> Render(QStringList args) {
  static qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("grid.png"));
  QFile::remove(out);
  args << out;
  const char* bin = std::getenv("QF_BIN_DIR");
  QProcess p;
  p.start(QString(bin ? bin : ".") + "/render_control", args);
  const bool done = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit;
  return {done ? p.exitCode() : -1, QImage(out)};
}

TEST(RenderGridView, TheDemoGridInEachStyleEditingWithAListAndADrag) {
  // The grid's frame is 2 pixels; the key column starts after the 12-pixel indicator.
  const TColor blue = RGB(187, 223, 253);
  const struct {
    const char* style;
    TColor header;
  } styles[] = {{"0", blue}, {"1", blue}, {"2", Rgb(clBtnFace)}, {"3", blue}};
  for (const auto& s : styles) {
    auto [code, img] = Render({"gridview", "--header-style", s.style});
    ASSERT_EQ(code, 0) << s.style;
    EXPECT_EQ(img.size(), QSize(760, 260));
    EXPECT_EQ(PixelAt(img, 2 + 12 + 40, 2 + 8), s.header) << "style " << s.style;
    EXPECT_GT(CountPixels(img, RGB(255, 127, 0)) + CountPixels(img, RGB(255, 190, 120)), 0) << "the selected row";
  }
  auto [code, img] = Render({"gridview", "--popup"});
  ASSERT_EQ(code, 0);
  EXPECT_GT(CountPixels(img, {0, 106, 760, 260}, clHighlight), 50) << "the list's highlighted item below the editor";
  std::tie(code, img) = Render({"gridview", "--drag"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(760, 274)) << "room for the arrow above the header";
  EXPECT_GT(CountPixels(img, {0, 0, 760, 14}, clRed), 10) << "the down arrow above the header";
  std::tie(code, img) = Render({"gridview", "--edit"});
  ASSERT_EQ(code, 0);
  EXPECT_GT(CountPixels(img, clHighlight), 10) << "the editor's selected text";
  std::tie(code, img) = Render({"gridview", "--header-style", "4"});
  EXPECT_EQ(code, 2) << "no such style";
}

}  // namespace
