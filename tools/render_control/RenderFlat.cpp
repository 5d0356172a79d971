// The flat controls in their states, each on a small stage of the form's
// colour, driven by real mouse and key events as a person would.

#include "RenderFlat.h"

#include "ComboStyles.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatMemo.h"
#include "components/FlatPanel.h"
#include "components/FlatRadioButton.h"
#include "components/FlatSpeedButton.h"
#include "components/FlatSpinEdit.h"
#include "components/FlatSplitter.h"
#include "components/MenuPainter.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void Settle(int ms = 30) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void Mouse(TControl* c, QEvent::Type type, int x, int y) {
  const QPoint at(x, y);
  QWidget* w = c->ClientWidget();
  const bool move = type == QEvent::MouseMove;
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), move ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  if (move) Screen->SetCursorPos(c->ClientToScreen({x, y}));
  QCoreApplication::sendEvent(w, &e);
}

void Hover(TControl* c, int x, int y) {
  Screen->SetCursorPos(c->ClientToScreen({x, y}));
  QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(c->ClientWidget()->mapToGlobal(QPoint(x, y))),
                Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(c->ClientWidget(), &e);
}

/** The mouse comes over a control's window (CM_MOUSEENTER). */
void Enter(TControl* c) {
  const QPointF g(c->Handle()->mapToGlobal(QPoint(1, 1)));
  QEnterEvent e(QPointF(1, 1), QPointF(1, 1), g);
  QCoreApplication::sendEvent(c->Handle(), &e);
}

/** A glyph for the buttons: a blue square framed black on olive, which is
 *  the transparent colour (its bottom-left pixel). */
void MakeGlyph(TBitmap& b) {
  b.SetSize(16, 16);
  TCanvas* c = b.Canvas();
  c->Brush = TBrush{clOlive, bsSolid};
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush.Color = RGB(40, 90, 200);
  c->FillRect(TRect{3, 3, 13, 13});
  c->Brush.Color = clBlack;
  c->FrameRect(TRect{2, 2, 14, 14});
}

struct TShot {
  std::string Name;
  QImage Image;
};

/** A stage: a borderless panel on the form that holds one scene. */
class TStage {
public:
  TStage(TForm& form, int w, int h) : FForm(form) {
    FPanel = new TPanel(&form);
    FPanel->SetParent(&form);
    FPanel->SetBevelOuter(bvNone);
    FPanel->SetBounds(10, 10, w, h);
  }
  ~TStage() {
    delete FPanel;
    Screen->SetCursorPos(FForm.ClientToScreen({FForm.ClientWidth() - 1, FForm.ClientHeight() - 1}));
    Settle(150);  // hover timers see the cursor gone
  }
  TPanel* Panel() const { return FPanel; }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    auto* c = new T(FPanel);
    c->SetParent(FPanel);
    c->SetBounds(x, y, w, h);
    return c;
  }
  QImage Grab() {
    Settle();
    return FPanel->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

private:
  TForm& FForm;
  TPanel* FPanel;
};

using TScene = std::function<QImage(TForm&)>;

