// Dragging controls onto each other and docking them into dock sites, the
// class library's way, inside the program: the dragged control holds the
// mouse, the control under the pointer is asked whether it takes the drop,
// the cursor tells the answer, a release drops and Escape cancels.

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QRubberBand>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kDragThreshold = 5;  // the classic Mouse.DragThreshold

std::vector<TWinControl*> gDockSites;

/** c's client area on the screen. */
TRect ScreenClientRect(const TControl* c) {
  const TPoint o = c->ClientToScreen({0, 0});
  return Bounds(o.X, o.Y, c->ClientWidth(), c->ClientHeight());
}

/** The window a control that is not a form floats in. It is no dock site
 *  for others, and goes once its control has left it. */
class TFloatForm : public TForm {
public:
  TFloatForm() : TForm(nullptr) { SetBorderStyle(bsSizeToolWin); }

protected:
  void DoRemoveDockClient(TControl*) override {
    Hide();
    QTimer::singleShot(0, Handle(), [this] { delete this; });
  }
  void DockClientChanged(TControl* client) override {
    SetCaption(client->Caption());
    SetVisible(client->Visible());
  }
};

/** Escape cancels the drag, whichever widget has the focus. */
class TEscapeWatch : public QObject {
public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(e)->key() != Qt::Key_Escape) return false;
    RunGuarded([] { DragDone(false); });
    return true;
  }
};

}  // namespace

/** The drag under way: one at a time. */
class TDragRun {
public:
  TControl* Control = nullptr;
  bool Dock = false;
  bool Active = false;  // the pointer has gone past the threshold
  TPoint Start{0, 0};
  TPoint GrabOffset{0, 0};  // the pointer from the floating window's corner
  int Threshold = kDragThreshold;
  TDragObject* Object = nullptr;   // what the handlers see
  std::unique_ptr<TDragObject> Own;  // the layer's own, when no handler gave one
  TObject* Source = nullptr;       // OnDragOver's and OnDragDrop's Source
  TControl* Target = nullptr;
  bool Accepted = false;
  bool Looked = false;  // the control under the pointer has been asked
  bool CursorSet = false;
  std::unique_ptr<TEscapeWatch> Escape;
  QPointer<QRubberBand> Frame;

  TDragDockObject* DockObject() const { return static_cast<TDragDockObject*>(Object); }

  void MoveTo(TPoint p);
  /** The target hears the pointer (leave, enter, move); its answer. */
  bool Over(TDragState state, TPoint p);
  TWinControl* FindDockSite(TPoint p) const;
  bool TakesDock(TWinControl* site, TPoint p) const;
  void ShowCursor(TCursor cursor);
  void ShowFrame(const TRect& r);
  /** Lets go of the mouse, the keys, the cursor and the frame. */
  void Release();
  static void Begin(TControl* control, TPoint start, bool immediate, int threshold);
  static void Done(bool drop);
};

namespace {

std::unique_ptr<TDragRun> gDrag;

}  // namespace

TControl* DragControl() { return gDrag ? gDrag->Control : nullptr; }

const std::vector<TWinControl*>& DockSites() { return gDockSites; }

void TControl::BeginDragFrom(TPoint start, bool immediate, int threshold) {
  if (gDrag) return;
  if (FDragKind == dkDrag && dynamic_cast<TForm*>(this)) throw EInvalidOperation("A form cannot be dragged");
  TDragRun::Begin(this, start, immediate, threshold);
}

