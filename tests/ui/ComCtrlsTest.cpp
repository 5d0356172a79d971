#include "GuiTestApp.h"
#include "core/Files.h"
#include "ui/ComCtrls.h"
#include "ui/HtmlView.h"
#include "ui/QtConvert.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

using namespace qftest;

namespace {

/** The tree's inner Qt widget, for real clicks and keys. */
struct TTestTree : TTreeView {
  using TTreeView::TTreeView;
  QWidget* Inner() const { return Hosted(); }
  QWidget* Viewport() const { return static_cast<QAbstractScrollArea*>(Hosted())->viewport(); }
};

std::string NameOf(const TTreeNode* n) { return n ? n->Text() : "-"; }

/** Roots A { a1, a2 }, B { b1 }, C, every node expanded; nodes by name. */
std::map<std::string, TTreeNode*> BuildTree(TTreeView* tree) {
  std::map<std::string, TTreeNode*> n;
  TTreeNodes& items = tree->Items();
  n["A"] = items.Add(nullptr, "A");
  n["a1"] = items.AddChild(n["A"], "a1");
  n["a2"] = items.AddChild(n["A"], "a2");
  n["B"] = items.Add(n["A"], "B");
  n["b1"] = items.AddChild(n["B"], "b1");
  n["C"] = items.Add(nullptr, "C");
  n["A"]->SetExpanded(true);
  n["B"]->SetExpanded(true);
  return n;
}

/** A shown form with the tree of BuildTree on it, focused. */
class ShownTreeView : public ::testing::Test {
protected:
  void SetUp() override { tree->SetFocus(); }
  void ClickOn(const char* node, bool twice = false) {
    Click(tree->Viewport(), ToQPoint(n[node]->DisplayRect(true).CenterPoint()), twice);
  }
  void Press(Qt::Key key) { Key(tree->Inner(), key); }
  TShownForm form;
  TTestTree* tree = Place<TTestTree>(&form, 10, 10, 200, 200);
  std::map<std::string, TTreeNode*> n = BuildTree(tree);
};

// ---------------------------------------------------------------- tree view

TEST(TreeView, NodesKeepTheirOrderLevelsAndCounts) {
  TTreeView tree(nullptr);
  auto n = BuildTree(&tree);
  TTreeNodes& items = tree.Items();
  items.AddChildFirst(n["A"], "a0");
  items.AddChildFirst(nullptr, "first");
  Log order;
  for (int i = 0; i < items.Count(); ++i) order.push_back(items[i]->Text() + std::to_string(items[i]->Level()));
  EXPECT_EQ(order, (Log{"first0", "A0", "a01", "a11", "a21", "B0", "b11", "C0"}));
  EXPECT_EQ(n["A"]->Item(2), n["a2"]);
  EXPECT_EQ(n["C"]->Index(), 3);
  EXPECT_THROW(n["A"]->Item(3), EListError);
  EXPECT_THROW(items.Item(8), EListError);
  n["A"]->DeleteChildren();
  EXPECT_EQ(items.Count(), 5);
  n["B"]->Delete();
  EXPECT_EQ(items.Count(), 3);
  EXPECT_EQ(n["A"]->getNextSibling(), n["C"]);
}

TEST_F(ShownTreeView, OnChangeFollowsCodeClicksKeysAndDeletionButNotARepeat) {
  Log log;
  tree->OnChange = [&](TObject* sender, TTreeNode* node) {
    log.push_back(NameOf(node) + (sender == tree && tree->Selected() == node ? "" : " (out of step)"));
  };
  tree->SetSelected(n["a1"]);
  tree->SetSelected(n["a1"]);  // no change, no event
  const TRect b1 = n["b1"]->DisplayRect(true);
  EXPECT_EQ(tree->GetNodeAt(2, b1.Top + 1), n["b1"]) << "anywhere on its row";
  EXPECT_EQ(tree->GetNodeAt(2, 190), nullptr);
  ClickOn("b1");
  ClickOn("b1");
  Press(Qt::Key_Down);
  EXPECT_EQ(log, (Log{"a1", "b1", "C"}));
  log.clear();
  n["a2"]->Delete();  // not selected: nothing to tell
  n["C"]->Delete();
  tree->Items().Clear();
  tree->Items().Clear();  // nothing was selected any more
  EXPECT_EQ(log, (Log{"B", "-"}));
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST(TreeView, DeletingTheSelectionMovesItToTheNextSiblingThenTheParentThenThePrevious) {
  const struct {
    const char* selected;
    const char* deleted;  // "*A": the children of A
    const char* after;    // nullptr: no OnChange at all
  } cases[] = {
      {"a1", "a1", "a2"}, {"a2", "a2", "A"}, {"C", "C", "B"},      {"a1", "A", "B"},
      {"b1", "B", "C"},   {"a2", "*A", "A"}, {"b1", "a1", nullptr}, {"A", "*A", nullptr},
  };
  for (const auto& c : cases) {
    TTreeView tree(nullptr);
    auto n = BuildTree(&tree);
    tree.SetSelected(n[c.selected]);
    Log log;
    tree.OnChange = [&](TObject*, TTreeNode* node) { log.push_back(NameOf(node)); };
    if (c.deleted[0] == '*')
      n[c.deleted + 1]->DeleteChildren();
    else
      n[c.deleted]->Delete();
    EXPECT_EQ(log, c.after ? Log{c.after} : Log{}) << c.selected << " / " << c.deleted;
    EXPECT_EQ(NameOf(tree.Selected()), c.after ? c.after : c.selected);
  }
}

TEST_F(ShownTreeView, OnChangingRefusesCodeAndClicksAlike) {
  tree->SetSelected(n["a1"]);
  Log log;
  tree->OnChanging = [&](TObject*, TTreeNode* node, bool& allow) {
    log.push_back("asked " + NameOf(node));
    allow = node != n["B"];
  };
  tree->OnChange = [&](TObject*, TTreeNode* node) { log.push_back(NameOf(node)); };
  tree->SetSelected(n["B"]);
  ClickOn("B");
  EXPECT_EQ(tree->Selected(), n["a1"]);
  ClickOn("C");
  EXPECT_EQ(log, (Log{"asked B", "asked B", "asked C", "C"}));
  // The refused row was never painted as selected. Without the focus the
  // selection is hidden, or grey without HideSelection.
  auto marked = [&](TTreeNode* node, TColor color) {
    return CountPixels(Grabbed(tree), node->DisplayRect(true), color) > 0;
  };
  EXPECT_FALSE(marked(n["B"], clHighlight));
  EXPECT_TRUE(marked(n["C"], clHighlight));
  Place<THostedEdit>(&form, 250, 10, 100, 20)->SetFocus();
  EXPECT_FALSE(marked(n["C"], clHighlight));
  EXPECT_FALSE(marked(n["C"], clBtnFace));
  tree->SetHideSelection(false);
  EXPECT_TRUE(marked(n["C"], clBtnFace));
}

TEST_F(ShownTreeView, KeysAndDoubleClicksReachTheControlFirst) {
  tree->SetSelected(n["A"]);
  bool swallow = true;
  tree->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (swallow && key == VK_DOWN) key = 0;
  };
  Press(Qt::Key_Down);
  EXPECT_EQ(tree->Selected(), n["A"]);
  swallow = false;
  Press(Qt::Key_Down);
  EXPECT_EQ(tree->Selected(), n["a1"]);
  int doubles = 0;
  tree->OnDblClick = [&](TObject*) { ++doubles; };
  ClickOn("b1", true);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(tree->Selected(), n["b1"]);
}

TEST_F(ShownTreeView, ASelectedNodeComesIntoViewAndOnlyAnEditableTreeRenamesIt) {
  n["B"]->SetExpanded(false);
  tree->SetSelected(n["b1"]);
  EXPECT_TRUE(n["B"]->Expanded());
  EXPECT_FALSE(n["b1"]->DisplayRect(true).IsEmpty());

  for (bool readOnly : {true, false}) {
    tree->SetReadOnly(readOnly);
    Press(Qt::Key_F2);
    QWidget* editor = Focus();
    if (readOnly) {
      EXPECT_EQ(editor, tree->Inner()) << "no editor";
      continue;
    }
    ASSERT_NE(editor, tree->Inner());
    QTest::keyClicks(editor, "new");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(ProcessEventsUntil([&] { return n["b1"]->Text() == "new"; }));
  }
}

TEST_F(ShownTreeView, ImagesLinesAndButtonsAreDrawnTheClassicWay) {
  TImageList images(16, 16);
  for (TColor color : {clRed, clLime, clBlue}) {
    TBitmap b(16, 16);
    b.Canvas()->Brush.Color = color;
    b.Canvas()->FillRect({0, 0, 16, 16});
    images.Add(b);
  }
  tree->SetImages(&images);
  n["a1"]->SetImageIndex(1);
  n["a1"]->SetSelectedIndex(2);
  n["C"]->SetImageIndex(-1);
  auto imageAt = [&](TTreeNode* node) {
    const TRect text = node->DisplayRect(true);
    return PixelAt(Grabbed(tree), text.Left - 10, (text.Top + text.Bottom) / 2);
  };
  EXPECT_EQ(imageAt(n["a1"]), clLime);
  EXPECT_EQ(imageAt(n["A"]), clRed) << "new nodes show image 0";
  EXPECT_EQ(imageAt(n["C"]), ColorToRGB(clWindow)) << "-1 shows none";
  tree->SetSelected(n["a1"]);
  EXPECT_EQ(imageAt(n["a1"]), clBlue) << "the selected image";
  EXPECT_EQ(n["a1"]->DisplayRect(true).Height(), 17) << "rows fit the images";

  // The button of A: a grey box with a minus while expanded, a plus when not.
  auto button = [&](TTreeNode* node) {
    const QImage img = Grabbed(tree);
    const TRect row = node->DisplayRect(false);
    const int cx = node->Level() * tree->Indent() + tree->Indent() / 2, mid = (row.Top + row.Bottom) / 2;
    std::string s = PixelAt(img, cx - 4, mid) == ColorToRGB(clBtnShadow) ? "box " : "no box ";
    s += PixelAt(img, cx + 2, mid) == clBlack ? "-" : "";
    return s + (PixelAt(img, cx, mid - 2) == clBlack ? "|" : "");
  };
  EXPECT_EQ(button(n["A"]), "box -");
  n["A"]->SetExpanded(false);
  EXPECT_EQ(button(n["A"]), "box -|");
  EXPECT_EQ(button(n["C"]), "no box ");
  EXPECT_TRUE(n["a1"]->DisplayRect(true).IsEmpty()) << "a collapsed parent hides its children";
}

// ---------------------------------------------------------------- status bar

/** The colours of a panel's edges: left, top, right, bottom. */
std::vector<TColor> Edges(const QImage& img, const TRect& r) {
  const int mx = (r.Left + r.Right) / 2, my = (r.Top + r.Bottom) / 2;
  return {PixelAt(img, r.Left, my), PixelAt(img, mx, r.Top), PixelAt(img, r.Right - 1, my),
          PixelAt(img, mx, r.Bottom - 1)};
}

TEST(StatusBar, PanelsLieSideBySideTheLastUpToTheEdgeWithTheirBevels) {
  TShownForm form(600, 300);
  auto* bar = new TStatusBar(&form);
  bar->SetParent(&form);
  EXPECT_EQ(bar->BoundsRect(), (TRect{0, form.ClientHeight() - 19, form.ClientWidth(), form.ClientHeight()}))
      << "aligned to the bottom";
  const int w = bar->ClientWidth();
  for (auto [width, bevel] : {std::pair{150, pbLowered}, {200, pbRaised}, {50, pbNone}, {50, pbLowered}}) {
    TStatusPanel* p = bar->Panels().Add();
    p->SetWidth(width);
    p->SetBevel(bevel);
  }
  const std::vector<TRect> rects = {{0, 2, 150, 19}, {152, 2, 350, 19}, {352, 2, 400, 19}, {402, 2, w, 19}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bar->PanelRect(i), rects[i]) << i;
  EXPECT_TRUE(bar->PanelRect(4).IsEmpty());
  EXPECT_THROW(bar->Panels().Items(4), EListError);

  bar->Panels()[0]->SetText("DB: shop");
  bar->Panels()[1]->SetText("Table: orders");
  bar->Panels()[1]->SetAlignment(taRightJustify);
  bar->Repaint();
  QImage img = bar->PaintedImage();
  const TColor sh = ColorToRGB(clBtnShadow), hi = ColorToRGB(clBtnHighlight), face = ColorToRGB(clBtnFace);
  EXPECT_EQ(Edges(img, rects[0]), (std::vector<TColor>{sh, sh, hi, hi})) << "lowered";
  EXPECT_EQ(Edges(img, rects[1]), (std::vector<TColor>{hi, hi, sh, sh})) << "raised";
  EXPECT_EQ(Edges(img, rects[2]), (std::vector<TColor>{face, face, face, face})) << "no bevel";
  EXPECT_TRUE(AllPixels(img, {150, 0, 152, 19}, clBtnFace)) << "the gap between two panels";
  EXPECT_TRUE(AllPixels(img, {0, 0, w, 2}, clBtnFace)) << "the border above the panels";

  // Texts: where their ink lies, not what it looks like.
  auto ink = [&](const TRect& r) { return CountPixels(img, r, clBlack); };
  EXPECT_TRUE(ink({1, 3, 3, 18}) == 0 && ink({3, 3, 6, 18}) > 0) << "left-justified text starts at the panel's left";
  EXPECT_TRUE(ink({341, 3, 348, 18}) > 0 && ink({348, 3, 349, 18}) == 0)
      << "right-justified text ends at the panel's right";
  EXPECT_EQ(ink({353, 3, 399, 18}), 0) << "an empty panel stays empty";

  bar->Panels()[0]->SetText("");
  bar->SetSimpleText("Simple");
  bar->SetSimplePanel(true);
  bar->Repaint();
  img = bar->PaintedImage();
  EXPECT_EQ(Edges(img, bar->SimpleRect()), (std::vector<TColor>{sh, sh, hi, hi}));
  EXPECT_EQ(PixelAt(img, 151, 10), ColorToRGB(clBtnFace)) << "no panel edges in simple mode";
  EXPECT_EQ(ink({150, 3, w, 18}), 0) << "only the simple text shows";
  EXPECT_GT(ink({1, 3, 149, 18}), 0);
}

TEST(StatusBar, TheSizeGripShowsOnSizeableFormsAndSizesThem) {
  for (TFormBorderStyle style : {bsSizeable, bsDialog}) {
    TShownForm form;
    form.SetBorderStyle(style);
    auto* bar = new TStatusBar(&form);
    bar->SetParent(&form);
    bar->Repaint();
    const TRect corner{bar->ClientWidth() - 12, 7, bar->ClientWidth(), 19};
    const int shadow = CountPixels(bar->PaintedImage(), corner, clBtnShadow);
    if (style == bsDialog) {
      EXPECT_TRUE(bar->SizeGripRect().IsEmpty());
      EXPECT_EQ(shadow, 0);
      continue;
    }
    EXPECT_GT(shadow, 20) << "three grooves";
    bar->SetSizeGrip(false);
    bar->Repaint();
    EXPECT_EQ(CountPixels(bar->PaintedImage(), corner, clBtnShadow), 0);
    bar->SetSizeGrip(true);
    const QPoint grip = ToQPoint(bar->SizeGripRect().CenterPoint());
    SendMouse(bar->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, grip);
    SendMouse(bar->ClientWidget(), QEvent::MouseMove, Qt::LeftButton, grip + QPoint(30, 20));
    SendMouse(bar->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, grip + QPoint(30, 20));
    EXPECT_EQ(std::pair(form.Width(), form.Height()), std::pair(430, 320));
    EXPECT_EQ(bar->Width(), form.ClientWidth()) << "the bar follows the form";
  }
}

// ---------------------------------------------------------------- tab controls

TTabControl* NewTabs(TWinControl* parent, std::vector<std::string> captions, int w = 300, int h = 200) {
  auto* tabs = Place<TTabControl>(parent, 0, 0, w, h);
  for (const auto& c : captions) tabs->Tabs().Add(c);
  return tabs;
}

TEST(TabControl, TabsFrameAndDisplayAreaFollowTheTabPosition) {
  const TColor hi = ColorToRGB(clBtnHighlight), dark = ColorToRGB(cl3DDkShadow), face = ColorToRGB(clBtnFace);
  const struct {
    TTabPosition pos;
    TRect tab0, tab1, frame;
    TPoint beyond;  // where the active tab 0 stands out beyond its rectangle
    TColor edge;    // the frame's outer edge where an inactive tab meets it
  } cases[] = {
      {tpTop, {2, 2, 62, 22}, {62, 2, 122, 22}, {0, 22, 300, 200}, {30, 0}, hi},
      {tpBottom, {2, 178, 62, 198}, {62, 178, 122, 198}, {0, 0, 300, 178}, {30, 199}, dark},
      {tpLeft, {2, 2, 22, 62}, {2, 62, 22, 122}, {22, 0, 300, 200}, {0, 30}, hi},
      {tpRight, {278, 2, 298, 62}, {278, 62, 298, 122}, {0, 0, 278, 200}, {299, 30}, dark},
  };
  TForm form(nullptr);
  for (const auto& c : cases) {
    TTabControl* tabs = NewTabs(&form, {"One", "Two", "Three"});
    tabs->SetTabPosition(c.pos);
    tabs->SetTabWidth(60);
    tabs->SetTabHeight(20);
    SCOPED_TRACE(c.pos);
    EXPECT_EQ(tabs->TabIndex(), 0) << "the first tab is selected as it comes";
    EXPECT_EQ(tabs->TabRect(0), c.tab0);
    EXPECT_EQ(tabs->TabRect(1), c.tab1);
    EXPECT_EQ(tabs->PageFrameRect(), c.frame);
    TRect display = c.frame;
    InflateRect(display, -4, -4);
    EXPECT_EQ(tabs->DisplayRect(), display);

    // Hit testing: a tab at its centre, the active one where it stands out.
    const TPoint one = tabs->TabRect(1).CenterPoint(), mid = display.CenterPoint();
    EXPECT_EQ(tabs->IndexOfTabAt(one.X, one.Y), 1);
    EXPECT_EQ(tabs->IndexOfTabAt(c.beyond.X, c.beyond.Y), 0);
    EXPECT_EQ(tabs->IndexOfTabAt(mid.X, mid.Y), -1);
    const TRect end = tabs->TabRect(2);
    const bool across = c.pos == tpTop || c.pos == tpBottom;
    EXPECT_EQ(tabs->IndexOfTabAt(across ? end.Right + 5 : end.Left + 5, across ? end.Top + 5 : end.Bottom + 5), -1)
        << "the strip beyond the last tab";

    // The active tab opens into the frame; the others sit on its edge.
    QImage img = FilledImage(300, 200, clRed);
    tabs->PaintTo(img);
    EXPECT_EQ(CountPixels(img, clRed), 0) << "everything painted";
    auto edgeUnder = [&](int i) {
      const TPoint p = tabs->TabRect(i).CenterPoint();
      return across ? PixelAt(img, p.X, c.pos == tpTop ? c.frame.Top : c.frame.Bottom - 1)
                    : PixelAt(img, c.pos == tpLeft ? c.frame.Left : c.frame.Right - 1, p.Y);
    };
    EXPECT_EQ(edgeUnder(1), c.edge);
    EXPECT_EQ(edgeUnder(0), face);
    EXPECT_NE(PixelAt(img, c.beyond.X, c.beyond.Y), face) << "the active tab's outer edge";
    delete tabs;
  }
}

TEST(TabControl, SizesComeFromCaptionsAndImagesAndMultiLineRowsWrapStretchAndTurn) {
  TForm form(nullptr);
  TTabControl* sized = NewTabs(&form, {"Table details", "Site settings"});
  TCanvas measure;
  measure.Font = sized->Font();
  TImageList images(24, 24);
  sized->SetImages(&images);
  EXPECT_EQ(sized->TabRect(0).Width(), measure.TextWidth("Table details") + 12 + 24 + 3);
  EXPECT_EQ(sized->TabRect(0).Height(), 24 + 6);

  TTabControl* tabs = NewTabs(&form, {"0", "1", "2", "3", "4"}, 200, 150);
  tabs->SetTabWidth(60);
  tabs->SetTabHeight(20);
  tabs->SetMultiLine(true);
  ASSERT_EQ(tabs->RowCount(), 2);  // 196 pixels take three tabs of 60
  EXPECT_EQ(tabs->TabRect(0), (TRect{2, 22, 67, 42})) << "the selected row next to the page, stretched";
  EXPECT_EQ(tabs->TabRect(2), (TRect{132, 22, 198, 42}));
  EXPECT_EQ(tabs->TabRect(3), (TRect{2, 2, 100, 22}));
  EXPECT_EQ(tabs->DisplayRect().Top, 46);
  tabs->SetTabIndex(4);
  EXPECT_EQ(tabs->TabRect(4).Top, 22);
  EXPECT_EQ(tabs->TabRect(0).Top, 2);
  tabs->SetRaggedRight(true);
  EXPECT_EQ(tabs->TabRect(4), (TRect{62, 22, 122, 42}));

  // One row that does not fit scrolls the selected tab into view.
  tabs->SetMultiLine(false);
  for (int i = 5; i < 10; ++i) tabs->Tabs().Add(std::to_string(i));
  EXPECT_EQ(tabs->RowCount(), 1);
  tabs->SetTabIndex(9);
  EXPECT_LE(tabs->TabRect(9).Right, 198);
  EXPECT_GE(tabs->TabRect(9).Left, 2);
  tabs->SetTabIndex(0);
  EXPECT_EQ(tabs->TabRect(0).Left, 2);
}

TEST(TabControl, TheUsersChoicesAskAndTellButCodeDoesNot) {
  TShownForm form;
  TTabControl* tabs = NewTabs(&form, {"One", "Two", "Three"});
  Log log;
  bool allow = true;
  tabs->OnChanging = [&](TObject*, bool& ok) {
    log.push_back("changing " + std::to_string(tabs->TabIndex()));
    ok = allow;
  };
  tabs->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(tabs->TabIndex())); };
  const QPoint second = ToQPoint(tabs->TabRect(1).CenterPoint());
  Click(tabs->ClientWidget(), second);
  Click(tabs->ClientWidget(), second);  // already selected
  tabs->SetTabIndex(2);
  tabs->SetFocus();
  Key(Focus(), Qt::Key_Left);
  allow = false;
  Click(tabs->ClientWidget(), ToQPoint(tabs->TabRect(0).CenterPoint()));
  Key(Focus(), Qt::Key_Right);
  EXPECT_EQ(log, (Log{"changing 0", "change 1", "changing 2", "change 1", "changing 1", "changing 1"}));
  EXPECT_EQ(tabs->TabIndex(), 1);

  // Editing the list keeps the selection on its tab.
  tabs->Tabs().Insert(0, "Zero");
  EXPECT_EQ(tabs->TabIndex(), 2);
  tabs->Tabs().Delete(2);
  EXPECT_EQ(tabs->TabIndex(), -1);
  tabs->SetTabIndex(7);
  EXPECT_EQ(tabs->TabIndex(), -1);
}

