#include "GuiTestApp.h"
#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/QtServices.h"
#include "ui/ExtCtrls.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <iterator>
#include <tuple>

using qftest::ProcessEventsUntil;
using qftest::ScopedMessageRecorder;

namespace {

void Click(TControl* c) { qftest::Click(c->ClientWidget(), {2, 2}); }

TEST(Exceptions, AHandlerExceptionShowsOneStopBoxAndTheProgramGoesOn) {
  ScopedMessageRecorder messages;
  const auto& calls = messages.Recorder.Calls;
  TForm form(nullptr);
  auto* c = qftest::Place<TCustomControl>(&form, 0, 0, 20, 20);
  int downs = 0, clicks = 0;
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    if (++downs == 1) throw EConvertError("'abc' is not a valid integer value");
  };
  c->OnClick = [&](TObject*) { ++clicks; };
  Click(c);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(std::tuple(calls[0].Text, calls[0].Caption, calls[0].Type, calls[0].Buttons),
            std::tuple(std::string("'abc' is not a valid integer value."), std::string("Quarrowfield"),
                       TMsgDlgType::mtError, static_cast<TMsgDlgButtons>(mbOK)));
  EXPECT_EQ(clicks, 1);  // the press's handling stopped, the release went on
  Click(c);
  EXPECT_EQ(std::tuple(downs, clicks, calls.size()), std::tuple(2, 2, size_t{1}));
  c->OnClick = [](TObject*) { throw 42; };
  Click(c);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].Text, "Unknown exception.");

  TTimer timer(nullptr);  // timer and paint handlers are guarded too
  timer.SetInterval(1);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    throw Exception("Timer failed");
  };
  ASSERT_TRUE(ProcessEventsUntil([&] { return calls.size() == 3; }));
  EXPECT_EQ(calls[2].Text, "Timer failed.");
  struct TBadPaint : TCustomControl {
    using TCustomControl::TCustomControl;
    void Paint() override { throw Exception("Cannot paint"); }
  };
  qftest::Place<TBadPaint>(&form, 0, 0, 10, 10);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return calls.size() >= 4; }));
  EXPECT_EQ(calls[3].Text, "Cannot paint.");
}

TEST(Exceptions, TextGetsAPeriodUnlessItEndsInOneOrBelow) {
  const std::pair<const char*, const char*> cases[] = {
      {"Boom", "Boom."},       {"Done.", "Done."}, {"Really!", "Really!"}, {"(1, 2)", "(1, 2)"},
      {"Size 3", "Size 3."},   {"", ""},           {"Gr\xC3\xBC\xC3\x9F", "Gr\xC3\xBC\xC3\x9F."}};
  ScopedMessageRecorder messages;
  for (auto [message, shown] : cases) {
    Application->ShowException(message);
    EXPECT_EQ(messages.Recorder.Calls.back().Text, shown) << message;
  }
  EXPECT_EQ(messages.Recorder.Calls.size(), std::size(cases));
}

TEST(Timers, FireOnlyWhileEnabledWithAnInterval) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject* sender) { ticks += sender == &timer; };
  timer.SetInterval(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ticks >= 3; }));
  auto idle = [] {
    for (int i = 0; i < 5; ++i, QThread::msleep(5)) Application->ProcessMessages();
  };
  timer.SetEnabled(false);
  const int stopped = ticks;
  idle();
  timer.SetInterval(0);
  timer.SetEnabled(true);  // no interval: still stopped
  idle();
  EXPECT_EQ(ticks, stopped);
  timer.SetInterval(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ticks > stopped; }));
}

TEST(Forms, CreateFormFiresOnCreateOnceAndNamesTheMainForm) {
  struct TCreatedForm : TForm {
    explicit TCreatedForm(TComponent* owner) : TForm(owner) {
      OnCreate = [this](TObject*) { ++Created; };
    }
    int Created = 0;
  };
  TCreatedForm *main = nullptr, *second = nullptr;
  Application->CreateForm(main);
  Application->CreateForm(second);
  main->AfterConstruction();
  EXPECT_EQ(main->Created, 1);
  EXPECT_EQ(second->Owner(), Application);
  EXPECT_EQ(Application->MainForm(), main);
  delete main;
  EXPECT_EQ(Application->MainForm(), nullptr);
  delete second;
}

