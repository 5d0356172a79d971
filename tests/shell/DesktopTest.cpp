// The windows as a desktop shows them: run by tests/shell/on-desktop on a
// virtual screen under a window manager, which maps, stacks and focuses the
// windows in its own time, as the offscreen platform does not.

#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatEdit.h"
#include "components/FlatGauge.h"
#include "components/FlatSpeedButton.h"
#include "components/GradPageControl.h"
#include "shell/ConnectionWindow.h"
#include "shell/ProcessingForm.h"
#include "ui/Menus.h"
#include "ui/QtServices.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QLabel>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

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

/** Qt's own message boxes for a while, the recorder again afterwards (also
 *  when the test stops early). */
struct TQtMessageBoxes {
  explicit TQtMessageBoxes(TMessageRecorder& recorder) : Recorder(recorder) { Application->SetMessageService(nullptr); }
  ~TQtMessageBoxes() { Application->SetMessageService(&Recorder); }
  TMessageRecorder& Recorder;
};

/** Where window and other stand in the stacking once the window manager
 *  has put window above other (or has not, within the tests' patience), and
 *  a moment later: it may restack a window just after it maps it. */
void StackedAbove(QWidget* window, QWidget* other, int& windowHeight, int& otherHeight) {
  auto read = [&] {
    const std::vector<WId> stacking = Stacking();
    windowHeight = Height(stacking, window->winId());
    otherHeight = Height(stacking, other->winId());
    return otherHeight >= 0 && windowHeight > otherHeight;
  };
  if (ProcessEventsUntil(read)) ProcessEventsUntil([] { return false; }, 200);
  read();
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
  const auto answer = OnNextModal([&](QWidget* browser) {
    // The window manager stacks the new window in its own time.
    StackedAbove(browser, dialog->Handle(), browserHeight, dialogHeight);
    PressIn(browser, Qt::Key_Escape);
  });
  FocusOn(dialog->BtnPrjPath);
  QTest::keyClick(Focus(), Qt::Key_Space);
  ASSERT_GE(dialogHeight, 0);
  EXPECT_GT(browserHeight, dialogHeight) << "the browser is above the dialog that opened it";
}

// The project dialog stays on top of the main window while the user goes on
// working there: whatever the main window opens modally must come up above
// the dialog, or it waits unseen behind it and every click is refused.
TEST(OnADesktop, WhatTheMainWindowOpensComesUpAboveTheStayOnTopProjectDialog) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TProgramFolder f;
  TMainForm* main = f.Start();
  main->ReplaceProject(ShopProject(DbParams{"127.0.0.1", 3306, "nobody", ""}, {"products"}));
  main->Services.Files = TShellServices::Real().Files;  // Qt's own file dialog
  const TQtMessageBoxes boxes(f.Messages.Recorder);
  main->ProjectSettingsSBtnClick();
  TConnectionForm* dialog = main->ConnectionForm;
  ProcessEventsUntil([&] { return Height(Stacking(), dialog->Handle()->winId()) >= 0; });
  const struct {
    const char* Name;
    std::function<void()> Open;
  } commands[] = {
      {"New's question", [&] { Click(main->NewSBtn->Handle(), QPoint(6, 6)); }},
      {"Open's file dialog", [&] { Click(main->OpenSBtn->Handle(), QPoint(6, 6)); }},
      {"the about box", [&] { main->About1->Click(); }},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.Name);
    // The user works on in the main window; the dialog stays where it is.
    Activate(main);
    int dialogHeight = -1, modalHeight = -1;
    const auto answer = OnNextModal([&](QWidget* modal) {
      StackedAbove(modal, dialog->Handle(), modalHeight, dialogHeight);
      PressIn(modal, Qt::Key_Escape);
    });
    c.Open();
    ASSERT_GE(dialogHeight, 0);
    EXPECT_GT(modalHeight, dialogHeight) << "it opens above the project dialog";
    EXPECT_TRUE(dialog->Visible());
  }
  EXPECT_EQ(main->Project()->GetTableCount(), 1) << "New was answered No";
}

// New while the project dialog is open changes it to create mode: it comes
// up with the focus on its first field there, so the keys go to Hostname.
TEST(OnADesktop, NewTurnsTheOpenProjectDialogToCreateModeOnItsFirstField) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TProgramFolder f;
  TMainForm* main = f.Start();
  main->ReplaceProject(ShopProject(DbParams{"127.0.0.1", 3306, "nobody", ""}, {"products"}));
  main->ProjectSettingsSBtnClick();
  TConnectionForm* dialog = main->ConnectionForm;
  ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->Active() && dialog->EProjectName->Focused(); }));
  // The user goes on in the main window and chooses New there.
  Activate(main);
  f.Messages.Recorder.Answers = {TModalResult::mrYes};
  Click(main->NewSBtn->Handle(), QPoint(6, 6));
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Are you sure to overwrite the actual project?"});
  EXPECT_EQ(dialog->Caption(), "Create new project");
  EXPECT_TRUE(ProcessEventsUntil([&] { return dialog->Active() && dialog->EHost->Focused(); }))
      << "the focus is in " << (Focus() ? Focus()->objectName().toStdString() : "no field");
  const std::string host = dialog->EHost->Text();
  QTest::keyClick(Focus(), Qt::Key_End);
  QTest::keyClicks(Focus(), "db");
  EXPECT_EQ(dialog->EHost->Text(), host + "db") << "the keys go to Hostname";
}

