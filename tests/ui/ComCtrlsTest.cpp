#include "GuiTestApp.h"
#include "TestSupport.h"
#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/HtmlView.h"
#include "ui/QtConvert.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::PixelAt;
using qftest::Place;
using qftest::ProcessEventsUntil;
using qftest::SendMouse;
using Log = std::vector<std::string>;

namespace {

/** A form that is shown and active, so that the focus can move. */
struct TShownForm : TForm {
  explicit TShownForm(int w = 500, int h = 400) : TForm(nullptr) {
    SetBounds(40, 40, w, h);
    Show();
    Handle()->activateWindow();
    EXPECT_TRUE(ProcessEventsUntil([this] { return Active(); }));
  }
};

/** A windowed control whose face is a QLineEdit. */
struct THostedEdit : TWinControl {
  explicit THostedEdit(TComponent* owner) : TWinControl(owner) {
    Edit = new QLineEdit;
    HostWidget(Edit);
    SetTabStop(true);
  }
  QLineEdit* Edit;
};

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

void Click(QWidget* w, TPoint p, bool twice = false) {
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, ToQPoint(p));
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, ToQPoint(p));
  if (!twice) return;
  SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, ToQPoint(p));
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, ToQPoint(p));
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, QString());
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, QString());
  QCoreApplication::sendEvent(w, &release);
}

// ---------------------------------------------------------------- tree view

TEST(TreeView, NodesKeepTheirOrderLevelsAndCounts) {
  TTreeView tree(nullptr);
  auto n = BuildTree(&tree);
  TTreeNodes& items = tree.Items();
  TTreeNode* a0 = items.AddChildFirst(n["A"], "a0");
  TTreeNode* first = items.AddChildFirst(nullptr, "first");
  Log order;
  for (int i = 0; i < items.Count(); ++i) order.push_back(items[i]->Text());
  EXPECT_EQ(order, (Log{"first", "A", "a0", "a1", "a2", "B", "b1", "C"}));
  EXPECT_EQ(items.GetFirstNode(), first);
  EXPECT_EQ(n["A"]->Count(), 3);
  EXPECT_EQ(n["A"]->GetFirstChild(), a0);
  EXPECT_EQ(n["A"]->Item(2), n["a2"]);
  EXPECT_EQ(n["a1"]->getNextSibling(), n["a2"]);
  EXPECT_EQ(n["a2"]->getNextSibling(), nullptr);
  EXPECT_EQ(n["a1"]->Parent(), n["A"]);
  EXPECT_EQ(n["b1"]->Level(), 1);
  EXPECT_EQ(n["C"]->Level(), 0);
  EXPECT_EQ(n["C"]->Index(), 3);
  EXPECT_EQ(n["a2"]->Index(), 2);
  EXPECT_THROW(n["A"]->Item(3), EListError);
  EXPECT_THROW(items.Item(8), EListError);
  int payload = 7;
  n["b1"]->SetData(&payload);
  EXPECT_EQ(items[6]->Data(), &payload);
  n["A"]->DeleteChildren();
  EXPECT_EQ(items.Count(), 5);
  EXPECT_FALSE(n["A"]->HasChildren());
  n["B"]->Delete();
  EXPECT_EQ(items.Count(), 3);
  EXPECT_EQ(n["A"]->getNextSibling(), n["C"]);
}

TEST(TreeView, OnChangeFollowsCodeClicksKeysAndDeletionButNotARepeat) {
  TShownForm form;
  auto* tree = Place<TTestTree>(&form, 10, 10, 200, 200);
  auto n = BuildTree(tree);
  Log log;
  tree->OnChange = [&](TObject* sender, TTreeNode* node) {
    log.push_back(NameOf(node) + (sender == tree && tree->Selected() == node ? "" : " (out of step)"));
  };
  tree->SetSelected(n["a1"]);
  tree->SetSelected(n["a1"]);  // no change, no event
  tree->SetFocus();
  const TRect b1 = n["b1"]->DisplayRect(true);
  ASSERT_FALSE(b1.IsEmpty());
  Click(tree->Viewport(), b1.CenterPoint());
  Click(tree->Viewport(), b1.CenterPoint());
  Key(tree->Inner(), Qt::Key_Down);
  EXPECT_EQ(log, (Log{"a1", "b1", "C"}));
  EXPECT_EQ(tree->Selected(), n["C"]);
  log.clear();
  n["a2"]->Delete();  // not selected: nothing to tell
  EXPECT_EQ(log, Log{});
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
  TTreeView last(nullptr);
  TTreeNode* only = last.Items().AddChild(nullptr, "only");
  last.SetSelected(only);
  Log log;
  last.OnChange = [&](TObject*, TTreeNode* node) { log.push_back(NameOf(node)); };
  only->Delete();
  EXPECT_EQ(log, Log{"-"});
}

