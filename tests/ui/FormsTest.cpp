#include "GuiTestApp.h"
#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

using qftest::ProcessEventsUntil;
using qftest::ScopedMessageRecorder;

namespace {

void Press(QWidget* w) {
  QMouseEvent e(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))), Qt::LeftButton,
                Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
  QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))), Qt::LeftButton,
                 Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &up);
}

TEST(Exceptions, AHandlerExceptionShowsOneStopBoxAndTheProgramGoesOn) {
  ScopedMessageRecorder messages;
  TForm form(nullptr);
  auto* c = new TCustomControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 20, 20);
  int downs = 0, clicks = 0;
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    if (++downs == 1) throw EConvertError("'abc' is not a valid integer value");
  };
  c->OnClick = [&](TObject*) { ++clicks; };

  Press(c);
  ASSERT_EQ(messages.Recorder.Calls.size(), 1u);
  const auto& call = messages.Recorder.Calls[0];
  EXPECT_EQ(call.Text, "'abc' is not a valid integer value.");
  EXPECT_EQ(call.Caption, "Quarrowfield");
  EXPECT_EQ(call.Type, TMsgDlgType::mtError);
  EXPECT_EQ(call.Buttons, static_cast<TMsgDlgButtons>(mbOK));
  // The press's own handling stopped, the release went on as usual.
  EXPECT_EQ(clicks, 1);

  Press(c);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(messages.Recorder.Calls.size(), 1u);

  c->OnClick = [](TObject*) { throw 42; };
  Press(c);
  ASSERT_EQ(messages.Recorder.Calls.size(), 2u);
  EXPECT_EQ(messages.Recorder.Calls[1].Text, "Unknown exception.");
}

TEST(Exceptions, TimerAndPaintHandlersAreGuardedToo) {
  ScopedMessageRecorder messages;
  TTimer timer(nullptr);
  timer.SetInterval(1);
  int ticks = 0;
  timer.OnTimer = [&](TObject* sender) {
    static_cast<TTimer*>(sender)->SetEnabled(false);
    ++ticks;
    throw Exception("Timer failed");
  };
  ASSERT_TRUE(ProcessEventsUntil([&] { return ticks > 0; }));
  ASSERT_EQ(messages.Recorder.Calls.size(), 1u);
  EXPECT_EQ(messages.Recorder.Calls[0].Text, "Timer failed.");

  class TBadPaint : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;

  protected:
    void Paint() override { throw Exception("Cannot paint"); }
  };
  TForm form(nullptr);
  auto* bad = new TBadPaint(&form);
  bad->SetParent(&form);
  bad->SetBounds(0, 0, 10, 10);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return messages.Recorder.Calls.size() >= 2; }));
  EXPECT_EQ(messages.Recorder.Calls[1].Text, "Cannot paint.");
}

TEST(Timers, FireOnlyWhileEnabledWithAnInterval) {
  TTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  int ticks = 0;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  };
  timer.SetInterval(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ticks >= 3; }));
  auto idle = [] {
    for (int i = 0; i < 5; ++i) {
      Application->ProcessMessages();
      QThread::msleep(5);
    }
  };
  timer.SetEnabled(false);
  int stopped = ticks;
  idle();
  EXPECT_EQ(ticks, stopped);
  timer.SetInterval(0);
  timer.SetEnabled(true);  // no interval: still stopped
  idle();
  EXPECT_EQ(ticks, stopped);
  timer.SetInterval(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ticks > stopped; }));
}

struct PeriodCase {
  const char* message;
  const char* shown;
};

void PrintTo(const PeriodCase& c, std::ostream* os) { *os << '"' << c.message << '"'; }

class ExceptionText : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ExceptionText, GetsAPeriodUnlessItEndsInOneOrBelow) {
  ScopedMessageRecorder messages;
  Application->ShowException(GetParam().message);
  ASSERT_EQ(messages.Recorder.Calls.size(), 1u);
  EXPECT_EQ(messages.Recorder.Calls[0].Text, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, ExceptionText,
                         ::testing::Values(PeriodCase{"Boom", "Boom."}, PeriodCase{"Done.", "Done."},
                                           PeriodCase{"Really!", "Really!"}, PeriodCase{"(1, 2)", "(1, 2)"},
                                           PeriodCase{"Size 3", "Size 3."}, PeriodCase{"", ""},
                                           PeriodCase{"Gr\xC3\xBC\xC3\x9F", "Gr\xC3\xBC\xC3\x9F."}));

// ---------------------------------------------------------------- forms

class TCreatedForm : public TForm {
public:
  explicit TCreatedForm(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { ++Created; };
  }
  int Created = 0;
};

TEST(Forms, CreateFormFiresOnCreateOnceAndNamesTheMainForm) {
  TCreatedForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->Created, 1);
  main->AfterConstruction();
  EXPECT_EQ(main->Created, 1);
  EXPECT_EQ(main->Owner(), Application);
  EXPECT_EQ(Application->MainForm(), main);
  TCreatedForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), main);
  delete main;
  EXPECT_EQ(Application->MainForm(), nullptr);
  delete second;
}