/** A window property as xprop prints it, "" when it cannot say. */
std::string WindowProperty(QWidget* window, const char* property) {
  QProcess xprop;
  xprop.start("xprop", {"-id", QString::number(window->winId()), property});
  xprop.waitForFinished(5000);
  return QString::fromLocal8Bit(xprop.readAllStandardOutput()).toStdString();
}

// A message box is a question, not a window to keep: its title bar has only
// the close button, and a long word (a path) wraps inside it.
TEST(OnADesktop, AMessageBoxHasOnlyItsCloseButtonAndShowsALongPathWhole) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TShownForm owner(700, 500);
  const std::string path = "/srv/" + std::string(300, 'x') + "/site";
  const std::string text =
      "Can't create project directories!\nCannot create folder \"" + path + "\": Permission denied";
  std::string actions;
  QRect box, label, needed;
  const auto answer = OnNextModal([&](QWidget* modal) {
    // The window manager says what the title bar offers once it manages the window.
    ProcessEventsUntil([&] {
      actions = WindowProperty(modal, "_NET_WM_ALLOWED_ACTIONS");
      return actions.find("CLOSE") != std::string::npos;
    });
    box = modal->frameGeometry();
    if (auto* l = modal->findChild<QLabel*>("qt_msgbox_label")) {
      label = l->geometry();
      needed = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 100000), Qt::TextWordWrap, l->text());
    }
    PressIn(modal, Qt::Key_Escape);
  });
  TQtMessageService().MessageDlg(text, TMsgDlgType::mtError, mbOK);
  EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_MINIMIZE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;
  ASSERT_FALSE(label.isEmpty());
  EXPECT_LE(needed.width(), label.width()) << "the text runs past the label";
  EXPECT_LE(needed.height(), label.height());
  EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(box)) << "the box fits on the screen";
}

// A form docked into a page control is no window of the window manager's
// any more; a double click on its tab makes it one again, where it was.
TEST(OnADesktop, ADockedFormLeavesTheWindowManagerUntilADoubleClickOnItsTabFloatsIt) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TShownForm host(600, 400);
  auto* pages = Place<TGradPageControl>(&host, 10, 10, 400, 300);
  pages->SetDockSite(true);
  auto* doc = new TForm(&host);
  doc->SetCaption("Orders");
  doc->SetBounds(700, 100, 250, 200);
  doc->Show();
  const WId window = doc->Handle()->winId();
  ASSERT_TRUE(ProcessEventsUntil([&] { return Height(Stacking(), window) >= 0; }));
  ASSERT_TRUE(doc->ManualDock(pages));
  EXPECT_TRUE(ProcessEventsUntil([&] { return Height(Stacking(), window) < 0; })) << "no window of its own";
  EXPECT_TRUE(doc->Showing());
  ASSERT_EQ(pages->Tabs().Count(), 1);
  const TRect tab = pages->TabRect(0);
  Click(pages->ClientWidget(), QPoint(tab.Left + 5, tab.Top + 5), true);
  ASSERT_EQ(doc->HostDockSite(), nullptr);
  EXPECT_TRUE(ProcessEventsUntil([&] { return Height(Stacking(), doc->Handle()->winId()) >= 0; }))
      << "a window of its own again";
  EXPECT_EQ(doc->BoundsRect(), (TRect{700, 100, 950, 300}));
  EXPECT_TRUE(ProcessEventsUntil([&] { return pages->PageCount() == 0; }));
}

// A right click through the window system shows the control's own menu once,
// an edit's included, which would otherwise show Qt's menu too.
TEST(OnADesktop, ARightClickShowsThePopupMenuAndNothingElse) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tests/shell/on-desktop";
  TShownForm form(400, 300);
  TPopupMenu menu(nullptr);
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("Copy");
  menu.Items()->Add(item);
  auto* edit = Place<TEdit>(&form, 20, 20, 150, 21);
  auto* button = Place<TFlatButton>(&form, 20, 80, 80, 25);
  for (TControl* c : std::initializer_list<TControl*>{edit, button}) {
    c->SetPopupMenu(&menu);
    const QPoint at = form.Handle()->mapFromGlobal(c->ClientWidget()->mapToGlobal(QPoint(8, 8)));
    QTest::mouseClick(form.Handle()->windowHandle(), Qt::RightButton, {}, at);
    EXPECT_TRUE(ProcessEventsUntil([&] { return menu.QtPopup()->isVisible(); })) << c->Name();
    EXPECT_EQ(QApplication::activePopupWidget(), menu.QtPopup()) << "no other menu above it";
    EXPECT_EQ(menu.PopupComponent(), c);
    menu.QtPopup()->hide();
    ProcessEventsUntil([] { return QApplication::activePopupWidget() == nullptr; });
  }
}