TEST(TreeView, OnChangingRefusesCodeAndClicksAlike) {
  TShownForm form;
  auto* tree = Place<TTestTree>(&form, 10, 10, 200, 200);
  auto n = BuildTree(tree);
  tree->SetSelected(n["a1"]);
  tree->SetFocus();
  Log log;
  tree->OnChanging = [&](TObject*, TTreeNode* node, bool& allow) {
    log.push_back("asked " + NameOf(node));
    allow = node != n["B"];
  };
  tree->OnChange = [&](TObject*, TTreeNode* node) { log.push_back(NameOf(node)); };
  tree->SetSelected(n["B"]);
  Click(tree->Viewport(), n["B"]->DisplayRect(true).CenterPoint());
  EXPECT_EQ(tree->Selected(), n["a1"]);
  Click(tree->Viewport(), n["C"]->DisplayRect(true).CenterPoint());
  EXPECT_EQ(log, (Log{"asked B", "asked B", "asked C", "C"}));
  // The refused row was never painted as selected. Without the focus the
  // selection is hidden, or grey without HideSelection.
  auto marked = [&](TTreeNode* node, TColor color) {
    ProcessEventsUntil([] { return false; }, 20);
    return CountPixels(tree->ClientWidget()->grab().toImage(), node->DisplayRect(true), color) > 0;
  };
  EXPECT_FALSE(marked(n["B"], clHighlight));
  EXPECT_TRUE(marked(n["C"], clHighlight));
  Place<THostedEdit>(&form, 250, 10, 100, 20)->SetFocus();
  EXPECT_FALSE(marked(n["C"], clHighlight));
  EXPECT_FALSE(marked(n["C"], clBtnFace));
  tree->SetHideSelection(false);
  EXPECT_TRUE(marked(n["C"], clBtnFace));
}

TEST(TreeView, KeysAndDoubleClicksReachTheControlFirst) {
  TShownForm form;
  auto* tree = Place<TTestTree>(&form, 10, 10, 200, 200);
  auto n = BuildTree(tree);
  tree->SetSelected(n["A"]);
  tree->SetFocus();
  bool swallow = true;
  tree->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (swallow && key == VK_DOWN) key = 0;
  };
  Key(tree->Inner(), Qt::Key_Down);
  EXPECT_EQ(tree->Selected(), n["A"]);
  swallow = false;
  Key(tree->Inner(), Qt::Key_Down);
  EXPECT_EQ(tree->Selected(), n["a1"]);
  int doubles = 0;
  tree->OnDblClick = [&](TObject*) { ++doubles; };
  Click(tree->Viewport(), n["b1"]->DisplayRect(true).CenterPoint(), true);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(tree->Selected(), n["b1"]);
}

TEST(TreeView, ImagesLinesAndButtonsAreDrawnTheClassicWay) {
  TShownForm form;
  auto* tree = Place<TTestTree>(&form, 10, 10, 200, 200);
  TImageList images(16, 16);
  for (TColor color : {clRed, clLime, clBlue}) {
    TBitmap b(16, 16);
    b.Canvas()->Brush.Color = color;
    b.Canvas()->FillRect({0, 0, 16, 16});
    images.Add(b);
  }
  tree->SetImages(&images);
  auto n = BuildTree(tree);
  n["a1"]->SetImageIndex(1);
  n["a1"]->SetSelectedIndex(2);
  n["C"]->SetImageIndex(-1);
  auto imageAt = [&](TTreeNode* node) {
    ProcessEventsUntil([] { return false; }, 20);
    const QImage img = tree->ClientWidget()->grab().toImage();
    const TRect text = node->DisplayRect(true);
    return PixelAt(img, text.Left - 10, (text.Top + text.Bottom) / 2);
  };
  EXPECT_EQ(imageAt(n["a1"]), clLime);
  EXPECT_EQ(imageAt(n["A"]), clRed) << "new nodes show image 0";
  EXPECT_EQ(imageAt(n["C"]), ColorToRGB(clWindow)) << "-1 shows none";
  tree->SetSelected(n["a1"]);
  EXPECT_EQ(imageAt(n["a1"]), clBlue) << "the selected image";
  EXPECT_EQ(n["a1"]->DisplayRect(true).Height(), 17) << "rows fit the images";

  // The button of A: a grey box with a minus while expanded, a plus when not.
  auto button = [&](TTreeNode* node) {
    const QImage img = tree->ClientWidget()->grab().toImage();
    const TRect row = node->DisplayRect(false);
    const int cx = node->Level() * tree->Indent() + tree->Indent() / 2, mid = (row.Top + row.Bottom) / 2;
    std::string s;
    s += PixelAt(img, cx - 4, mid) == ColorToRGB(clBtnShadow) ? "box " : "no box ";
    s += PixelAt(img, cx + 2, mid) == clBlack ? "-" : "";
    s += PixelAt(img, cx, mid - 2) == clBlack ? "|" : "";
    return s;
  };
  EXPECT_EQ(button(n["A"]), "box -");
  n["A"]->SetExpanded(false);
  ProcessEventsUntil([] { return false; }, 20);
  EXPECT_EQ(button(n["A"]), "box -|");
  EXPECT_EQ(button(n["C"]), "no box ");
  EXPECT_TRUE(n["a1"]->DisplayRect(true).IsEmpty()) << "a collapsed parent hides its children";
}

}  // namespace
