#pragma once
/** The XP-style painter: a component on a form that, while Active, measures
 *  and draws the form's menus, draws its tool-bar buttons and control-bar
 *  bands, and paints a flat frame, button, arrow or check mark over the
 *  standard controls it takes up. One manager for the whole program picks
 *  one painter as the active one and styles, through it, every other form
 *  that has no painter of its own.
 *
 *  Which controls are taken up: a control of a kind in XPControls whose
 *  parent is a container of XPContainers, neither of them with Tag 999.
 *  Our own flat controls are never taken up: they paint flat already. */

#include "ui/Canvas.h"
#include "ui/Classes.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/Menus.h"
#include "ui/ToolWin.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TForm;
class TMenuPainter;

/** Parents whose child controls are painted. */
enum TXPContainer {
  xccForm,
  xccFrame,
  xccToolbar,
  xccCoolbar,
  xccControlbar,
  xccPanel,
  xccScrollBox,
  xccGroupBox,
  xccTabSheet,
  xccPageScroller
};
using TXPContainers = TSet<TXPContainer>;

/** Kinds of controls and menus that are painted. */
enum TXPControl {
  xcMainMenu,
  xcPopupMenu,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcListBox,
  xcEdit,
  xcMaskEdit,
  xcMemo,
  xcRichEdit,
  xcMiscEdit,
  xcCheckBox,
  xcRadioButton,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcUpDown,
  xcPanel,
  xcGroupBox,
  xcTreeView,
  xcListView,
  xcProgressBar,
  xcHotKey
};
using TXPControls = TSet<TXPControl>;

constexpr TXPContainers AllXPContainers = TXPContainers::FromBits((1u << 10) - 1);
constexpr TXPControls AllXPControls = TXPControls::FromBits((1u << 23) - 1);

// Colour routines; each takes system colours and answers plain RGB.
/** Every channel less v (green less v - 2), kept within 0..255. */
TColor ShadeColor(TColor color, int v);
/** Each channel moves p percent (at most 100) of the way to 255, rounded. */
TColor LightenColor(TColor color, int p);
/** The mean of the channels plus v, at most 240, as a grey. */
TColor GrayColor(TColor color, int v);
/** Per channel, the sum of channel div the number of colours. */
TColor MixColors(std::initializer_list<TColor> colors);

/** The colours the painter draws with, derived from its properties. */
struct TXPColors {
  TColor MenuBack = clWhite;
  TColor IconBack = clBtnFace;
  TColor SelectFill = clHighlight;
  TColor SelectBorder = clHighlight;
  TColor SelectFont = clHighlightText;
  TColor LightSelect = clWhite;
  TColor MediumSelect = clSilver;
  TColor Checked = clHighlight;
  TColor MenuBar = clBtnFace;
  TColor Disabled = clGrayText;
  TColor Separator = clBtnShadow;
  TColor DarkShadow = clBtnShadow;
  TColor LightShadow = clBtnShadow;
};

/** The class name of an object as the class library reports it ("TButton"). */
std::string ClassName(const TObject* object);
/** One of our own flat controls, which the painter never takes up. */
bool IsFlatControl(const TControl* control);

/** What the painter keeps for one control it has taken up: the hover,
 *  focus, pressed and space-key states heard from the control's messages,
 *  and the look it had before. It paints over the control as the control's
 *  hook, and gives the control back when released. */
class TControlSubClass : public TComponent, public IControlHook {
public:
  TControlSubClass(TMenuPainter* painter, TControl* control);
  ~TControlSubClass() override;

  TControl* Control() const { return FControl; }
  TMenuPainter* Painter() const { return FPainter; }
  bool Hot() const { return FHot; }
  bool MouseDown() const { return FMouseDown; }
  bool SpaceDown() const { return FSpaceDown; }
  bool Focused() const { return FFocused; }

  void ControlMessage(TControl* control, TControlMessage message, int param) override;
  void PaintOver(TControl* control, TCanvas* canvas) override;
  /** Gives the control back its own look and frees the record. */
  void Release();

private:
  void Changed();
  void PaintCombo(TCanvas* c, const TRect& r);
  void PaintEdit(TCanvas* c, const TRect& r);
  void PaintCheckBox(TCanvas* c, const TRect& r);
  void PaintButton(TCanvas* c, const TRect& r);
  void PaintPanel(TCanvas* c, const TRect& r);
  void PaintBorder(TCanvas* c, const TRect& r);
  TColor ParentColor() const;

  TControl* FControl;
  TMenuPainter* FPainter;
  bool FHot = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
  bool FSpaceSeen = false;
  bool FFocused = false;
  bool FSavedCtl3D = true;
  bool FSavedBorderNone = false;
  int FLastCheck = -1;  // a check box's state last heard, to tell a new check from a press
};