std::vector<std::pair<std::string, TScene>> Scenes() {
  std::vector<std::pair<std::string, TScene>> out;
  auto add = [&](std::string name, TScene scene) { out.emplace_back(std::move(name), std::move(scene)); };

  // Push buttons: 64 x 44 with a glyph over the caption.
  const std::pair<const char*, std::function<void(TControl*, TStage&)>> pushStates[] = {
      {"up", [](TControl*, TStage&) {}},
      {"hot", [](TControl* b, TStage&) { Hover(b, 30, 20); }},
      {"down", [](TControl* b, TStage&) {
         Hover(b, 30, 20);
         Mouse(b, QEvent::MouseButtonPress, 30, 20);
       }},
      {"disabled", [](TControl* b, TStage&) { b->SetEnabled(false); }},
  };
  for (const char* kind : {"speedbutton", "button"}) {
    const bool speed = std::string(kind) == "speedbutton";
    for (const auto& [state, drive] : pushStates) {
      add(std::string(kind) + "-" + state, [speed, drive](TForm& form) {
        TStage stage(form, 84, 64);
        TControl* b;
        TBitmap glyph;
        MakeGlyph(glyph);
        if (speed) {
          auto* s = stage.Add<TFlatSpeedButton>(10, 10, 64, 44);
          s->SetGlyph(glyph);
          s->SetCaption("&Open");
          b = s;
        } else {
          auto* s = stage.Add<TFlatButton>(10, 10, 64, 44);
          s->SetGlyph(glyph);
          s->SetCaption("&Open");
          b = s;
        }
        drive(b, stage);
        return stage.Grab();
      });
    }
    add(std::string(kind) + "-exclusive", [speed](TForm& form) {
      TStage stage(form, 84, 64);
      if (speed) {
        auto* b = stage.Add<TFlatSpeedButton>(10, 10, 64, 44);
        b->SetCaption("Bold");
        b->SetGroupIndex(1);
        b->SetDown(true);
      } else {
        auto* b = stage.Add<TFlatButton>(10, 10, 64, 44);
        b->SetCaption("Bold");
        b->SetGroupIndex(1);
        b->SetDown(true);
      }
      return stage.Grab();
    });
  }
  add("speedbutton-exclusive-hot", [](TForm& form) {
    TStage stage(form, 84, 64);
    auto* b = stage.Add<TFlatSpeedButton>(10, 10, 64, 44);
    b->SetCaption("Bold");
    b->SetGroupIndex(1);
    b->SetDown(true);
    Hover(b, 30, 20);
    return stage.Grab();
  });
  add("speedbutton-transparent", [](TForm& form) {
    TStage stage(form, 84, 64);
    stage.Panel()->SetColor(RGB(250, 220, 160));
    auto* b = stage.Add<TFlatSpeedButton>(10, 10, 64, 44);
    b->SetCaption("Clear");
    b->SetTransparentMode(tmAlways);
    return stage.Grab();
  });
  add("button-focused", [](TForm& form) {
    TStage stage(form, 95, 45);
    auto* b = stage.Add<TFlatButton>(10, 10, 75, 25);
    b->SetCaption("&Apply");
    b->SetFocus();
    return stage.Grab();
  });
  add("button-default", [](TForm& form) {
    TStage stage(form, 95, 45);
    auto* b = stage.Add<TFlatButton>(10, 10, 75, 25);
    b->SetCaption("OK");
    b->SetDefault(true);
    return stage.Grab();
  });

  // Check boxes and radio buttons.
  for (const char* kind : {"checkbox", "radio"}) {
    const bool check = std::string(kind) == "checkbox";
    auto make = [check](TStage& stage, int h, const char* caption) -> TFlatOptionButton* {
      TFlatOptionButton* c;
      if (check)
        c = stage.Add<TFlatCheckBox>(10, 8, 121, h);
      else
        c = stage.Add<TFlatRadioButton>(10, 8, 121, h);
      c->SetCaption(caption);
      return c;
    };
    auto setChecked = [check](TFlatOptionButton* c, bool value) {
      if (check)
        static_cast<TFlatCheckBox*>(c)->SetChecked(value);
      else
        static_cast<TFlatRadioButton*>(c)->SetChecked(value);
    };
    const std::pair<const char*, std::function<void(TFlatOptionButton*)>> states[] = {
        {"unchecked", [](TFlatOptionButton*) {}},
        {"checked", [setChecked](TFlatOptionButton* c) { setChecked(c, true); }},
        {"hot", [](TFlatOptionButton* c) { Hover(c, 60, 8); }},
        {"focused", [setChecked](TFlatOptionButton* c) {
           setChecked(c, true);
           c->SetFocus();
         }},
        {"held", [](TFlatOptionButton* c) {
           Hover(c, 60, 8);
           Mouse(c, QEvent::MouseButtonPress, 60, 8);
         }},
        {"disabled", [setChecked](TFlatOptionButton* c) {
           setChecked(c, true);
           c->SetEnabled(false);
         }},
        {"right", [setChecked, check](TFlatOptionButton* c) {
           setChecked(c, true);
           if (check)
             static_cast<TFlatCheckBox*>(c)->SetLayout(checkboxRight);
           else
             static_cast<TFlatRadioButton*>(c)->SetLayout(radioRight);
         }},
    };
    for (const auto& [state, drive] : states)
      add(std::string(kind) + "-" + state, [make, drive](TForm& form) {
        TStage stage(form, 141, 33);
        drive(make(stage, 17, "Remember &me"));
        return stage.Grab();
      });
    add(std::string(kind) + "-wrapped", [make](TForm& form) {
      TStage stage(form, 141, 62);
      make(stage, 46, "A caption that is too long for one line");
      return stage.Grab();
    });
  }

  // Edits.
  const std::pair<const char*, std::function<void(TWinControl*)>> editStates[] = {
      {"flat", [](TWinControl*) {}},
      {"hot", [](TWinControl* e) { Enter(e); }},
      {"focused", [](TWinControl* e) { e->SetFocus(); }},
      {"disabled", [](TWinControl* e) { e->SetEnabled(false); }},
  };
  for (const auto& [state, drive] : editStates) {
    add(std::string("edit-") + state, [drive](TForm& form) {
      TStage stage(form, 141, 39);
      auto* e = stage.Add<TFlatEdit>(10, 10, 121, 19);
      e->SetText("Quarrowfield");
      drive(e);
      return stage.Grab();
    });
    add(std::string("memo-") + state, [drive](TForm& form) {
      TStage stage(form, 205, 109);
      auto* m = stage.Add<TFlatMemo>(10, 10, 185, 89);
      m->SetText("First line\r\nSecond line");
      drive(m);
      return stage.Grab();
    });
    add(std::string("spinedit-") + state, [drive](TForm& form) {
      TStage stage(form, 141, 40);
      auto* s = stage.Add<TFlatSpinEditInteger>(10, 10, 121, 20);
      s->SetValue(42);
      drive(s);
      return stage.Grab();
    });
  }
  add("memo-scrollbars", [](TForm& form) {
    TStage stage(form, 205, 109);
    auto* m = stage.Add<TFlatMemo>(10, 10, 185, 89);
    m->SetScrollBars(ssBoth);
    std::string text;
    for (int i = 1; i <= 12; ++i) text += "Line " + std::to_string(i) + " of the memo, long enough to scroll\r\n";
    m->SetText(text);
    return stage.Grab();
  });
  add("spinedit-pressed", [](TForm& form) {
    TStage stage(form, 141, 40);
    auto* s = stage.Add<TFlatSpinEditInteger>(10, 10, 121, 20);
    s->SetValue(42);
    TControl* up = s->Button()->UpButton();
    Hover(up, 5, 5);
    Mouse(up, QEvent::MouseButtonPress, 5, 5);
    return stage.Grab();
  });

  // Combo boxes.
  const std::pair<const char*, std::function<void(TFlatComboBox*)>> comboStates[] = {
      {"flat", [](TFlatComboBox*) {}},
      {"list-focused", [](TFlatComboBox* c) {
         c->SetStyle(csDropDownList);
         c->SetItemIndex(1);
         c->SetFocus();
       }},
      {"dropped", [](TFlatComboBox* c) { c->SetDroppedDown(true); }},
      {"disabled", [](TFlatComboBox* c) { c->SetEnabled(false); }},
  };
  for (const auto& [state, drive] : comboStates)
    add(std::string("combo-") + state, [drive](TForm& form) {
      TStage stage(form, 165, 41);
      auto* c = stage.Add<TFlatComboBox>(10, 10, 145, 21);
      for (const char* item : {"MySQL", "MariaDB", "SQLite"}) c->Items().Add(item);
      c->SetItemIndex(0);
      drive(c);
      return stage.Grab();
    });

  // The other styles; an open list is shown below its box.
  const struct {
    const char* name;
    TComboBoxStyle style;
    bool focus, drop;
    TColor color;
  } comboStyles[] = {
      {"dropped-ring", csDropDown, false, true, 0xE1EAEB},
      {"simple", csSimple, false, false, clWindow},
      {"ownerdraw-fixed", csOwnerDrawFixed, false, false, clWindow},
      {"ownerdraw-focused", csOwnerDrawFixed, true, false, clWindow},
      {"ownerdraw-variable-open", csOwnerDrawVariable, false, true, clWindow},
  };
  for (const auto& s : comboStyles)
    add(std::string("combo-") + s.name, [s](TForm& form) {
      const bool simple = s.style == csSimple;
      TStage stage(form, 165, simple ? 110 : 41);
      auto* c = stage.Add<TFlatComboBox>(10, 10, 145, simple ? 90 : 21);
      c->SetColor(s.color);
      c->SetStyle(s.style);
      if (c->OwnerDraw()) {
        c->SetItemHeight(16);
        UseColourItems(c);
      } else {
        for (const char* item : {"MySQL", "MariaDB", "SQLite"}) c->Items().Add(item);
      }
      c->SetItemIndex(1);
      if (s.focus) c->SetFocus();
      if (s.drop) c->SetDroppedDown(true);
      QImage face = stage.Grab();
      TCustomControl* list = c->DropDownWindow();
      if (!s.drop || !list || c->Style() == csDropDown) return face;
      const QImage open = list->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      QImage both(face.width(), 41 + open.height() + 10, QImage::Format_RGB32);
      both.fill(ToQColor(clBtnFace));
      QPainter p(&both);
      p.drawImage(0, 0, face);
      p.drawImage(10, 31, open);
      p.end();
      c->SetDroppedDown(false);
      return both;
    });

  // List boxes: as they are, and taken up by the painter (quiet and hot).
  const std::pair<const char*, std::function<void(TListBox*)>> listStates[] = {
      {"plain", [](TListBox*) {}},
      {"painted", [](TListBox*) {}},
      {"painted-hot", [](TListBox* l) { Enter(l); }},
  };
  for (const auto& [state, drive] : listStates)
    add(std::string("listbox-") + state, [state = std::string(state), drive](TForm& form) {
      TStage stage(form, 140, 100);
      // Owned by the form, as the painter takes up what the form owns.
      auto* l = new TListBox(&form);
      l->SetParent(stage.Panel());
      l->SetBounds(10, 10, 120, 80);
      for (const char* name : kColourNames) l->Items().Add(name);
      l->SetItemIndex(1);
      std::unique_ptr<TMenuPainter> painter;
      if (state != "plain") {
        painter = std::make_unique<TMenuPainter>(&form);
        painter->SetXPControls(TXPControls{xcListBox});
        painter->SetSelectBorderColor(clNavy);
        painter->SetUseSystemColors(false);
        painter->SetActive(true);
        painter->Loaded();
      }
      drive(l);
      return stage.Grab();
    });

  // Containers.
  const std::pair<const char*, std::function<void(TFlatPanel*)>> panelStates[] = {
      {"plain", [](TFlatPanel*) {}},
      {"left", [](TFlatPanel* p) { p->SetAlignment(taLeftJustify); }},
      {"disabled", [](TFlatPanel* p) { p->SetEnabled(false); }},
  };
  for (const auto& [state, drive] : panelStates)
    add(std::string("panel-") + state, [drive](TForm& form) {
      TStage stage(form, 205, 61);
      auto* p = stage.Add<TFlatPanel>(10, 10, 185, 41);
      p->SetCaption("Connection");
      drive(p);
      return stage.Grab();
    });
  const std::pair<const char*, std::function<void(TFlatGroupBox*)>> groupStates[] = {
      {"full", [](TFlatGroupBox*) {}},
      {"topline", [](TFlatGroupBox* g) { g->SetBorder(brOnlyTopLine); }},
      {"nocaption", [](TFlatGroupBox* g) { g->SetCaption(""); }},
      {"disabled", [](TFlatGroupBox* g) { g->SetEnabled(false); }},
  };
  for (const auto& [state, drive] : groupStates)
    add(std::string("groupbox-") + state, [drive](TForm& form) {
      TStage stage(form, 205, 125);
      auto* g = stage.Add<TFlatGroupBox>(10, 10, 185, 105);
      g->SetCaption("Options");
      drive(g);
      return stage.Grab();
    });
  const std::pair<const char*, std::function<void(TFlatSplitter*)>> splitStates[] = {
      {"plain", [](TFlatSplitter*) {}},
      {"hot", [](TFlatSplitter* s) { Enter(s); }},
      {"dragging", [](TFlatSplitter* s) {
         Mouse(s, QEvent::MouseButtonPress, 2, 20);
         QMouseEvent e(QEvent::MouseMove, QPointF(42, 20), QPointF(s->ClientWidget()->mapToGlobal(QPoint(42, 20))),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(s->ClientWidget(), &e);
       }},
  };
  for (const auto& [state, drive] : splitStates)
    add(std::string("splitter-") + state, [drive](TForm& form) {
      TStage stage(form, 200, 60);
      auto* left = stage.Add<TFlatPanel>(0, 0, 60, 60);
      left->SetAlign(alLeft);
      left->SetCaption("Tree");
      auto* s = stage.Add<TFlatSplitter>(60, 0, 5, 60);
      s->SetAlign(alLeft);
      auto* rest = stage.Add<TFlatPanel>(65, 0, 135, 60);
      rest->SetAlign(alClient);
      rest->SetCaption("Grid");
      drive(s);
      return stage.Grab();
    });
  return out;
}

/** Pictures enlarged three times side by side in rows, each named above it. */
QImage Sheet(const std::vector<const TShot*>& shots) {
  constexpr int kScale = 3, kLabel = 16, kGap = 10, kMaxWidth = 1800;
  struct TPlace {
    const TShot* Shot;
    int X, Y;
  };
  std::vector<TPlace> places;
  int x = kGap, y = kGap, rowHeight = 0, width = 0;
  for (const TShot* s : shots) {
    const int w = s->Image.width() * kScale, h = s->Image.height() * kScale + kLabel;
    if (x > kGap && x + w > kMaxWidth) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    places.push_back({s, x, y});
    x += w + kGap;
    width = std::max(width, x);
    rowHeight = std::max(rowHeight, h);
  }
  QImage sheet(width, y + rowHeight + kGap, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  p.setPen(Qt::black);
  for (const TPlace& at : places) {
    p.drawText(at.X, at.Y + kLabel - 4, ToQString(at.Shot->Name));
    const QImage& img = at.Shot->Image;
    p.drawImage(QRect(at.X, at.Y + kLabel, img.width() * kScale, img.height() * kScale), img);
  }
  return sheet;
}

}  // namespace

int RenderFlat(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: render_control flat OUTDIR\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[2]);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "render_control: cannot make %s\n", argv[2]);
    return 1;
  }
  TForm form(nullptr);
  form.SetBounds(40, 40, 320, 220);
  form.Show();
  form.Handle()->activateWindow();
  Settle(100);
  std::vector<TShot> shots;
  for (const auto& [name, scene] : Scenes()) {
    TShot shot{name, scene(form)};
    const QString file = dir + "/" + ToQString(name) + ".png";
    if (!shot.Image.save(file, "PNG")) {
      std::fprintf(stderr, "render_control: cannot write %s\n", file.toLocal8Bit().constData());
      return 1;
    }
    std::printf("%s\n", file.toLocal8Bit().constData());
    shots.push_back(std::move(shot));
  }
  // One sheet for each kind of control, to look at them side by side.
  std::vector<std::string> kinds;
  for (const TShot& shot : shots) {
    const std::string kind = shot.Name.substr(0, shot.Name.find('-'));
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  }
  for (const std::string& kind : kinds) {
    std::vector<const TShot*> group;
    for (const TShot& shot : shots)
      if (shot.Name.rfind(kind + "-", 0) == 0) group.push_back(&shot);
    Sheet(group).save(dir + "/sheet-" + ToQString(kind) + ".png", "PNG");
  }
  return 0;
}