void TDragRun::Begin(TControl* control, TPoint start, bool immediate, int threshold) {
  auto run = std::make_unique<TDragRun>();
  run->Control = control;
  run->Dock = control->FDragKind == dkDock;
  run->Start = start;
  run->Threshold = threshold < 0 ? kDragThreshold : threshold;
  if (run->Dock) {
    TDragDockObject* given = nullptr;
    control->DoStartDock(given);
    if (!given) {
      run->Own = std::make_unique<TDragDockObject>(control);
      given = static_cast<TDragDockObject*>(run->Own.get());
    }
    run->Object = given;
    run->Source = given;
    const TRect home = control->ScreenBounds();
    const TRect floating = control->FUndockRect.IsEmpty() || !control->FHostDockSite ? home : control->FUndockRect;
    run->GrabOffset = {std::clamp(start.X - home.Left, 0, std::max(0, floating.Width() - 1)),
                       std::clamp(start.Y - home.Top, 0, std::max(0, floating.Height() - 1))};
  } else {
    TDragObject* given = nullptr;
    control->DoStartDrag(given);
    if (!given) run->Own = std::make_unique<TDragControlObject>(control);
    run->Object = given ? given : run->Own.get();
    run->Source = given ? static_cast<TObject*>(given) : control;
  }
  run->Object->FDragPos = start;
  gDrag = std::move(run);
  control->SetMouseCapture(true);
  gDrag->Escape = std::make_unique<TEscapeWatch>();
  qApp->installEventFilter(gDrag->Escape.get());
  if (immediate) {
    gDrag->Active = true;
    DragTo(start);
  }
}

void TControl::EndDrag(bool Drop) {
  if (DragControl() == this) DragDone(Drop);
}

bool TControl::Dragging() const { return DragControl() == this; }

void DragTo(TPoint screenPos) {
  if (gDrag) gDrag->MoveTo(screenPos);
}

void TDragRun::MoveTo(TPoint p) {
  if (Looked && p == Object->FDragPos) return;  // nothing new to ask
  Object->FDragPos = p;
  if (!Active) {
    if (std::abs(p.X - Start.X) < Threshold && std::abs(p.Y - Start.Y) < Threshold) return;
    Active = true;
  }
  Looked = true;
  TControl* now = Dock ? FindDockSite(p) : FindDragTarget(p, false);
  if (now != Target) {
    if (Target) Over(dsDragLeave, p);
    Target = now;
    Object->FDragTarget = now;
    Accepted = now && Over(dsDragEnter, p);
  } else if (Target) {
    Accepted = Over(dsDragMove, p);
  }
  if (!gDrag) return;  // a handler ended the drag
  if (Dock) {
    TDragDockObject* d = DockObject();
    d->FFloating = !(Target && Accepted);
    if (d->FFloating) {
      const TRect home = Control->ScreenBounds();
      const TRect floating = Control->FHostDockSite && !Control->FUndockRect.IsEmpty() ? Control->FUndockRect : home;
      d->FDockRect = Bounds(p.X - GrabOffset.X, p.Y - GrabOffset.Y, floating.Width(), floating.Height());
    }
    ShowFrame(d->FDockRect);
  } else {
    ShowCursor(Target && Accepted ? Control->DragCursor() : crNoDrop);
  }
}

bool TDragRun::Over(TDragState state, TPoint p) {
  const TPoint at = Target->ScreenToClient(p);
  bool accept = true;
  if (Dock) {
    auto* site = static_cast<TWinControl*>(Target);
    RunGuarded([&] { site->DockOver(DockObject(), at.X, at.Y, state, accept); });
  } else {
    RunGuarded([&] { Target->DragOver(Source, at.X, at.Y, state, accept); });
  }
  return accept;
}

bool TDragRun::TakesDock(TWinControl* site, TPoint p) const {
  if (!site->DockSite() || !site->Showing() || !site->Enabled()) return false;
  // Never into itself or into one of its own controls.
  if (auto* self = dynamic_cast<TWinControl*>(Control); self && self->ContainsControl(site)) return false;
  TRect influence = ScreenClientRect(site);
  bool canDock = true;
  RunGuarded([&] { site->GetSiteInfo(Control, influence, p, canDock); });
  return canDock && influence.Contains(p);
}

TWinControl* TDragRun::FindDockSite(TPoint p) const {
  for (TControl* c = FindDragTarget(p, false); c; c = c->Parent())
    if (auto* w = dynamic_cast<TWinControl*>(c); w && TakesDock(w, p)) return w;
  // A site may take the pointer outside its window (OnGetSiteInfo).
  for (TWinControl* w : gDockSites)
    if (TakesDock(w, p)) return w;
  return nullptr;
}

