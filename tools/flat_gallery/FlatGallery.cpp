// flat_gallery: a window with every flat control, for a person to try them,
// and a strip with dragging, docking and pop-up menus.
//
//   flat_gallery                     shows the window until it is closed
//   flat_gallery --snapshot out.png  writes a picture of the window and ends

#include "ComboStyles.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGauge.h"
#include "components/FlatGroupBox.h"
#include "components/FlatMemo.h"
#include "components/FlatPanel.h"
#include "components/FlatRadioButton.h"
#include "components/FlatSpeedButton.h"
#include "components/FlatSpinEdit.h"
#include "components/FlatSplitter.h"
#include "GalleryDragDock.h"
#include "ui/Forms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <cstdio>
#include <string>

namespace {

/** A 16 x 16 glyph: a coloured square framed in black on olive (transparent). */
void Glyph(TBitmap& b, TColor fill) {
  b.SetSize(16, 16);
  TCanvas* c = b.Canvas();
  c->Brush = TBrush{clOlive, bsSolid};
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush.Color = fill;
  c->FillRect(TRect{3, 3, 13, 13});
  c->Brush.Color = clBlack;
  c->FrameRect(TRect{2, 2, 14, 14});
}

/** The gallery: a tool bar of speed buttons, a tree pane and a splitter, the
 *  option and entry controls in two group boxes, and a status line that
 *  tells what the last control did. */
class TGalleryForm : public TForm {
public:
  explicit TGalleryForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Flat controls");
    SetBounds(60, 60, 660, 470);
    SetColor(0xE1EAEB);

    auto* bar = Add<TFlatPanel>(this, 0, 0, 100, 34);
    bar->SetAlign(alTop);
    const struct {
      const char* caption;
      TColor colour;
      int group;
      bool allowAllUp;
    } tools[] = {{"New", RGB(40, 160, 60), 0, false},  {"Open", RGB(220, 170, 40), 0, false},
                 {"Save", RGB(40, 90, 200), 0, false}, {"Left", clGray, 1, false},
                 {"Centre", clGray, 1, false},         {"Right", clGray, 1, false},
                 {"Bold", clMaroon, 2, true}};
    int x = 4;
    for (const auto& t : tools) {
      auto* b = Add<TFlatSpeedButton>(bar, x, 4, 60, 26);
      TBitmap g;
      Glyph(g, t.colour);
      b->SetGlyph(g);
      b->SetLayout(blGlyphLeft);
      b->SetCaption(t.caption);
      b->SetGroupIndex(t.group);
      b->SetAllowAllUp(t.allowAllUp);
      b->OnClick = [this, b](TObject*) { Status(b->Caption() + (b->Down() ? " (down)" : "") + " clicked"); };
      x += 64;
    }

    FStatus = Add<TFlatPanel>(this, 0, 0, 100, 22);
    FStatus->SetAlign(alBottom);
    FStatus->SetAlignment(taLeftJustify);
    AddComboStyles(this, [this](const std::string& text) { Status(text); });

    auto* tree = Add<TFlatPanel>(this, 0, 34, 130, 100);
    tree->SetAlign(alLeft);
    tree->SetCaption("Tree pane");
    auto* split = Add<TFlatSplitter>(this, 130, 34, 5, 100);
    split->SetAlign(alLeft);
    split->OnMoved = [this, tree](TObject*) { Status("Tree pane now " + std::to_string(tree->Width()) + " wide"); };

    auto* client = Add<TFlatPanel>(this, 135, 34, 100, 100);
    client->SetAlign(alClient);

