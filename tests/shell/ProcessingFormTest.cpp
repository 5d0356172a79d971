#include "GuiTestApp.h"
#include "TestSupport.h"
#include "components/FlatGauge.h"
#include "model/ProjectManager.h"
#include "model/WebTableClass.h"
#include "model/XMLIO.h"
#include "shell/ProcessingForm.h"
#include "ui/StdCtrls.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <vector>

using qftest::CountPixels;

namespace {

TEST(ProcessingDisplay, StoredLayout) {
  TForm owner(nullptr);
  auto* w = new TProcessingDisplay(&owner);
  EXPECT_EQ(w->Owner(), &owner);
  EXPECT_EQ(w->Caption(), "Processing");
  EXPECT_EQ(w->Width(), 458);
  EXPECT_EQ(w->Height(), 138);
  EXPECT_EQ(w->Color(), clBtnFace);
  EXPECT_EQ(w->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(w->Font().Height(), -11);
  EXPECT_FALSE(w->Visible());

  TFlatGauge* bar = w->Bar;
  EXPECT_EQ(bar->Parent(), w);
  EXPECT_EQ(bar->BoundsRect(), Bounds(8, 48, 433, 25));
  EXPECT_EQ(bar->ColorBorder(), clNavy);
  EXPECT_FALSE(bar->UseAdvColors());
  EXPECT_EQ(bar->BarColor(), RGB(240, 251, 255));
  EXPECT_EQ(bar->Progress(), 0);
  EXPECT_EQ(bar->MinValue(), 0);
  EXPECT_EQ(bar->MaxValue(), 100);
  EXPECT_EQ(bar->Color(), clBtnFace);  // from the form

  TLabel* label = w->Label1;
  EXPECT_EQ(label->Caption(), "Please wait!");
  EXPECT_EQ(label->Left(), 168);
  EXPECT_EQ(label->Top(), 16);
  EXPECT_EQ(label->Font().Height(), -13);
  EXPECT_EQ(label->Font().Name(), "MS Sans Serif");
  EXPECT_GT(label->Width(), 0);  // sized to its text
}

/** Passes the seam's calls on to the window and notes, right after each
 *  SetProgress, what the window's gauge holds and what it last painted. */
class TWatchedDisplay : public IProgressDisplay {
public:
  explicit TWatchedDisplay(TProcessingDisplay& w) : W(w) {}
  void Start() override {
    W.Start();
    VisibleWhileWorking = W.isVisible();
  }
  void SetProgress(int percent) override {
    W.SetProgress(percent);
    Values.push_back(W.Bar->Progress());
    // Bar pixels on the bar's top row of the last paint: 429 inner pixels.
    Painted.push_back(CountPixels(W.Bar->PaintedImage(), {2, 2, 431, 3}, W.Bar->BarColor()));
  }
  void Finish() override {
    QElapsedTimer t;
    t.start();
    W.Finish();
    FinishMs = t.elapsed();
  }
  TProcessingDisplay& W;
  std::vector<int> Values, Painted;
  bool VisibleWhileWorking = false;
  qint64 FinishMs = 0;
};

struct SaveCase {
  const char* name;
  int tables;
  std::vector<int> values;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class ProgressOfASave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(ProgressOfASave, TheWindowShowsEachStepAtOnce) {
  qftest::TempDir dir;
  TProjectManager project;
  for (int i = 0; i < GetParam().tables; ++i) {
    auto t = std::make_unique<TWebTable>();
    t->DB = "shop";
    t->Name = "table" + std::to_string(i);
    project.AddTable(std::move(t));
  }
  TForm mainForm(nullptr);
  TProcessingDisplay window(&mainForm);
  TWatchedDisplay watched(window);
  XMLManager xml;
  ASSERT_TRUE(xml.SaveProject(dir.File("p.vrk"), project, &watched));

  EXPECT_TRUE(watched.VisibleWhileWorking);
  EXPECT_EQ(watched.Values, GetParam().values);
  std::vector<int> expectedPixels;
  for (int v : GetParam().values) expectedPixels.push_back(429 * v / 100);
  EXPECT_EQ(watched.Painted, expectedPixels);
  EXPECT_GE(watched.FinishMs, 100);  // the full bar stays in sight
  EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Tables, ProgressOfASave,
                         ::testing::Values(SaveCase{"three_tables", 3, {0, 0, 33, 66, 100}},
                                           SaveCase{"no_tables", 0, {0, 100}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessingDisplay, StartAgainBeginsWithAnEmptyBar) {
  TProcessingDisplay window(nullptr);
  window.Start();
  window.SetProgress(100);
  window.Finish();
  window.Start();
  EXPECT_EQ(window.Bar->Progress(), 0);
  EXPECT_EQ(CountPixels(window.Bar->PaintedImage(), {2, 2, 431, 3}, window.Bar->BarColor()), 0);
  window.Finish();
}

}  // namespace
