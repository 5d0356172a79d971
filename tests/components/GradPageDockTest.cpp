// Docking forms into the owner-drawn page control: a page of its own per
// docked form, the tab following the form's caption and visibility, and
// the form dragged out by its tab or floated by a double click on it.

#include "GuiTestApp.h"
#include "components/FlatPanel.h"
#include "components/GradPageControl.h"
#include "ui/Forms.h"

#include <gtest/gtest.h>

#include <string>

using namespace qftest;

namespace {

std::string Name(TObject* o) {
  auto* c = dynamic_cast<TControl*>(o);
  return !o ? "none" : c ? c->Name() : "object";
}

/** A shown form with a page control that takes docked forms (one page of
 *  its own, "Start"), and a form that docks, "Orders" on two lines. */
struct TDockSite {
  TDockSite() {
    Pages = Place<TGradPageControl>(&Host, 10, 10, 300, 200);
    Pages->SetName("Pages");
    Pages->SetDockSite(true);
    auto* start = new TGradTabSheet(Pages);
    start->SetCaption("Start");
    start->SetPageControl(Pages);
    Doc = new TForm(&Host);
    Doc->SetName("Doc");
    Doc->SetCaption("Orders\nby date");
    Doc->SetDragKind(dkDock);
    Doc->SetBounds(420, 300, 200, 150);
    Pages->OnDockDrop = [this](TObject* s, TDragDockObject* source, int, int) {
      Events.push_back(Name(s) + " dock drop " + Name(source->Control()));
    };
    Pages->OnUnDock = [this](TObject* s, TControl* client, TWinControl* to, bool& allow) {
      Events.push_back(Name(s) + " undock " + Name(client) + " to " + Name(to));
      allow = Allow;
    };
    Pages->OnDockOver = [this](TObject* s, TDragDockObject*, int, int, TDragState state, bool&) {
      if (state == dsDragEnter) Events.push_back(Name(s) + " dock over");
    };
    Pages->OnGetSiteInfo = [this](TObject*, TControl*, TRect&, TPoint, bool&) { ++SiteInfos; };
    Doc->OnStartDock = [this](TObject* s, TDragDockObject*&) { Events.push_back(Name(s) + " start dock"); };
    Doc->OnEndDock = [this](TObject* s, TObject* target, int, int) {
      Events.push_back(Name(s) + " end dock on " + Name(target));
    };
  }
  TTabSheet* DocPage() const { return dynamic_cast<TTabSheet*>(Doc->Parent()); }
  std::string TabTexts() const {
    std::string s;
    for (int i = 0; i < Pages->Tabs().Count(); ++i) s += (i ? "|" : "") + Pages->Tabs()[i];
    return s;
  }
  QPoint TabCentre(int tab) const {
    const TRect r = Pages->TabRect(tab);
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  /** The pointer to a screen point, as the dragged form (holding the mouse) sees it. */
  void DragMouse(QEvent::Type type, TPoint screen) {
    SendMouse(Doc->ClientWidget(), type, Qt::LeftButton, Doc->ClientWidget()->mapFromGlobal(QPoint(screen.X, screen.Y)));
  }
  TShownForm Host{500, 400};
  TGradPageControl* Pages;
  TForm* Doc;
  Log Events;
  bool Allow = true;
  int SiteInfos = 0;
};

TEST(GradPageDocking, ADockedFormHasAPageOfItsOwnWhoseTabFollowsItsCaptionAndVisibility) {
  TDockSite d;
  ASSERT_TRUE(d.Doc->ManualDock(d.Pages));
  EXPECT_EQ(d.Events, (Log{"Pages dock drop Doc"}));
  EXPECT_EQ(d.Doc->HostDockSite(), d.Pages);
  EXPECT_EQ(d.Pages->DockClientCount(), 1);
  EXPECT_FALSE(d.Doc->Floating());
  EXPECT_FALSE(d.Doc->Handle()->isWindow()) << "a child window inside the page now";
  ASSERT_NE(dynamic_cast<TGradTabSheet*>(d.DocPage()), nullptr);
  EXPECT_EQ(d.Pages->PageCount(), 2);
  EXPECT_EQ(d.Pages->DockClientOf(d.DocPage()), d.Doc);
  EXPECT_EQ(d.DocPage()->Caption(), "Orders") << "up to the first line break";
  EXPECT_EQ(d.TabTexts(), "Start") << "a hidden form shows no tab";

  d.Doc->Show();
  EXPECT_EQ(d.TabTexts(), "Start|Orders");
  d.Pages->SetActivePage(d.DocPage());
  const TRect display = d.Pages->DisplayRect();
  EXPECT_EQ(d.Doc->BoundsRect(), (TRect{0, 0, display.Width(), display.Height()})) << "it fills its page";
  EXPECT_EQ(d.Doc->ClientWidth(), display.Width()) << "without a frame of its own";
  d.Doc->SetCaption("Customers\r\nall of them");
  EXPECT_EQ(d.TabTexts(), "Start|Customers");
  d.Doc->Hide();
  EXPECT_EQ(d.TabTexts(), "Start");
  EXPECT_EQ(d.Pages->PageCount(), 2) << "the page stays, without its tab";
  d.Doc->Show();
  EXPECT_EQ(d.TabTexts(), "Start|Customers");

  // A form that shows as it docks is the active page at once.
  auto* other = new TForm(&d.Host);
  other->SetCaption("Stock");
  other->Show();
  ASSERT_TRUE(other->ManualDock(d.Pages));
  EXPECT_EQ(d.Pages->ActivePage(), other->Parent());
  EXPECT_EQ(d.TabTexts(), "Start|Customers|Stock");
}

TEST(GradPageDocking, DraggedOutByItsTabItFloatsWhereItIsDroppedAndDocksAgainByADrag) {
  TDockSite d;
  d.Doc->Show();
  d.Doc->ManualDock(d.Pages);
  d.Events.clear();
  SendMouse(d.Pages->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, d.TabCentre(1));
  ASSERT_TRUE(d.Doc->Dragging());
  const TPoint drop = d.Host.ClientToScreen({d.Host.ClientWidth() + 60, 40});
  d.DragMouse(QEvent::MouseMove, drop);
  d.DragMouse(QEvent::MouseButtonRelease, drop);
  EXPECT_EQ(d.Events, (Log{"Doc start dock", "Pages undock Doc to none", "Doc end dock on none"}));
  EXPECT_TRUE(d.Doc->Floating());
  EXPECT_EQ(d.Doc->Parent(), nullptr);
  EXPECT_EQ(d.Doc->HostDockSite(), nullptr);
  EXPECT_TRUE(d.Doc->Handle()->isWindow()) << "a window of its own again";
  EXPECT_TRUE(d.Doc->Handle()->isVisible());
  EXPECT_EQ(d.Doc->Width(), 200) << "its size before it was docked";
  EXPECT_TRUE(d.Doc->BoundsRect().Contains(drop)) << "under the pointer";
  EXPECT_EQ(d.TabTexts(), "Start") << "the tab goes at once";
  EXPECT_TRUE(ProcessEventsUntil([&] { return d.Pages->PageCount() == 1; })) << "the page is freed afterwards";

  // Dragged over the page control, it docks again.
  d.Events.clear();
  const TRect floating = d.Doc->BoundsRect();
  Screen->SetCursorPos(d.Doc->ClientToScreen({10, 10}));
  d.Doc->BeginDrag(false);
  DragTo(d.Pages->ClientToScreen({150, 100}));
  EXPECT_GT(d.SiteInfos, 0);
  DragDone(true);
  EXPECT_EQ(d.Events, (Log{"Doc start dock", "Pages dock over", "Pages dock drop Doc", "Doc end dock on Pages"}));
  EXPECT_EQ(d.Doc->HostDockSite(), d.Pages);
  EXPECT_EQ(d.TabTexts(), "Start|Orders");

  // Escape leaves it where it was.
  d.Events.clear();
  SendMouse(d.Pages->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, d.TabCentre(1));
  d.DragMouse(QEvent::MouseMove, drop);
  Key(Focus() ? Focus() : d.Host.ClientWidget(), Qt::Key_Escape);
  EXPECT_EQ(d.Events, (Log{"Doc start dock", "Doc end dock on none"}));
  EXPECT_EQ(d.Doc->HostDockSite(), d.Pages);

  // A double click on its tab floats it where it floated before.
  d.Events.clear();
  Click(d.Pages->ClientWidget(), d.TabCentre(1), true);
  EXPECT_EQ(d.Doc->HostDockSite(), nullptr);
  EXPECT_EQ(d.Doc->BoundsRect(), floating);
  EXPECT_EQ(d.Events.back(), "Pages undock Doc to none");
}

TEST(GradPageDocking, OnUnDockKeepsTheFormAndOtherControlsFloatInAWindowOfTheirOwn) {
  TDockSite d;
  d.Doc->Show();
  d.Doc->ManualDock(d.Pages);
  d.Allow = false;
  Click(d.Pages->ClientWidget(), d.TabCentre(1), true);
  EXPECT_EQ(d.Doc->HostDockSite(), d.Pages) << "refused";
  EXPECT_FALSE(d.Doc->ManualFloat({0, 0, 100, 100}));
  EXPECT_EQ(d.TabTexts(), "Start|Orders");
  d.Allow = true;

  auto* panel = Place<TFlatPanel>(&d.Host, 10, 250, 120, 40);
  panel->SetCaption("Tools");
  ASSERT_TRUE(panel->ManualDock(d.Pages));
  EXPECT_EQ(d.TabTexts(), "Start|Orders|Tools");
  ASSERT_TRUE(panel->ManualFloat({600, 100, 700, 160}));
  EXPECT_TRUE(panel->Floating());
  auto* window = dynamic_cast<TForm*>(panel->Parent());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Caption(), "Tools");
  EXPECT_EQ((TPoint{window->ClientWidth(), window->ClientHeight()}), (TPoint{100, 60}));
  QPointer<QWidget> floatWindow = window->Handle();
  ASSERT_TRUE(panel->ManualDock(d.Pages));
  EXPECT_FALSE(panel->Floating());
  EXPECT_TRUE(ProcessEventsUntil([&] { return floatWindow.isNull(); })) << "the empty window goes";
  // Undocked, it floats where and as large as it floated before.
  ASSERT_TRUE(panel->ManualDock(nullptr));
  ASSERT_TRUE(panel->Floating());
  const TControl* again = panel->Parent();
  EXPECT_EQ((TRect{again->Left(), again->Top(), again->Left() + again->ClientWidth(), again->Top() + again->ClientHeight()}),
            (TRect{600, 100, 700, 160}));
  ASSERT_TRUE(panel->ManualDock(d.Pages));
  // Freed while docked, it takes its page along.
  delete panel;
  EXPECT_EQ(d.TabTexts(), "Start|Orders");
  EXPECT_TRUE(ProcessEventsUntil([&] { return d.Pages->PageCount() == 2; }));
}

}  // namespace
