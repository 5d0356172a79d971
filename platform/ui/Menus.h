#pragma once
/** Menus of the class library over QMenuBar and QMenu.
 *
 *  A menu item is a component with one QAction underneath; an item with
 *  sub-items has a QMenu for them. A main menu is the menu bar of the form
 *  that owns it and takes the form's short cuts; a pop-up menu is a QMenu
 *  shown at a screen point. With OwnerDraw set, the items are measured and
 *  drawn by their OnMeasureItem and OnAdvancedDrawItem events, and the pop-up
 *  frames by the menu's OnDrawFrame, through one application-wide style that
 *  hands them a canvas; items without those events keep the Qt look. */

#include "core/Exception.h"
#include "ui/Canvas.h"
#include "ui/Classes.h"
#include "ui/Controls.h"
#include "ui/Types.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QShortcut;
class TBitmap;
class TForm;
class TImageList;
class TMenu;
class TMenuAction;
class TMenuBarWidget;
class TMenuWindow;

/** A menu item in the wrong place: inserted twice, into itself, or an index outside the list. */
class EMenuError : public Exception {
  using Exception::Exception;
};

/** A key with its shift keys: the virtual key in the low byte, scShift,
 *  scCtrl and scAlt above it; 0 is none. */
using TShortCut = std::uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

/** The short cut of a key and its shift keys (ssShift, ssCtrl, ssAlt count);
 *  0 for a key code above 255. */
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
/** "Shift+", "Ctrl+", "Alt+" in that order, then the key's name ("N", "F1",
 *  "Del", "PgUp"); empty for none or a key without a name. */
std::string ShortCutToText(TShortCut ShortCut);

/** How an owner-drawn item is to be drawn. A top-level item of a main menu
 *  is odSelected while its menu is open and odHotLight while the mouse is
 *  over it; a disabled item is odDisabled and odGrayed. */
enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

/** Width and Height arrive holding the size the item would take; the handler
 *  may change them. ACanvas measures (it draws nothing) in the menu font. */
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
/** ACanvas covers the whole menu window (window coordinates); ARect is the
 *  item's place in it, filled with clMenu beforehand. What is drawn outside
 *  ARect lands on the window too (a later item may cover it). The brush is
 *  clHighlight for a selected item and clMenu otherwise, the font the menu
 *  font in clHighlightText or clMenuText. The arrow of a sub-menu is drawn
 *  over the item afterwards, 9 to 5 pixels left of its right edge. */
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;
/** Draws the border of a pop-up window of the menu: ACanvas covers the whole
 *  window, ARect is the window at the origin, the border is the outer 3 pixels. */
using TMenuDrawFrameEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect)>;

/** The font menus are drawn in. */
TFont MenuFont();

/** One entry of a menu: a command, a separator (caption "-") or a sub-menu.
 *  The item frees its sub-items when it goes; one freed by its owner first
 *  leaves its parent's list. */
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  /** "&" marks the accelerator, "&&" is an ampersand; "-" makes a separator. */
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  bool IsLine() const { return FCaption == "-"; }
  /** Fires Click when the form of the main menu is active, unless the focused
   *  control uses the key itself (an edit keeps its cut, copy and paste keys).
   *  A hidden item's short cut works; a disabled one's (or one under a
   *  disabled parent) does not. */
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  /** Checking a radio item unchecks the radio items of its group beside it. */
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  /** The item drawn in bold, chosen by a double click on a window's menu. */
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  /** The image of the menu's Images (or of the parent's SubMenuImages); -1 for none. */
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  /** Images for the sub-items instead of the menu's own. */
  TImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TImageList* images);
  /** A picture of the item's own, used when it has no image from a list. */
  TBitmap& Bitmap();
  bool HasBitmap() const;
  /** The image list the item's ImageIndex refers to, or null. */
  TImageList* ImageList() const;

  int Count() const { return static_cast<int>(FItems.size()); }
  /** Raises EMenuError for an index outside the list. */
  TMenuItem* Items(int index) const;
  void Add(TMenuItem* item) { Insert(Count(), item); }
  /** Raises EMenuError for an item that already has a parent, for this item
   *  or one of its parents, and for an index outside 0..Count. */
  void Insert(int index, TMenuItem* item);
  /** Takes the item out of the list without freeing it. */
  void Delete(int index);
  void Remove(TMenuItem* item);
  /** Frees every sub-item. */
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  /** The menu whose tree holds the item, or null. */
  TMenu* GetParentMenu() const;
  /** Fires OnClick when the item is enabled. An item with sub-items clicks
   *  when its sub-menu opens. */
  virtual void Click();

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  /** The Qt action underneath. */
  QAction* QtAction() const;
  /** The pop-up window of the sub-items (null while there are none). */
  QMenu* QtSubMenu() const;
  /** The item of an action made by this layer, or null. */
  static TMenuItem* FromAction(const QAction* action);