TEST(TabControl, OwnerDrawnTabsGetTheirInsideAndTheHotTabItsColour) {
  TForm form(nullptr);
  TTabControl* tabs = NewTabs(&form, {"One", "Two"});
  std::vector<std::tuple<int, TRect, bool>> calls;
  tabs->OnDrawTab = [&](TCustomTabControl* control, int index, const TRect& r, bool active) {
    calls.emplace_back(index, r, active);
    control->Canvas()->Brush.Color = clLime;
    control->Canvas()->FillRect(r);
  };
  QImage img = FilledImage(300, 200, clRed);
  tabs->PaintTo(img);
  EXPECT_TRUE(calls.empty()) << "only with OwnerDraw";
  tabs->SetOwnerDraw(true);
  tabs->PaintTo(img);
  const TRect one = tabs->TabRect(1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::make_tuple(1, TRect{one.Left + 2, one.Top + 2, one.Right - 2, one.Bottom}, false));
  EXPECT_EQ(std::tuple(std::get<0>(calls[1]), std::get<2>(calls[1])), std::tuple(0, true));
  EXPECT_TRUE(AllPixels(img, std::get<1>(calls[0]), clLime));
  EXPECT_EQ(PixelAt(img, one.Right - 1, one.CenterPoint().Y), ColorToRGB(cl3DDkShadow)) << "the edges stay ours";

  tabs->SetOwnerDraw(false);
  tabs->SetHotTrack(true);
  SendMouse(tabs->ClientWidget(), QEvent::MouseMove, Qt::NoButton, ToQPoint(one.CenterPoint()));
  EXPECT_EQ(tabs->HotTab(), 1);
  img = FilledImage(300, 200, clRed);
  tabs->PaintTo(img);
  EXPECT_GT(CountPixels(img, one, clHotLight), 0);
  Hover(tabs->Handle(), false);
  EXPECT_EQ(tabs->HotTab(), -1);
}

