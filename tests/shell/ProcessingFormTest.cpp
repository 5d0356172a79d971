#include "GuiTestApp.h"
#include "components/FlatGauge.h"
#include "model/ProjectManager.h"
#include "model/WebTableClass.h"
#include "model/XMLIO.h"
#include "shell/ProcessingForm.h"
#include "ui/StdCtrls.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Bar pixels on the top row of the gauge's last paint (429 inner pixels).
int BarPixels(TFlatGauge* bar) { return qftest::CountPixels(bar->PaintedImage(), {2, 2, 431, 3}, bar->BarColor()); }

// The window's size, colours and gauge are checked in the render tool's picture of it.

/** Passes the seam's calls on to the window and notes, right after each
 *  SetProgress, what the gauge holds and what it last painted. */
class TWatchedDisplay : public IProgressDisplay {
public:
  explicit TWatchedDisplay(TProcessingDisplay& w) : W(w) {}
  void Start() override {
    W.Start();
    VisibleWhileWorking = W.Showing();
  }
  void SetProgress(int percent) override {
    W.SetProgress(percent);
    Values.push_back(W.Bar->Progress());
    Painted.push_back(BarPixels(W.Bar));
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

TEST(ProcessingDisplay, ASaveShowsEachStepAtOnce) {
  const std::pair<int, std::vector<int>> cases[] = {{3, {0, 0, 33, 66, 100}}, {0, {0, 100}}};  // tables, values
  for (const auto& [tables, values] : cases) {
    SCOPED_TRACE(tables);
    qftest::TempDir dir;
    TProjectManager project;
    for (int i = 0; i < tables; ++i) {
      auto t = std::make_unique<TWebTable>();
      t->DB = "shop";
      t->Name = "table" + std::to_string(i);
      project.AddTable(std::move(t));
    }
    TForm mainForm(nullptr);
    TProcessingDisplay window(&mainForm);
    TWatchedDisplay watched(window);
    ASSERT_TRUE(XMLManager().SaveProject(dir.File("p.vrk"), project, &watched));
    EXPECT_TRUE(watched.VisibleWhileWorking);
    EXPECT_EQ(watched.Values, values);
    std::vector<int> pixels;
    for (int v : values) pixels.push_back(429 * v / 100);
    EXPECT_EQ(watched.Painted, pixels);  // repainted synchronously
    EXPECT_GE(watched.FinishMs, 100);    // the full bar stays in sight
    EXPECT_FALSE(window.Showing());
  }
  TProcessingDisplay window(nullptr);  // started again: an empty bar
  window.Start();
  window.SetProgress(100);
  window.Finish();
  window.Start();
  EXPECT_EQ(std::pair(window.Bar->Progress(), BarPixels(window.Bar)), std::pair(0, 0));
  window.Finish();
}

}  // namespace
