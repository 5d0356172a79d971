// The windows as a desktop shows them: run by tests/shell/on-desktop on a
// virtual screen under a window manager, which maps, stacks and focuses the
// windows in its own time, as the offscreen platform does not.

#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatGauge.h"
#include "shell/ConnectionWindow.h"
#include "shell/ProcessingForm.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

/** The windows the window manager stacks, bottom first. */
std::vector<WId> Stacking() {
  QProcess xprop;
  xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
  xprop.waitForFinished(5000);
  std::vector<WId> ids;
  const QString out = QString::fromLocal8Bit(xprop.readAllStandardOutput());
  for (const QString& part : out.section('#', 1).split(',', Qt::SkipEmptyParts))
    ids.push_back(part.trimmed().toULongLong(nullptr, 16));
  return ids;
}

/** Where id stands in the stacking (higher is nearer the top), or -1. */
int Height(const std::vector<WId>& stacking, WId id) {
  for (size_t i = 0; i < stacking.size(); ++i)
    if (stacking[i] == id) return static_cast<int>(i);
  return -1;
}

}  // namespace

TEST(OnADesktop, TheProgressWindowIsPaintedBeforeTheWorkStarts) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TShownForm owner(700, 500);
  TProcessingDisplay progress(&owner);
  progress.Start();
  // The work would start now and keep the event loop waiting: what the
  // screen shows of the gauge is all the user sees.
  const QPoint at = progress.Bar->ClientWidget()->mapToGlobal(QPoint(0, 0));
  const QImage screen =
      QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), progress.Bar->Width(), progress.Bar->Height())
          .toImage();
  const TRect bar{0, 0, progress.Bar->Width(), progress.Bar->Height()};
  EXPECT_TRUE(Ring(screen, bar, clNavy)) << "the gauge's navy border is on the screen";
  progress.Finish();
}

TEST(OnADesktop, TheFolderBrowserOpensAboveTheStayOnTopProjectDialog) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TProgramFolder f;
  TMainForm* main = f.Start();
  main->Services.Folders = nullptr;  // our own folder browser
  main->ProjectSettingsSBtnClick();
  TConnectionForm* dialog = main->ConnectionForm;
  Activate(dialog);
  int dialogHeight = -1, browserHeight = -1;
  OnNextModal([&](QWidget* browser) {
    // The window manager stacks the new window in its own time.
    ProcessEventsUntil([&] { return Height(Stacking(), browser->winId()) >= 0; }, 3000);
    const std::vector<WId> stacking = Stacking();
    dialogHeight = Height(stacking, dialog->Handle()->winId());
    browserHeight = Height(stacking, browser->winId());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : browser, Qt::Key_Escape);
  });
  FocusOn(dialog->BtnPrjPath);
  QTest::keyClick(Focus(), Qt::Key_Space);
  ASSERT_GE(dialogHeight, 0);
  EXPECT_GT(browserHeight, dialogHeight) << "the browser is above the dialog that opened it";
}