/** The painter. Forms built in code set its properties and then call Loaded,
 *  as loading a stored form would, so that it joins the manager. */
class TMenuPainter : public TComponent {
public:
  explicit TMenuPainter(TComponent* AOwner);
  ~TMenuPainter() override;

  /** Joins the manager (the stored form's properties are set). */
  void Loaded();

  int DimLevel() const { return FDimLevel; }
  void SetDimLevel(int value) { FDimLevel = value; }
  int GrayLevel() const { return FGrayLevel; }
  void SetGrayLevel(int value) { FGrayLevel = value; }
  const TFont& Font() const { return FFont; }
  /** Copied; the menu bar is redrawn. */
  void SetFont(const TFont& font);
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { SetColour(FColor, value); }
  bool DrawMenuBar() const { return FDrawMenuBar; }
  void SetDrawMenuBar(bool value) { FDrawMenuBar = value; }
  TColor IconBackColor() const { return FIconBackColor; }
  void SetIconBackColor(TColor value) { SetColour(FIconBackColor, value); }
  TColor MenuBarColor() const { return FMenuBarColor; }
  /** Also redraws the menu bar. */
  void SetMenuBarColor(TColor value);
  TColor SelectColor() const { return FSelectColor; }
  void SetSelectColor(TColor value) { SetColour(FSelectColor, value); }
  TColor SelectBorderColor() const { return FSelectBorderColor; }
  void SetSelectBorderColor(TColor value) { SetColour(FSelectBorderColor, value); }
  TColor SelectFontColor() const { return FSelectFontColor; }
  void SetSelectFontColor(TColor value) { SetColour(FSelectFontColor, value); }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor value) { SetColour(FDisabledColor, value); }
  TColor SeparatorColor() const { return FSeparatorColor; }
  void SetSeparatorColor(TColor value) { SetColour(FSeparatorColor, value); }
  TColor CheckedColor() const { return FCheckedColor; }
  void SetCheckedColor(TColor value) { SetColour(FCheckedColor, value); }
  int IconWidth() const { return FIconWidth; }
  void SetIconWidth(int value) { FIconWidth = value; }
  bool DrawSelect() const { return FDrawSelect; }
  void SetDrawSelect(bool value) { FDrawSelect = value; }
  bool UseSystemColors() const { return FUseSystemColors; }
  /** The menu bar is redrawn and the colours are derived again. */
  void SetUseSystemColors(bool value);
  bool UseDimColor() const { return FUseDimColor; }
  void SetUseDimColor(bool value) { FUseDimColor = value; }
  bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
  void SetOverrideOwnerDraw(bool value) { FOverrideOwnerDraw = value; }
  bool Gradient() const { return FGradient; }
  void SetGradient(bool value) { FGradient = value; }
  bool FlatMenu() const { return FFlatMenu; }
  void SetFlatMenu(bool value) { FFlatMenu = value; }
  bool AutoDetect() const { return FAutoDetect; }
  void SetAutoDetect(bool value) { FAutoDetect = value; }
  TXPContainers XPContainers() const { return FXPContainers; }
  void SetXPContainers(TXPContainers value);
  TXPControls XPControls() const { return FXPControls; }
  void SetXPControls(TXPControls value);
  bool Active() const { return FActive; }
  /** Takes up (or gives back) everything on the form; switched off, it
   *  stops styling other forms (the manager picks another painter). */
  void SetActive(bool value);
  bool DisableSubclassing() const { return FDisableSubclassing; }
  /** The manager picks another active painter when this one was it. */
  void SetDisableSubclassing(bool value);

  /** The form (or frame) the painter is on, or null. */
  TWinControl* OwnerForm() const { return FForm; }
  /** The working colours, derived first when a colour changed. */
  const TXPColors& Colors();
  /** Derives the working colours from the properties now. */
  void DeriveColors();

  /** ActivateComponent for each component container owns. */
  void ActivateComponents(TComponent* container, bool enable, bool update);
  /** Takes up (enable) or gives back one component: menus, tool bars,
   *  control bars, controls, and the components of frames and forms. */
  void ActivateComponent(TComponent* component, bool enable, bool update);
  /** Whether the painter takes up control where it stands now. */
  bool TakesUp(const TControl* control) const;
  /** Adds the menu painter to a component inserted into the form later
   *  (AutoDetect): only a control bar is taken up by it. */
  void ComponentInserted(TComponent* component);

  // The owner-draw handlers.
  void MeasureMenuItem(TMenuItem* item, TCanvas* canvas, int& width, int& height);
  void DrawMenuItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, TOwnerDrawState state);
  void DrawToolButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  void PaintControlBar(TObject* sender, TControl* control, TCanvas* canvas, TRect& rect, TBandPaintOptions& options);
  /** The border of a pop-up menu window (rect is the window at the origin). */
  void DrawWindowBorder(TCanvas* canvas, const TRect& rect);
  /** The size of an item's image: from its image list, else its own bitmap. */
  TSize GetItemImageSize(const TMenuItem* item) const;

  /** The record of a control taken up by any painter, or null. */
  static TControlSubClass* SubClassOf(const TControl* control);