TEST(Forms, ShowPlacesTheFormAndTheClientAreaIsTheOuterSizeLessTheClassicFrame) {
  TForm form(nullptr);
  int shows = 0;
  form.OnShow = [&](TObject*) { ++shows; };
  form.SetBounds(0, 0, 200, 100);
  form.SetPosition(poScreenCenter);
  form.Show();
  const TRect work = Screen->WorkAreaRect();
  ASSERT_FALSE(work.IsEmpty());
  EXPECT_EQ(form.Left(), work.Left + (work.Width() - 200) / 2);
  EXPECT_EQ(form.Top(), work.Top + (work.Height() - 100) / 2);
  form.Hide();
  form.Show();
  EXPECT_EQ(shows, 2);

  const std::tuple<TFormBorderStyle, int, int> frames[] = {
      {bsSizeable, 458 - 8, 138 - 27}, {bsDialog, 458 - 6, 138 - 25}, {bsSingle, 458 - 6, 138 - 25},
      {bsToolWindow, 458 - 6, 138 - 21}, {bsNone, 458, 138}};
  for (auto [style, cw, ch] : frames) {
    form.SetBorderStyle(style);
    form.SetBounds(10, 20, 458, 138);
    EXPECT_EQ(std::pair(form.ClientWidth(), form.ClientHeight()), std::pair(cw, ch)) << style;
    EXPECT_EQ(form.ClientWidget()->size(), QSize(cw, ch)) << style;
  }
  form.SetBorderStyle(bsDialog);  // the outer size stays, the client area follows
  EXPECT_EQ(form.Handle()->minimumWidth(), 452) << "a fixed frame fixes the size";
  EXPECT_EQ(form.Width(), 458);
  form.SetBorderStyle(bsSizeable);
  form.SetConstraints({800, 600, 0, 0});
  EXPECT_EQ(form.Handle()->minimumSize(), QSize(792, 573));
  EXPECT_EQ(form.Width(), 800);
  form.SetClientSize(1000, 700);
  EXPECT_EQ(form.BoundsRect().BottomRight(), (TPoint{form.Left() + 1008, form.Top() + 727}));

  QWidget bar;  // a menu bar comes off the client area's top
  bar.setFixedHeight(19);
  form.SetMenuWidget(&bar);
  EXPECT_EQ(form.ClientHeight(), 700 - 19);
  EXPECT_EQ(form.ClientWidget()->geometry(), QRect(0, 19, 1000, 681));
  form.SetMenuWidget(nullptr);
  form.Handle()->resize(600, 500);  // the user resizes the window
  EXPECT_EQ(form.Width(), 800) << "not below the constraint";
  form.Handle()->resize(900, 650);
  EXPECT_EQ(form.Width(), 908);
  EXPECT_EQ(form.ClientHeight(), 650);
}

TEST(Forms, TheCloseHandlerDecides) {
  const std::tuple<TCloseAction, bool, bool> cases[] = {
      {caNone, true, true}, {caHide, false, true}, {caFree, false, false}};  // visible, alive after
  for (auto [action, visibleAfter, aliveAfter] : cases) {
    auto* created = new TForm(nullptr);
    QPointer<QWidget> form = created->Handle();
    created->OnClose = [action = action](TObject*, TCloseAction& a) {
      EXPECT_EQ(a, caHide);  // the default
      a = action;
    };
    created->Show();
    created->Close();
    QCoreApplication::processEvents();
    EXPECT_EQ(!form.isNull(), aliveAfter) << action;
    EXPECT_TRUE(!form || form->isVisible() == visibleAfter) << action;
    if (form) delete created;
  }
}