// ---------------------------------------------------------------- page control

/** A page control with pages named P0, P1, ... that log their show and hide. */
std::vector<TTabSheet*> AddPages(TPageControl* pages, int count, Log* log) {
  std::vector<TTabSheet*> out;
  for (int i = 0; i < count; ++i) {
    auto* sheet = new TTabSheet(pages);
    const std::string name = Str("P", i);
    sheet->SetCaption(name);
    sheet->OnShow = [log, name](TObject*) { log->push_back("show " + name); };
    sheet->OnHide = [log, name](TObject*) { log->push_back("hide " + name); };
    sheet->SetPageControl(pages);
    out.push_back(sheet);
  }
  return out;
}

TEST(PageControl, PagesShowFromCodeAndTheirTabsFollowTabVisible) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 500, 400);
  auto* pc = Place<TPageControl>(&form, 10, 10, 400, 300);
  Log log;
  auto p = AddPages(pc, 4, &log);
  EXPECT_EQ(pc->ActivePage(), p[0]) << "the first page comes with its tab selected";
  EXPECT_EQ(log, Log{}) << "not in view while the form is hidden";
  form.Show();
  EXPECT_EQ(log, Log{"show P0"});

  log.clear();
  pc->SetActivePageIndex(2);
  EXPECT_EQ(log, (Log{"show P2", "hide P0"}));
  EXPECT_EQ(pc->TabIndex(), 2);
  EXPECT_EQ(p[2]->BoundsRect(), pc->DisplayRect());
  EXPECT_FALSE(p[0]->Showing());
  for (int index : {-1, 4}) {
    pc->SetActivePageIndex(2);
    pc->SetActivePageIndex(index);
    EXPECT_EQ(std::tuple(pc->ActivePage(), pc->TabIndex()), std::tuple(nullptr, -1)) << index;
  }

  // A page without a tab stays in the list; the later tabs move up.
  pc->SetActivePageIndex(2);
  log.clear();
  p[1]->SetTabVisible(false);
  EXPECT_EQ(pc->TabIndex(), 1) << "the active page keeps its tab";
  pc->SetActivePage(p[1]);
  EXPECT_EQ(pc->TabIndex(), -1) << "shown, but without a tab to select";
  EXPECT_EQ(log, (Log{"show P1", "hide P2"}));

  p[1]->SetTabVisible(true);
  pc->SetActivePage(p[3]);
  p[3]->SetPageIndex(0);
  EXPECT_EQ(pc->TabIndex(), 0) << "the tab moves with its page";
  EXPECT_THROW(p[3]->SetPageIndex(4), EListError);
  p[0]->SetCaption("Zero");
  EXPECT_EQ(pc->Tabs()[1], "Zero");
  pc->SetActivePage(p[1]);
  TPageControl other(nullptr);
  auto* stranger = new TTabSheet(&other);
  stranger->SetPageControl(&other);
  pc->SetActivePage(stranger);
  EXPECT_EQ(pc->ActivePage(), p[1]) << "a page of another control is ignored";

  // Removing the active page: the next one with a tab comes.
  log.clear();
  delete p[1];
  EXPECT_EQ(pc->ActivePage(), p[2]);
  EXPECT_EQ(log, Log{"show P2"});
  EXPECT_EQ(pc->PageCount(), 3);
}