TEST(Forms, ShowFiresOnShowAndPlacesTheForm) {
  TForm form(nullptr);
  int shows = 0;
  form.OnShow = [&](TObject*) { ++shows; };
  form.SetCaption("Processing");
  EXPECT_EQ(form.windowTitle(), QString("Processing"));
  form.SetBounds(0, 0, 200, 100);
  form.SetPosition(poScreenCenter);
  form.Show();
  EXPECT_EQ(shows, 1);
  EXPECT_TRUE(form.isVisible());
  const TRect work = Screen->WorkAreaRect();
  ASSERT_FALSE(work.IsEmpty());
  EXPECT_EQ(form.Left(), work.Left + (work.Width() - 200) / 2);
  EXPECT_EQ(form.Top(), work.Top + (work.Height() - 100) / 2);
  EXPECT_EQ(form.ClientWidth(), 200);
  form.Hide();
  form.Show();
  EXPECT_EQ(shows, 2);
}

TEST(Forms, FixedBorderKeepsTheSizeItIsGiven) {
  TForm form(nullptr);
  form.SetBorderStyle(bsDialog);
  form.SetBounds(10, 20, 458, 138);
  EXPECT_EQ(form.Width(), 458);
  EXPECT_EQ(form.minimumWidth(), 458);
  EXPECT_EQ(form.maximumHeight(), 138);
  form.SetBorderStyle(bsSizeable);
  EXPECT_EQ(form.minimumWidth(), 0);
}

struct CloseCase {
  const char* name;
  TCloseAction action;
  bool visibleAfter;
  bool aliveAfter;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseActions : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseActions, TheCloseHandlerDecides) {
  QPointer<TForm> form = new TForm(nullptr);
  int closes = 0;
  form->OnClose = [&](TObject*, TCloseAction& a) {
    EXPECT_EQ(a, caHide);  // the default
    a = GetParam().action;
    ++closes;
  };
  form->Show();
  form->Close();
  EXPECT_EQ(closes, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(!form.isNull(), GetParam().aliveAfter);
  if (form) {
    EXPECT_EQ(form->isVisible(), GetParam().visibleAfter);
    delete form.data();
  }
}

INSTANTIATE_TEST_SUITE_P(Actions, CloseActions,
                         ::testing::Values(CloseCase{"none", caNone, true, true}, CloseCase{"hide", caHide, false, true},
                                           CloseCase{"free", caFree, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Forms, ShowModalReturnsTheResultSetWhileShowing) {
  TForm form(nullptr);
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  // Set from OnShow: no event loop needed.
  form.OnShow = [&](TObject*) { form.SetModalResult(TModalResult::mrOk); };
  EXPECT_EQ(form.ShowModal(), TModalResult::mrOk);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(closes, 1);

  // Set from the modal loop, the way a button does it.
  form.OnShow = nullptr;
  QTimer::singleShot(0, &form, [&] {
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
    form.SetModalResult(TModalResult::mrYes);
  });
  EXPECT_EQ(form.ShowModal(), TModalResult::mrYes);
  EXPECT_EQ(form.windowModality(), Qt::NonModal);

  // Close while modal answers mrCancel.
  QTimer::singleShot(0, &form, [&] { form.Close(); });
  EXPECT_EQ(form.ShowModal(), TModalResult::mrCancel);
  EXPECT_EQ(closes, 3);

  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST(Forms, AFormOwnedByAFormStaysWithIt) {
  auto* owner = new TForm(nullptr);
  QPointer<TForm> dialog = new TForm(owner);
  EXPECT_EQ(dialog->parentWidget(), owner);
  EXPECT_TRUE(dialog->isWindow());
  EXPECT_EQ(dialog->Parent(), nullptr);
  EXPECT_EQ(owner->ControlCount(), 0);
  delete owner;
  EXPECT_TRUE(dialog.isNull());
}

// ---------------------------------------------------------------- screen

TEST(ScreenObject, CursorsByNumber) {
  Screen->SetCursor(crHourGlass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Screen->SetCursor(crSizeWE);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_EQ(TScreen::CursorFor(crVSplit).shape(), Qt::SplitVCursor);
  EXPECT_EQ(TScreen::CursorFor(4321).shape(), Qt::ArrowCursor);  // unknown
  TBitmap image(16, 16);
  TScreen::RegisterCursor(3000, image, {7, 3});
  EXPECT_EQ(TScreen::CursorFor(3000).shape(), Qt::BitmapCursor);
  EXPECT_EQ(TScreen::CursorFor(3000).hotSpot(), QPoint(7, 3));
  EXPECT_GT(Screen->Width(), 0);
}

}  // namespace