TEST(Forms, ShowModalReturnsTheResultSetWhileShowing) {
  TForm form(nullptr);
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  form.OnShow = [&](TObject*) { form.SetModalResult(TModalResult::mrOk); };  // no event loop needed
  EXPECT_EQ(form.ShowModal(), TModalResult::mrOk);
  EXPECT_FALSE(form.Showing());
  form.OnShow = nullptr;
  QTimer::singleShot(0, form.Handle(), [&] {  // from the modal loop, as a button does it
    EXPECT_EQ(form.Handle()->windowModality(), Qt::ApplicationModal);
    form.SetModalResult(TModalResult::mrYes);
  });
  EXPECT_EQ(form.ShowModal(), TModalResult::mrYes);
  EXPECT_EQ(form.Handle()->windowModality(), Qt::NonModal);
  QTimer::singleShot(0, form.Handle(), [&] { form.Close(); });
  EXPECT_EQ(form.ShowModal(), TModalResult::mrCancel);
  EXPECT_EQ(closes, 3);
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST(Forms, AFormOwnedByAFormStaysWithIt) {
  auto* owner = new TForm(nullptr);
  QPointer<QWidget> dialog = (new TForm(owner))->Handle();
  EXPECT_EQ(dialog->parentWidget(), owner->Handle());
  EXPECT_TRUE(dialog->isWindow());
  EXPECT_EQ(owner->ControlCount(), 0);
  delete owner;
  EXPECT_TRUE(dialog.isNull());
}

// A window manager stacks a modal window above the one it belongs to; one
// that belongs to no window of the program may open hidden behind them.
TEST(Forms, AModalWindowBelongsToTheWindowThatOpenedIt) {
  qftest::TShownForm main;
  qftest::TShownForm other;  // shown last: the active window
  TForm dialog(nullptr);
  for (QWidget* expected : {other.Handle(), main.Handle()}) {
    if (expected == main.Handle()) main.Handle()->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == expected; }));
    QWindow* owner = nullptr;
    QTimer::singleShot(0, dialog.Handle(), [&] {
      owner = dialog.Handle()->windowHandle()->transientParent();
      EXPECT_EQ(QApplication::activeModalWidget(), dialog.Handle());
      EXPECT_EQ(ModalOwner(), dialog.Handle()) << "a box from the dialog goes above the dialog";
      dialog.SetModalResult(TModalResult::mrOk);
    });
    EXPECT_EQ(dialog.ShowModal(), TModalResult::mrOk);
    EXPECT_EQ(owner, expected->windowHandle());
    EXPECT_EQ(dialog.Handle()->windowHandle()->transientParent(), nullptr) << "lent for the modal loop only";
    EXPECT_EQ(dialog.Handle()->parentWidget(), nullptr) << "never a Qt child of the window it is lent to";
  }
}

// The window a modal window is lent to may be freed while it is open (a timer
// or a handler frees it): the modal window stays, and ends as usual.
TEST(Forms, TheWindowAModalOneBelongsToMayGoWhileItIsOpen) {
  ScopedMessageRecorder quiet;  // nothing may complain about a freed window
  for (const bool box : {false, true}) {
    SCOPED_TRACE(box ? "message box" : "form");
    auto* opener = new qftest::TShownForm;
    TForm dialog(nullptr);
    const QPointer<QWidget> handle = dialog.Handle();
    QWidget* lentTo = nullptr;
    bool freed = false;
    const auto answer = qftest::OnNextModal([&](QWidget* modal) {
      lentTo = modal->windowHandle() && modal->windowHandle()->transientParent() == opener->Handle()->windowHandle()
                   ? opener->Handle()
                   : nullptr;
      delete opener;
      opener = nullptr;
      freed = true;
      // Answered a moment later, from the modal loop, as a person would.
      QTimer::singleShot(0, qApp, [&dialog, modal = QPointer<QWidget>(modal)] {
        if (auto* message = qobject_cast<QMessageBox*>(modal.data()))
          message->button(QMessageBox::Ok)->click();
        else
          dialog.SetModalResult(TModalResult::mrOk);
      });
    });
    if (box) {
      EXPECT_EQ(TQtMessageService().MessageBox("Gone?", "Quarrowfield", TMsgDlgType::mtInformation, mbOK),
                TModalResult::mrOk);
    } else {
      EXPECT_EQ(dialog.ShowModal(), TModalResult::mrOk);
      ASSERT_FALSE(handle.isNull()) << "the form's window went with the one it was lent to";
      EXPECT_FALSE(dialog.Visible());
      EXPECT_EQ(dialog.Handle()->windowHandle()->transientParent(), nullptr);
    }
    EXPECT_TRUE(freed);
    EXPECT_NE(lentTo, nullptr) << "it was lent to the window that opened it";
    delete opener;
  }
}

TEST(FileDialogs, SaveAsksAboutTheFileWithItsDefaultExtension) {
  qftest::TShownForm owner;
  qftest::TempDir dir;
  qftest::WriteFile(dir.File("shop.vrk"), "kept");
  TFileDialogOptions options;
  options.Filter = "Brannoch File (*.vrk)|*.vrk";
  options.DefaultExt = "vrk";
  options.InitialDir = dir.Path();
  options.FileName = "shop";  // proposed without its extension
  for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    owner.Handle()->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return owner.Active(); }));
    std::string question;
    const auto answerDialog = qftest::OnNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowHandle()->transientParent(), owner.Handle()->windowHandle());
      const auto answerBox = qftest::OnNextModal([&, dialog](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr) << "no question about replacing the file";
        question = message->text().toStdString();
        message->button(answer)->click();
        // No keeps the dialog open for another name: cancel it.
        if (answer == QMessageBox::No) QTimer::singleShot(0, dialog, &QFileDialog::reject);
      });
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    });
    const std::optional<std::string> chosen = TQtFileDialogs().ExecuteSave(options);
    EXPECT_NE(question.find("shop.vrk"), std::string::npos) << question;
    if (answer == QMessageBox::No)
      EXPECT_EQ(chosen, std::nullopt);
    else
      EXPECT_EQ(chosen, dir.File("shop.vrk"));
  }
  EXPECT_EQ(qftest::ReadFile(dir.File("shop.vrk")), "kept");
}