private:
  friend class TControlSubClass;
  friend class TMenuPainterManager;
  void SetColour(TColor& field, TColor value);
  void SetSets(TXPContainers containers, TXPControls controls);
  void RedrawMenuBar();
  void HookMenu(TMenu* menu, bool enable, bool update);
  void HookMenuItems(TMenuItem* item, bool enable);
  void HookControl(TControl* control, bool enable);
  bool IsTopLevel(const TMenuItem* item) const;
  bool LoadItemImage(const TMenuItem* item, TBitmap& image) const;
  void DrawTopMenuItem(TCanvas* canvas, const TRect& r, TColor barColor, bool menuItem);
  void DrawCheckMark(TCanvas* canvas, const TRect& r, bool radio, bool hasImage, bool selected, bool disabled);
  void DrawItemImage(TCanvas* canvas, TBitmap& image, const TRect& r, bool selected, bool enabled, bool checked,
                     bool topLevel, bool toolButton);
  void DrawItemText(TCanvas* canvas, const std::string& caption, const std::string& shortcut, TRect r,
                    bool selected, bool disabled, bool topLevel, bool isDefault, TColor captionColor);
  void FillGradient(TCanvas* canvas, const TRect& r);

  TWinControl* FForm = nullptr;
  int FDimLevel = 30;
  int FGrayLevel = 10;
  TFont FFont;
  TColor FColor = clBtnFace;
  bool FDrawMenuBar = false;
  TColor FIconBackColor = clBtnFace;
  TColor FMenuBarColor = clBtnFace;
  TColor FSelectColor = clHighlight;
  TColor FSelectBorderColor = clHighlight;
  TColor FSelectFontColor = clMenuText;
  TColor FDisabledColor = clInactiveCaption;
  TColor FSeparatorColor = clBtnFace;
  TColor FCheckedColor = clHighlight;
  int FIconWidth = 24;
  bool FDrawSelect = true;
  bool FUseSystemColors = true;
  bool FUseDimColor = false;
  bool FOverrideOwnerDraw = false;
  bool FGradient = false;
  bool FFlatMenu = false;
  bool FAutoDetect = false;
  TXPContainers FXPContainers = AllXPContainers;
  TXPControls FXPControls = AllXPControls;
  bool FActive = false;
  bool FDisableSubclassing = false;
  bool FLoaded = false;
  TForm* FManagedForm = nullptr;  // the form the manager counts as this painter's
  bool FColorsChanged = true;
  TXPColors FColors;
  // The lightening percentages of the control painters.
  int FLightenFace = 16;
  int FLightenHot = 40;
};

/** Keeps every painter, picks the active one (the first that is Active and
 *  does not disable subclassing) and styles, through it, each form of the
 *  program that has no painter of its own and whose Tag is not 999: the
 *  open ones when a painter becomes active, later ones when they show. */
class TMenuPainterManager {
public:
  TMenuPainterManager();
  ~TMenuPainterManager();
  TMenuPainterManager(const TMenuPainterManager&) = delete;
  TMenuPainterManager& operator=(const TMenuPainterManager&) = delete;

  void Add(TMenuPainter* painter);
  void Remove(TMenuPainter* painter);
  int PainterCount() const { return static_cast<int>(FPainters.size()); }
  TMenuPainter* ActivePainter() const { return FActivePainter; }
  /** The first painter that is Active, not DisableSubclassing and not excluded. */
  TMenuPainter* FindActivePainter(const TMenuPainter* excluded) const;
  /** Another active painter, or none: forms move over to it or get their look back. */
  void ChangeActivePainter(const TMenuPainter* excluded);
  /** Queues every open form that wants styling, and styles the queue. */
  void CollectForms();
  /** Gives the controls of form that the active painter took up back. */
  void RestoreForm(TForm* form);
  /** Whether form was styled (or is a painter's own). */
  bool Handled(const TForm* form) const;
  /** A form came on screen: it is styled when it wants it. */
  void FormShown(TForm* form);
  /** A form goes: it leaves the lists. */
  void FormGone(const TForm* form);

private:
  bool Wants(const TForm* form) const;
  void StyleWaiting();
  struct TWatch;
  std::vector<TMenuPainter*> FPainters;
  std::vector<TForm*> FWaiting;
  std::vector<TForm*> FHandled;
  TMenuPainter* FActivePainter = nullptr;
  std::unique_ptr<TWatch> FWatch;
};

/** The one manager; exists while there is a painter. */
extern TMenuPainterManager* MenuPainterManager;