void TDragRun::ShowCursor(TCursor cursor) {
  const QCursor c = TScreen::CursorFor(cursor);
  if (CursorSet) {
    QApplication::changeOverrideCursor(c);
  } else {
    QApplication::setOverrideCursor(c);
    CursorSet = true;
  }
}

void TDragRun::ShowFrame(const TRect& r) {
  if (!Frame) {
    Frame = new QRubberBand(QRubberBand::Rectangle);
    Frame->setAttribute(Qt::WA_TransparentForMouseEvents);  // the controls under it stay findable
  }
  Frame->setGeometry(ToQRect(r));
  Frame->show();
}

void TDragRun::Release() {
  if (Escape) qApp->removeEventFilter(Escape.get());
  Escape.reset();
  if (CursorSet) QApplication::restoreOverrideCursor();
  CursorSet = false;
  delete Frame.data();
  if (Control && Control->MouseCapture()) Control->SetMouseCapture(false);
}

void DragDone(bool Drop) { TDragRun::Done(Drop); }

void TDragRun::Done(bool Drop) {
  if (!gDrag) return;
  // The drag is over now, whatever the handlers below do.
  std::unique_ptr<TDragRun> run = std::move(gDrag);
  run->Release();
  TControl* source = run->Control;
  if (!source) return;  // freed while it was dragged
  const TPoint p = run->Object->DragPos();
  TControl* target = run->Active && run->Accepted ? run->Target : nullptr;
  if (run->Target) run->Over(dsDragLeave, p);
  if (!Drop) target = nullptr;
  const TPoint at = target ? target->ScreenToClient(p) : TPoint{0, 0};
  if (!run->Dock) {
    if (target) target->DragDrop(run->Source, at.X, at.Y);
    source->DoEndDrag(target, at.X, at.Y);
    return;
  }
  if (!Drop || !run->Active) {
    source->DoEndDock(nullptr, 0, 0);
    return;
  }
  TDragDockObject* d = run->DockObject();
  if (target) {
    auto* site = static_cast<TWinControl*>(target);
    if (site != source->HostDockSite() && !source->DockTo(site, *d, at)) target = nullptr;
  } else if (!source->ManualFloat(d->DockRect())) {
    target = nullptr;
  }
  source->DoEndDock(target, target ? at.X : 0, target ? at.Y : 0);
}