TEST(ScreenObject, CursorsByNumber) {
  Screen->SetCursor(crHourGlass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(TScreen::CursorFor(4321).shape(), Qt::ArrowCursor);  // unknown
  // The program's own cursors and glyphs, drawn in code and found by name.
  RegisterResource("ROLL", [](TBitmap& b, TPoint& hot) {
    b.SetSize(16, 16);
    hot = {7, 3};
  });
  EXPECT_TRUE(LoadCursorResource("ROLL", 3003));
  EXPECT_EQ(TScreen::CursorFor(3003).hotSpot(), QPoint(7, 3));
  TBitmap glyph;
  EXPECT_TRUE(LoadResourceBitmap("ROLL", glyph));
  EXPECT_EQ(glyph.Width(), 16);
  EXPECT_FALSE(LoadCursorResource("NOSUCHCURSOR", 3010));
  EXPECT_FALSE(LoadResourceBitmap("NOSUCHGLYPH", glyph));
  ResetUiGlobals();  // tests put the registry back
  EXPECT_EQ(TScreen::CursorFor(3003).shape(), Qt::ArrowCursor);
}

TEST(FileDialogs, ClassicFilters) {
  const std::pair<const char*, const char*> filters[] = {
      {"Project files (*.vrk)|*.vrk|All files (*.*)|*.*", "Project files (*.vrk);;All files (*)"},
      {"Pictures|*.bmp;*.png; *.jpg", "Pictures (*.bmp *.png *.jpg)"},
      {"", ""},
      {"Project files (*.vrk)|*.vrk|Dangling", "Project files (*.vrk)"},  // description without pattern
      {"Nothing||Text|*.txt", "Text (*.txt)"},                            // empty pattern left out
      {"|*.vrk", "*.vrk (*.vrk)"}};
  for (auto [classic, qt] : filters) EXPECT_EQ(QtFileFilter(classic), qt) << classic;
}

// A word too long for a message box gets break chances after its thirtieth
// character; slashes, backslashes and hyphens are chances of their own, and
// a character of two UTF-16 units is never split.
TEST(MessageBoxes, LongWordsGetBreakChances) {
  const QString z(QChar(0x200B));
  const QString thirty(30, 'x');
  const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  const std::pair<QString, QString> cases[] = {
      {"Can't connect to database!", "Can't connect to database!"},
      {thirty, thirty},
      {thirty + "ab", thirty + z + "a" + z + "b"},
      {thirty + "a b", thirty + z + "a b"},
      {"/" + thirty + "/" + thirty + "\\" + thirty + "-" + thirty,
       "/" + thirty + "/" + thirty + "\\" + thirty + "-" + thirty},
      {thirty.left(29) + pair + "a", thirty.left(29) + pair + z + "a"},
  };
  for (const auto& [text, broken] : cases) EXPECT_EQ(WithBreakableWords(text), broken) << text.toStdString();
}

TEST(ShellServices, BoxCaptionsAndRealServicesRefuseWhatCannotBeOpened) {
  const std::pair<TMsgDlgType, std::string> captions[] = {
      {TMsgDlgType::mtWarning, "Warning"},       {TMsgDlgType::mtError, "Error"},
      {TMsgDlgType::mtInformation, "Information"}, {TMsgDlgType::mtConfirmation, "Confirm"},
      {TMsgDlgType::mtCustom, Application->Title()}};
  for (const auto& [type, caption] : captions) EXPECT_EQ(MessageDlgCaption(type), caption);
  TQtHelpService help;  // neither may start another program
  for (const char* file : {"", "no-such-help-file.hlp", "/no/such/folder/quarrowfield.hlp"})
    EXPECT_FALSE(help.ShowHelp(file)) << file;
  EXPECT_FALSE(TQtUrlOpener().OpenURL(""));
}

}  // namespace
