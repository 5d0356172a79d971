// The gallery's strip for dragging, docking, pop-up menus and hints.

#include "GalleryDragDock.h"
#include "GalleryPlace.h"
#include "components/FlatButton.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatPanel.h"
#include "components/GradPageControl.h"
#include "ui/Menus.h"

namespace {

/** A small form that docks (DragKind dkDock) with a memo filling it. */
TForm* DockableForm(TForm* owner, const std::string& caption, const std::string& text) {
  auto* form = new TForm(owner);
  form->SetCaption(caption);
  form->SetBounds(0, 0, 220, 150);
  form->SetDragKind(dkDock);
  auto* memo = Add<TFlatMemo>(form, 0, 0, 100, 100);
  memo->SetAlign(alClient);
  memo->SetText(text);
  form->Show();
  return form;
}

TMenuItem* AddItem(TPopupMenu* menu, const std::string& caption, TNotifyEvent click) {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(caption);
  item->OnClick = std::move(click);
  menu->Items()->Add(item);
  return item;
}

}  // namespace

void AddDragAndDock(TForm* form, const std::function<void(const std::string&)>& status) {
  form->SetHeight(form->Height() + 170);
  auto* strip = Add<TFlatPanel>(form, 0, 0, 100, 170);
  strip->SetAlign(alBottom);
  strip->SetShowHint(true);  // every control of the strip shows its hint

  // A page control that takes docked forms: each gets a page of its own.
  auto* pages = Add<TGradPageControl>(strip, 6, 6, 300, 158);
  pages->SetDockSite(true);
  pages->SetActiveColor(clWhite);
  pages->SetDefaultTabColor(0xE0E9EF);
  pages->SetHint("Drag a tab out to float its form; double-click it to float it too");
  pages->OnDockDrop = [status](TObject*, TDragDockObject* source, int, int) {
    status(source->Control()->Caption() + " docked");
  };
  pages->OnUnDock = [status](TObject*, TControl* client, TWinControl*, bool&) {
    status(client->Caption() + " floats");
  };
  TForm* notes = DockableForm(form, "Notes", "A docked form: drag its tab\r\nout of the page control.");
  notes->ManualDock(pages);
  TForm* log = DockableForm(form, "Log\r\nsecond line", "Its caption's first line\r\nis the tab's text.");
  log->ManualDock(pages);

  auto* toggle = Add<TFlatButton>(strip, 314, 8, 110, 25);
  toggle->SetCaption("&Float the notes");
  toggle->SetHint("ManualDock and ManualFloat");
  toggle->OnClick = [notes, pages, toggle](TObject*) {
    const bool docked = notes->HostDockSite() != nullptr;
    notes->ManualDock(docked ? nullptr : pages);
    toggle->SetCaption(docked ? "&Dock the notes" : "&Float the notes");
  };

  // A drag between two controls: the edit drags itself, the panel takes it.
  auto* source = Add<TFlatEdit>(strip, 314, 44, 110, 19);
  source->SetText("Drag me");
  source->SetDragMode(dmAutomatic);
  source->SetHint("Drag the edit onto the panel; Escape cancels");
  auto* target = Add<TFlatPanel>(strip, 432, 8, 200, 90);
  target->SetCaption("Drop here");
  target->SetColor(0xF4F8F8);
  target->SetHint("Takes drops right of its middle only; right-click for its menu");
  target->OnDragOver = [target](TObject*, TObject*, int X, int, TDragState, bool& Accept) {
    Accept = X >= target->ClientWidth() / 2;
  };
  target->OnDragDrop = [target, status](TObject*, TObject* dropped, int X, int Y) {
    const auto* edit = dynamic_cast<TFlatEdit*>(dropped);
    target->SetCaption(edit ? edit->Text() : "?");
    status("Dropped at " + std::to_string(X) + ", " + std::to_string(Y));
  };
  source->OnEndDrag = [status](TObject*, TObject* at, int, int) {
    if (!at) status("Nothing dropped");
  };

  // A pop-up menu: the right button, the context-menu key or Shift+F10.
  auto* menu = new TPopupMenu(form);
  AddItem(menu, "&Clear", [target, status](TObject*) {
    target->SetCaption("Drop here");
    status("Cleared");
  });
  AddItem(menu, "-", nullptr);
  AddItem(menu, "&Which control?", [menu, status](TObject*) {
    const auto* c = dynamic_cast<TControl*>(menu->PopupComponent());
    status("The menu of " + (c ? c->Hint() : std::string("nothing")));
  });
  target->SetPopupMenu(menu);
  source->SetPopupMenu(menu);
  auto* note = Add<TFlatPanel>(strip, 314, 104, 318, 56);
  note->SetCaption("Right-click the edit or the panel for the menu");
  note->SetHint("A hint shown by the strip's ShowHint");
  note->SetPopupMenu(menu);
}