// ---------------------------------------------------------------- the control's part

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoStartDock(TDragDockObject*& DragObject) {
  if (OnStartDock) OnStartDock(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  // Only a control with a handler takes drops.
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DoEndDock(TObject* Target, int X, int Y) {
  if (OnEndDock) OnEndDock(this, Target, X, Y);
}

TRect TControl::ScreenBounds() const {
  if (!FParent && FWindowKind == wkChild) return BoundsRect();  // a form: its window
  const TPoint origin = ClientToScreen({-ClientOrigin().X, -ClientOrigin().Y});
  return Bounds(origin.X, origin.Y, Width(), Height());
}

bool TControl::Floating() const {
  if (dynamic_cast<const TForm*>(this)) return !FParent;
  return dynamic_cast<TFloatForm*>(FHostDockSite) != nullptr;
}

bool TControl::ManualDock(TWinControl* site, TControl* dropControl, TAlign controlSide) {
  if (!site) return ManualFloat(FUndockRect.IsEmpty() ? ScreenBounds() : FUndockRect);
  if (site == FHostDockSite) return true;
  TDragDockObject source(this);
  source.FFloating = false;
  source.FDropOnControl = dropControl;
  source.FDropAlign = controlSide;
  source.FDockRect = ScreenClientRect(site);
  return DockTo(site, source, {0, 0});
}

bool TControl::DockTo(TWinControl* site, TDragDockObject& source, TPoint at) {
  TWinControl* old = FHostDockSite;
  if (old == site) return true;
  if (old && !old->DoUnDock(site, this)) return false;
  // Where it floats when it is undocked again: where it is now, or for a
  // control in its floating window, that window's place and inside.
  if (!old || dynamic_cast<TFloatForm*>(old)) {
    FUndockRect = old ? Bounds(old->Left(), old->Top(), old->ClientWidth(), old->ClientHeight()) : ScreenBounds();
    if (!old) FUndockAlign = FAlign;
  }
  if (old) old->RemoveDockClient(this);
  site->DockDrop(&source, at.X, at.Y);
  return true;
}

bool TControl::ManualFloat(const TRect& screenRect) {
  TWinControl* old = FHostDockSite;
  if (old && !old->DoUnDock(nullptr, this)) return false;
  if (!old) FUndockAlign = FAlign;
  Float(screenRect);
  if (old) old->RemoveDockClient(this);
  return true;
}

void TControl::Float(const TRect& screenRect) {
  FHostDockSite = nullptr;
  if (dynamic_cast<TForm*>(this)) {
    // Its size first, so that its window comes up in it; a window manager
    // that saw it at its docked size would answer with that one late.
    SetAlign(FUndockAlign);
    SetBounds(screenRect.Left, screenRect.Top, screenRect.Width(), screenRect.Height());
    SetParent(nullptr);
    return;
  }
  // The window's corner at the rectangle's, its inside as large.
  auto* host = new TFloatForm;
  host->SetCaption(Caption());
  host->SetBounds(screenRect.Left, screenRect.Top, screenRect.Width() + host->NonClientSize().cx,
                  screenRect.Height() + host->NonClientSize().cy);
  static_cast<TWinControl*>(host)->AddDockClient(this, host->ClientRect());
  SetAlign(alClient);
  if (Visible()) host->Show();
}

void TControl::LeaveDragAndDock() {
  if (gDrag) {
    if (gDrag->Target == this) gDrag->Target = nullptr;
    if (gDrag->Control == this) {
      gDrag->Control = nullptr;
      DragDone(false);
    }
  }
  if (TWinControl* site = FHostDockSite) {
    FHostDockSite = nullptr;
    site->RemoveDockClient(this);
  }
}

// ---------------------------------------------------------------- the dock site's part

void TWinControl::SetDockSite(bool value) {
  if (value == FDockSite) return;
  FDockSite = value;
  if (value)
    gDockSites.push_back(this);
  else
    gDockSites.erase(std::remove(gDockSites.begin(), gDockSites.end(), this), gDockSites.end());
}

TControl* TWinControl::DockClients(int index) const {
  if (index < 0 || index >= DockClientCount()) return nullptr;
  return FDockClients[static_cast<size_t>(index)];
}

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
  if (OnGetSiteInfo) OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

void TWinControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Source->SetDockRect(ScreenClientRect(this));
  if (OnDockOver) OnDockOver(this, Source, X, Y, State, Accept);
}

void TWinControl::DockDrop(TDragDockObject* Source, int X, int Y) {
  const TRect r = Source->DockRect();
  const TPoint at = ScreenToClient(r.TopLeft());
  AddDockClient(Source->Control(), Bounds(at.X, at.Y, r.Width(), r.Height()));
  if (OnDockDrop) OnDockDrop(this, Source, X, Y);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
  bool allow = true;
  if (OnUnDock) OnUnDock(this, Client, NewTarget, allow);
  return allow;
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
  Client->SetParent(this);
  Client->SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
}

void TWinControl::AddDockClient(TControl* client, const TRect& clientRect) {
  FDockClients.push_back(client);
  client->FHostDockSite = this;
  DoAddDockClient(client, clientRect);
}

void TWinControl::RemoveDockClient(TControl* client) {
  auto it = std::find(FDockClients.begin(), FDockClients.end(), client);
  if (it == FDockClients.end()) return;
  FDockClients.erase(it);
  if (client->FHostDockSite == this) client->FHostDockSite = nullptr;
  DoRemoveDockClient(client);
}
