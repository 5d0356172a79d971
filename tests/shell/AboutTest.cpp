#include "GuiTestApp.h"

#include "components/FlatButton.h"
#include "components/VersionInfo.h"
#include "shell/About.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qftest;

TEST(AboutBox, ShowsTheProgramsVersionOnItsOwnPicture) {
  TShownForm owner;
  TYztAbout about(&owner);
  about.PrepareSplash();
  EXPECT_EQ(about.BorderStyle(), bsNone);
  EXPECT_EQ(about.ClientWidth(), 389);
  EXPECT_EQ(about.ClientHeight(), 431);
  EXPECT_EQ(about.LVersion->Caption(), TVerInfo(nullptr).FileVersion());

  // Sky above, field below, the name in white near the top.
  const QImage& picture = about.Image1->Picture().Image();
  ASSERT_EQ(picture.size(), QSize(389, 431));
  const TColor sky = PixelAt(picture, 5, 5), field = PixelAt(picture, 5, 425);
  EXPECT_GT(GetBValue(sky), GetRValue(sky));
  EXPECT_GT(GetGValue(field), GetRValue(field));
  EXPECT_GT(GetGValue(field), GetBValue(field));
  EXPECT_GT(CountPixels(picture, {0, 34, 389, 84}, clWhite), 200);
}

TEST(AboutBox, AClickOnCloseOrOnThePictureEndsIt) {
  TShownForm owner;
  for (bool onPicture : {false, true}) {
    SCOPED_TRACE(onPicture);
    TYztAbout about(&owner);
    bool clicked = false;
    QTimer::singleShot(0, [&] {
      TControl* target = onPicture ? static_cast<TControl*>(about.Image1) : about.FlatButton1;
      const QPoint at = onPicture ? QPoint(40, 200) : QPoint(10, 10);
      Click(target->Handle(), at);
      clicked = true;
    });
    // Should the click go astray, the box still ends and the test says so.
    QTimer::singleShot(3000, [&] { about.SetModalResult(TModalResult::mrOk); });
    const TModalResult result = about.MakeSplash();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(result, TModalResult::mrCancel);
    EXPECT_FALSE(about.Visible());
  }
}

TEST(AboutBox, EnterOrEscapeEndsIt) {
  TShownForm owner;
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    SCOPED_TRACE(key);
    TYztAbout about(&owner);
    bool pressed = false;
    QTimer::singleShot(0, [&] {
      EXPECT_TRUE(ProcessEventsUntil([&] { return about.FlatButton1->Focused(); })) << "opens with its button focused";
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : about.Handle(), key);
      pressed = true;
    });
    QTimer::singleShot(3000, [&] { about.SetModalResult(TModalResult::mrOk); });
    EXPECT_EQ(about.MakeSplash(), TModalResult::mrCancel);
    EXPECT_TRUE(pressed);
  }
}