private:
  friend class TMenu;
  friend class TMainMenu;
  friend class TPopupMenu;
  friend class TMenuStyle;
  friend class TMenuWindow;
  /** The widget that shows the sub-items: the sub-menu, the menu bar or the pop-up. */
  QWidget* ItemsWidget();
  void UpdateAction();
  void UpdateIcon();
  void UpdateShortcut();
  void UpdateTree();
  /** The containing menu or bar measures its items again. */
  void Remeasure();
  bool EffectivelyEnabled() const;
  bool OwnerDrawn() const;

  std::string FCaption;
  TShortCut FShortCut = scNone;
  bool FChecked = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  int FImageIndex = -1;
  TImageList* FSubMenuImages = nullptr;
  std::unique_ptr<TBitmap> FBitmap;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item only
  std::unique_ptr<TMenuAction> FAction;
  std::unique_ptr<TMenuWindow> FSubMenu;
  QPointer<QShortcut> FShortcutKey;  // a child of the form's window
  bool FDying = false;
};

/** What main and pop-up menus share: the tree of items, the images and the
 *  owner-draw switch. */
class TMenu : public TComponent {
public:
  ~TMenu() override;

  /** The root of the tree; its sub-items are the menu's entries. */
  TMenuItem* Items() const { return FItems.get(); }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  /** Items with measure and draw events are measured and drawn by them. */
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);

  /** Used only while OwnerDraw is set. */
  TMenuDrawFrameEvent OnDrawFrame;

protected:
  explicit TMenu(TComponent* AOwner);
  /** The widget that shows the top-level items. */
  virtual QWidget* RootWidget() const = 0;
  /** The items were measured again (a main menu's bar may change its height);
   *  later: once the events waiting now are handled. */
  virtual void Remeasured(bool /*later*/ = false) {}

private:
  friend class TMenuItem;
  std::unique_ptr<TMenuItem> FItems;
  TImageList* FImages = nullptr;
  bool FOwnerDraw = false;
};

/** The menu bar of the form that owns it: it sits above the client area and
 *  takes its height off it (at least the classic 19 pixels, more when its
 *  owner-drawn items measure taller), and its items' short cuts work while
 *  the form is the active window. */
class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  QMenuBar* QtMenuBar() const;
  /** The form it is the menu of (its owner), or null. */
  TForm* Form() const { return FForm; }

protected:
  QWidget* RootWidget() const override;
  void Remeasured(bool later = false) override;

private:
  TMenuBarWidget* FBar = nullptr;
  TForm* FForm = nullptr;
  int FBarHeight = -1;
};

/** A menu that pops up at a point. Its short cuts are not taken from the keyboard. */
class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  /** Shows the menu with its top-left corner at (X, Y), screen coordinates,
   *  and returns at once; a chosen item clicks later. */
  virtual void Popup(int X, int Y);
  QMenu* QtPopup() const;
  /** The control whose context menu request showed the menu last (null
   *  when it is gone or the program showed the menu itself). */
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component);

protected:
  QWidget* RootWidget() const override;
  void Notification(TComponent* AComponent) override;

private:
  std::unique_ptr<TMenuWindow> FPopup;
  TComponent* FPopupComponent = nullptr;
};