    auto* options = Add<TFlatGroupBox>(client, 8, 6, 220, 200);
    options->SetCaption("&Options");
    const char* const checks[] = {"Reload the last project", "Connect at start", "Right-hand box", "Disabled"};
    for (int i = 0; i < 4; ++i) {
      auto* c = Add<TFlatCheckBox>(options, 10, 20 + 20 * i, 200, 17);
      c->SetCaption(checks[i]);
      if (i == 2) c->SetLayout(checkboxRight);
      if (i == 3) {
        c->SetChecked(true);
        c->SetEnabled(false);
      }
      c->OnClick = [this, c](TObject*) { Status(c->Caption() + (c->Checked() ? " on" : " off")); };
    }
    const char* const radios[] = {"&Guest", "&User", "&Administrator"};
    for (int i = 0; i < 3; ++i) {
      auto* r = Add<TFlatRadioButton>(options, 10, 110 + 20 * i, 200, 17);
      r->SetCaption(radios[i]);
      r->OnClick = [this, r](TObject*) { Status(r->Caption() + " chosen"); };
      if (i == 0) r->SetChecked(true);
    }
    auto* wrapped = Add<TFlatCheckBox>(options, 10, 170, 200, 28);
    wrapped->SetCaption("A longer caption that wraps onto a second line");

    auto* values = Add<TFlatGroupBox>(client, 236, 6, 270, 200);
    values->SetCaption("&Values");
    values->SetBorder(brOnlyTopLine);
    auto* edit = Add<TFlatEdit>(values, 10, 22, 150, 19);
    edit->SetText("Quarrowfield");
    edit->OnChange = [this, edit](TObject*) { Status("Text: " + edit->Text()); };
    auto* combo = Add<TFlatComboBox>(values, 10, 50, 150, 21);
    auto* list = Add<TFlatComboBox>(values, 10, 80, 150, 21);
    list->SetStyle(csDropDownList);
    for (TFlatComboBox* c : {combo, list}) {
      for (const char* item : {"MySQL", "MariaDB", "PostgreSQL", "SQLite"}) c->Items().Add(item);
      c->SetItemIndex(0);
      c->OnChange = [this, c](TObject*) { Status("Chosen: " + c->Text()); };
    }
    auto* spin = Add<TFlatSpinEditInteger>(values, 10, 110, 80, 20);
    spin->SetMaxValue(200);
    spin->SetValue(25);
    auto* gauge = Add<TFlatGauge>(values, 100, 110, 160, 20);
    gauge->SetMaxValue(200);
    gauge->SetProgress(25);
    spin->OnChange = [this, spin, gauge](TObject*) {
      gauge->SetProgress(spin->Value());
      Status("Value " + std::to_string(spin->Value()));
    };
    spin->OnExit = [this, spin](TObject*) { Status("Left with the value " + std::to_string(spin->Value())); };
    auto* memo = Add<TFlatMemo>(values, 10, 140, 250, 52);
    memo->SetScrollBars(ssBoth);
    memo->SetText("A flat memo with both scroll bars.\r\nIts corner takes the frame's colour.\r\nMore\r\nlines");

    auto* ok = Add<TFlatButton>(client, 8, 216, 80, 26);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { Status("OK clicked"); };
    auto* off = Add<TFlatButton>(client, 96, 216, 80, 26);
    off->SetCaption("Disabled");
    off->SetEnabled(false);
    auto* toggle = Add<TFlatButton>(client, 184, 216, 110, 26);
    toggle->SetCaption("&Enable the other");
    toggle->OnClick = [this, off](TObject*) {
      off->SetEnabled(!off->Enabled());
      Status(off->Enabled() ? "Enabled" : "Disabled");
    };
    AddDragAndDock(this, [this](const std::string& text) { Status(text); });
    Status("Move the mouse over the controls, click, type and drag the splitter");
  }

private:
  void Status(const std::string& text) { FStatus->SetCaption("  " + text); }
  TFlatPanel* FStatus = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  std::string snapshot;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--snapshot" && i + 1 < argc) {
      snapshot = argv[++i];
    } else {
      std::fprintf(stderr, "usage: flat_gallery [--snapshot out.png]\n");
      return 2;
    }
  }
  if (!snapshot.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  app.SetTitle("Flat controls");
  TGalleryForm* form = nullptr;
  app.CreateForm(form);
  if (snapshot.empty()) {
    app.Run();
    return 0;
  }
  form->Show();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  if (!form->ClientWidget()->grab().toImage().save(QString::fromStdString(snapshot), "PNG")) {
    std::fprintf(stderr, "flat_gallery: cannot write %s\n", snapshot.c_str());
    return 1;
  }
  return 0;
}