TEST(PageControl, TheUserTurnsPagesByTabAndCtrlTabInTheInnermostControl) {
  TShownForm form(600, 450);
  Log log;
  auto* outer = Place<TPageControl>(&form, 0, 0, 560, 400);
  auto outerPages = AddPages(outer, 2, &log);
  auto* inner = Place<TPageControl>(outerPages[0], 0, 0, 400, 300);
  Log innerLog;
  auto pages = AddPages(inner, 4, &innerLog);
  pages[2]->SetTabVisible(false);
  int changes = 0;
  inner->OnChange = [&](TObject*) { ++changes; };
  auto* edit = Place<THostedEdit>(pages[0], 10, 10, 100, 20);
  int editKeys = 0;
  edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { editKeys += key == VK_TAB; };
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());

  auto ctrlTab = [&](bool back) {
    QTest::keyClick(Focus(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                    back ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    return inner->ActivePageIndex();
  };
  EXPECT_EQ(ctrlTab(false), 1);
  EXPECT_EQ(editKeys, 0) << "the Tab key is used up";
  EXPECT_TRUE(inner->Focused()) << "the focus left the hidden page";
  EXPECT_EQ(ctrlTab(false), 3) << "a page without a tab is skipped";
  EXPECT_EQ(ctrlTab(false), 0);
  EXPECT_EQ(ctrlTab(true), 3);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(outer->ActivePageIndex(), 0) << "the outer control keeps its page";
  EXPECT_EQ(innerLog, (Log{"show P0", "show P1", "hide P0", "show P3", "hide P1", "show P0", "hide P3", "show P3",
                           "hide P0"}));

  inner->OnChanging = [&](TObject*, bool& allow) { allow = false; };
  EXPECT_EQ(ctrlTab(false), 3) << "OnChanging may refuse";
  inner->OnChanging = nullptr;
  Click(inner->ClientWidget(), ToQPoint(inner->TabRect(1).CenterPoint()));
  EXPECT_EQ(inner->ActivePage(), pages[1]) << "a click on a tab";
  EXPECT_EQ(changes, 5);
}

// ---------------------------------------------------------------- HTML view

TEST(HtmlView, ShowsAPageWithTheStyleSheetItLinksFromItsFolder) {
  TempDir dir;
  ForceDirectories(dir.File("themes/blue"));
  const std::string theme = dir.File("themes/blue");
  WriteFile(theme + "/blue.css", "td.cell { background-color: #0000ff; color: #ffffff; }\n");
  const std::string page =
      "<link href=\"blue.css\" rel=\"stylesheet\" type=\"text/css\">\r\n"
      "<table width=\"100%\"><tr><td class=\"cell\">Preview</td></tr></table>\n";
  WriteFile(theme + "/preview.html", page);

  TShownForm form;
  auto* view = Place<THtmlView>(&form, 0, 0, 300, 200);
  auto painted = [&](TColor color) { return CountPixels(Grabbed(view), color); };
  view->Navigate(theme + "/preview.html");
  EXPECT_EQ(view->LocationName(), theme + "/preview.html");
  EXPECT_EQ(view->PlainText(), "\nPreview\n") << "a table stands in lines of its own";
  EXPECT_GT(painted(clBlue), 250 * 10) << "the linked style sheet colours the cell";

  // The same page as text: the links resolve against the folder given.
  view->LoadFromString(page, theme);
  EXPECT_GT(painted(clBlue), 250 * 10);
  view->LoadFromString(page, dir.Path());
  EXPECT_EQ(painted(clBlue), 0) << "no style sheet there";

  // Shown again after the theme changed, the page shows the new style.
  WriteFile(theme + "/blue.css", "td.cell { background-color: #ff0000; }\n");
  view->Navigate(theme + "/preview.html");
  EXPECT_GT(painted(clRed), 250 * 10);

  EXPECT_THROW(view->Navigate(theme + "/missing.html"), EFOpenError);
  EXPECT_EQ(view->PlainText(), "\nPreview\n") << "a page that cannot be read leaves the last one";
  view->Clear();
  EXPECT_EQ(view->PlainText(), "");
}

}  // namespace
