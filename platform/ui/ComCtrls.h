#pragma once
/** Common controls: the status bar, the tree view, the tab control base and
 *  the page control with its tab sheets.
 *
 *  The status bar and the tab controls paint themselves through TCanvas in
 *  the classic look; the tree view hosts a QTreeWidget whose rows, lines and
 *  buttons are drawn the classic way too. Events keep the class library's
 *  meaning: the tree's OnChange fires whenever its selection changes (by
 *  the user, by code, or because the selected node was deleted); a tab
 *  control's OnChanging and OnChange fire for the user's choices (mouse,
 *  arrow keys, Ctrl+Tab), not for TabIndex or ActivePage set from code; a
 *  tab sheet's OnShow fires whenever the sheet comes into view, from code
 *  too. */

#include "core/StringList.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTreeWidgetItem;
class TTreeHost;
class TTreeNodes;
class TTreeView;

// ---------------------------------------------------------------- status bar

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;
class TStatusPanels;

/** One panel of a status bar: its text, width, alignment and bevel. */
class TStatusPanel {
public:
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel bevel);
  /** The panel's position in the bar. */
  int Index() const;

private:
  friend class TStatusPanels;
  explicit TStatusPanel(TStatusPanels* owner) : FOwner(owner) {}
  void Changed(bool layout);
  TStatusPanels* FOwner;
  std::string FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
};

/** The panels of a status bar, left to right. */
class TStatusPanels {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  /** Raises EListError outside the list. */
  TStatusPanel* Items(int index) const;
  TStatusPanel* operator[](int index) const { return Items(index); }
  /** A new panel at the right end. */
  TStatusPanel* Add();
  void Delete(int index);
  void Clear();

private:
  friend class TStatusBar;
  friend class TStatusPanel;
  explicit TStatusPanels(TStatusBar* bar) : FBar(bar) {}
  TStatusBar* FBar;
  std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

/** The bar at the bottom of a window. Panels lie side by side, each as wide
 *  as its Width and 2 pixels apart, the last one up to the right edge; with
 *  SimplePanel one area shows SimpleText instead. The size grip in the
 *  bottom-right corner (shown on sizeable forms) resizes the form. */
class TStatusBar : public TCustomControl {
public:
  explicit TStatusBar(TComponent* AOwner);

  TStatusPanels& Panels() { return FPanels; }
  const TStatusPanels& Panels() const { return FPanels; }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& text);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool value);

  /** Where panel index lies (client coordinates); empty outside the list. */
  TRect PanelRect(int index) const;
  /** The area of the simple panel. */
  TRect SimpleRect() const;
  /** The size grip's square; empty when no grip is shown. */
  TRect SizeGripRect() const;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override { FGripDrag = false; }

private:
  friend class TStatusPanel;
  friend class TStatusPanels;
  void PanelChanged(int index, bool layout);
  void PaintPart(const TRect& r, TStatusPanelBevel bevel, const std::string& text, TAlignment alignment);
  void PaintSizeGrip(const TRect& r);
  TStatusPanels FPanels{this};
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
  bool FGripDrag = false;
  TPoint FGripStart;
  TRect FFormStart;
};

// ---------------------------------------------------------------- tree view

/** One node of a tree view. Nodes belong to the tree's Items, which free
 *  them: remove a node with Delete, never with delete. */
class TTreeNode {
public:
  TTreeNodes* Owner() const { return FOwner; }
  TTreeView* TreeView() const;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  /** The program's own pointer, never touched by the tree. */
  void* Data() const { return FData; }
  void SetData(void* data) { FData = data; }
  /** Images of the tree's image list shown before the text (-1: none). */
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  /** The image shown while the node is selected. */
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int index);

  TTreeNode* Parent() const { return FParent; }
  /** Children, in order. */
  int Count() const { return static_cast<int>(FChildren.size()); }
  bool HasChildren() const { return !FChildren.empty(); }
  /** Child index; raises EListError outside the list. */
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstChild() const;
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  /** Position among its siblings. */
  int Index() const;
  /** 0 for a root node. */
  int Level() const;
  bool Expanded() const;
  void SetExpanded(bool value);
  bool Selected() const;
  /** Deletes the node and its children; when it held the selection, the
   *  selection moves on as the tree's Items.Delete says. */
  void Delete();
  /** Deletes the children; a selection among them moves to this node. */
  void DeleteChildren();
  /** The node's row, or with textOnly its text, in the tree's client
   *  coordinates; empty while the node is not shown (a collapsed parent). */
  TRect DisplayRect(bool textOnly) const;

private:
  friend class TTreeNodes;
  friend class TTreeView;
  friend class TTreeHost;
  friend struct std::default_delete<TTreeNode>;
  TTreeNode(TTreeNodes* owner, TTreeNode* parent) : FOwner(owner), FParent(parent) {}
  ~TTreeNode();
  std::vector<std::unique_ptr<TTreeNode>>& Siblings() const;
  void UpdateRow();
  TTreeNodes* FOwner;
  TTreeNode* FParent;
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
  QTreeWidgetItem* FItem = nullptr;
  std::string FText;
  void* FData = nullptr;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
};

/** All nodes of a tree view. Count and Item count every node of the tree,
 *  in the order they are shown when everything is expanded. */
class TTreeNodes {
public:
  TTreeView* Owner() const { return FView; }
  int Count() const;
  /** Raises EListError outside the list. */
  TTreeNode* Item(int index) const;
  TTreeNode* operator[](int index) const { return Item(index); }
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }
  /** A new last sibling of sibling (null: a new last root node). */
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  /** A new last child of parent (null: a new last root node). */
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  /** A new first child of parent (null: a new first root node). */
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  /** Deletes node with its children. When the selection was among them, it
   *  moves to the node's next sibling, else its parent, else its previous
   *  sibling (none when the tree is left empty), and OnChange reports it. */
  void Delete(TTreeNode* node);
  /** Deletes every node; a selection becomes none and OnChange reports it. */
  void Clear();

private:
  friend class TTreeNode;
  friend class TTreeView;
  explicit TTreeNodes(TTreeView* view) : FView(view) {}
  TTreeNode* Insert(TTreeNode* parent, size_t position, const std::string& text);
  void Flatten() const;
  TTreeView* FView;
  std::vector<std::unique_ptr<TTreeNode>> FRoots;
  mutable std::vector<TTreeNode*> FFlat;
  mutable bool FFlatValid = false;
};

/** Node is the new selection (null: none). */
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
/** Node would become the selection; AllowChange (true on entry) false refuses it. */
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;

/** A tree of text nodes with images, over a QTreeWidget: dotted lines,
 *  plus and minus buttons, the selection painted behind the text only (the
 *  whole row with RowSelect), hidden while the tree lacks the focus with
 *  HideSelection. The focused tree frames its selected node, or its first
 *  one while none is selected. Keys reach the control's handlers first. */
class TTreeView : public TWinControl {
public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;

  TTreeNodes& Items() { return *FItems; }
  const TTreeNodes& Items() const { return *FItems; }
  TTreeNode* Selected() const { return FSelected; }
  /** Selects node (null: none) as a click would: OnChanging may refuse it,
   *  OnChange follows a change. A selected node is brought into view, its
   *  parents expanded. */
  void SetSelected(TTreeNode* node);
  /** The node whose row lies at (X, Y) in client coordinates, or null. */
  TTreeNode* GetNodeAt(int X, int Y) const;

  /** The images the nodes show; borrowed, drawn as they are at paint time. */
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  /** Without ReadOnly the user edits a selected node's text (click it again, or F2). */
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool value);
  /** bsSingle: the classic sunken edge; bsNone: no frame. */
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  /** Pixels a level is indented by. */
  int Indent() const { return 19; }

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;

protected:
  /** Asks OnChanging whether node may become the selection. */
  virtual bool CanChange(TTreeNode* Node);
  /** The selection changed to node; fires OnChange. */
  virtual void Change(TTreeNode* Node);
  void ColorChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;
  void FocusGained() override;
  void FocusLost() override;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  friend class TTreeHost;
  void CurrentChanged(QTreeWidgetItem* item);
  /** Runs remove; when it takes the selection, the selection moves to
   *  newSelection first and OnChange tells of it after. */
  void DeleteNodes(bool takesSelection, TTreeNode* newSelection, const std::function<void()>& remove);
  void RepaintRows();
  TTreeNode* NodeOf(const QTreeWidgetItem* item) const;
  int RowHeight() const;
  TTreeHost* FTree = nullptr;
  std::unique_ptr<TTreeNodes> FItems;
  TTreeNode* FSelected = nullptr;
  TImageList* FImages = nullptr;
  bool FReadOnly = false;
  bool FHideSelection = true;
  bool FRowSelect = false;
  TBorderStyle FBorderStyle = bsSingle;
  bool FQuiet = false;  // a selection moved by the tree itself: no events
};

// ---------------------------------------------------------------- tab controls

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

class TCustomTabControl;

/** Rect is the inside of the tab (without its edges). */
using TDrawTabEvent = std::function<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
/** ImageIndex arrives as the tab's own index. */
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

/** The captions of a tab control's tabs; every change updates the control. */
class TTabStrings {
public:
  int Count() const { return FList.Count(); }
  /** Raises EListError outside the list. */
  const std::string& operator[](int index) const { return FList[index]; }
  const std::string& Get(int index) const { return FList[index]; }
  void Put(int index, const std::string& text);
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& text) const { return FList.IndexOf(text); }
  void Assign(const TStringList& list);
  const TStringList& List() const { return FList; }

private:
  friend class TCustomTabControl;
  explicit TTabStrings(TCustomTabControl* owner) : FOwner(owner) {}
  TCustomTabControl* FOwner;
  TStringList FList;
};

/** The base of tab and page controls: a row (or rows) of tabs along one
 *  side and a frame round the display area where pages go.
 *
 *  Geometry: a tab is as long as its caption plus 6 pixels each side (and
 *  its image plus 3 when Images is set), or TabWidth; a row is as thick as
 *  the text plus 6, or TabHeight. The rows start 2 pixels from the control's
 *  edges; the page frame takes the rest, and the display area lies 4 pixels
 *  inside it. With MultiLine the tabs wrap into rows (stretched to the full
 *  length unless RaggedRight) and the row of the selected tab lies next to
 *  the page, the rows before it behind the others, or with ScrollOpposite on
 *  the opposite side of the page; a single row scrolls so that the selected
 *  tab is in view. The active tab stands out by 2 pixels on three sides and
 *  opens into the page.
 *
 *  Painting: Paint draws the strip background, the page frame and every tab
 *  through virtual steps a derived control may replace; OwnerDraw leaves
 *  each tab's inside to DrawTab (OnDrawTab). */
class TCustomTabControl : public TCustomControl {
public:
  explicit TCustomTabControl(TComponent* AOwner);

  TTabStrings& Tabs() { return FTabs; }
  const TTabStrings& Tabs() const { return FTabs; }
  /** The selected tab, -1 for none. Setting it fires no event. */
  int TabIndex() const { return FTabIndex; }
  void SetTabIndex(int index);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition position);
  /** 0: from the font (and the images). */
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int height);
  /** 0: each tab as long as its caption. */
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int width);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  bool RaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool value);
  /** Rows in front of the selected tab's row move to the opposite side. */
  bool ScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool value);
  /** The caption under the mouse is drawn in the hot-light colour. */
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);
  /** Borrowed; each tab shows GetImageIndex of its index. */
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);

  /** Tab index as laid out (client coordinates), without the active tab's
   *  standing out; empty outside the list. */
  TRect TabRect(int index) const;
  /** The side of the page tab index lies on: TabPosition, or the opposite
   *  side for a row moved there by ScrollOpposite. */
  TTabPosition TabSide(int index) const;
  /** The tab at (X, Y), the active one first where it stands out; -1 for none. */
  int IndexOfTabAt(int X, int Y) const;
  /** Where the pages go. */
  TRect DisplayRect() const;
  /** The frame round the display area. */
  TRect PageFrameRect() const;
  /** How many rows of tabs there are (at least 1). */
  int RowCount() const;
  /** The thickness of a row of tabs. */
  int RowThickness() const;
  /** The tab under the mouse while HotTrack is on, -1 for none. */
  int HotTab() const { return FHotTab; }

  /** Selects the tab after (or before) the selected one, round the ends, as
   *  Ctrl+Tab (Ctrl+Shift+Tab) does while the focus is inside the control:
   *  OnChanging may refuse, OnChange follows. */
  virtual void SelectNextTab(bool forward);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;
  TTabGetImageEvent OnGetImageIndex;

protected:
  /** Asks OnChanging whether the selection may change. */
  virtual bool CanChange();
  /** The user changed the selection; fires OnChange. */
  virtual void Change();
  /** The user chose tab index: CanChange, the new TabIndex, Change.
   *  False when refused or already selected. */
  bool SelectTab(int index);
  /** The image of tab index (OnGetImageIndex; the tab's index by default). */
  virtual int GetImageIndex(int TabIndex);
  /** The tabs' captions changed (count or text). */
  virtual void TabsChanged();
  /** Replaces every caption at once and selects tabIndex, firing nothing. */
  void SetTabList(const TStringList& captions, int tabIndex);

  void Paint() override;
  /** Fills the strip outside the tabs with the parent's colour. */
  virtual void PaintTabStrip();
  /** The raised frame round the display area. */
  virtual void PaintPageFrame(const TRect& frame);
  /** One tab: its edges and face in rect (the drawn rectangle), then the
   *  inside: DrawTab with OwnerDraw, the image and caption otherwise. */
  virtual void PaintTab(int index, const TRect& rect, bool active);
  /** The inside of an owner-drawn tab: OnDrawTab, or a plain face. */
  virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
  /** Image and caption of a tab inside rect. */
  void DrawTabContent(int index, const TRect& rect, bool active);
  /** The rectangle a tab is painted in (the active one stands out). */
  TRect DrawnTabRect(int index) const;
  /** The inside of a drawn tab on side, without its edges. */
  TRect TabInside(const TRect& drawn, bool active, TTabPosition side) const;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  unsigned DialogCode() const override { return DLGC_WANTARROWS; }
  void AlignControls(TRect& rect) override;
  void FontChanged() override;
  void SizeChanged() override;
  void FocusGained() override { Invalidate(); }
  void FocusLost() override { Invalidate(); }

private:
  friend class TTabStrings;
  struct TLayout {
    std::vector<TRect> Rects;
    std::vector<TTabPosition> Sides;
    int Rows = 1;
    TRect Frame;
  };
  TLayout Layout() const;
  int TabLength(int index) const;
  void TabsEdited(int index, int delta);
  void ScrollIntoView();
  void LayoutChanged();
  TTabStrings FTabs{this};
  int FTabIndex = -1;
  int FFirstTab = 0;  // first tab shown in a single row
  TTabPosition FTabPosition = tpTop;
  int FTabHeight = 0;
  int FTabWidth = 0;
  bool FMultiLine = false;
  bool FRaggedRight = false;
  bool FScrollOpposite = false;
  bool FHotTrack = false;
  bool FOwnerDraw = false;
  TImageList* FImages = nullptr;
  int FHotTab = -1;
};

/** A tab control with a list of tabs and nothing else. */
class TTabControl : public TCustomTabControl {
public:
  using TCustomTabControl::TCustomTabControl;
};

class TPageControl;

/** A page of a page control: a container shown while it is the active page.
 *  It fills the page control's display area and starts hidden. */
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  /** Puts the sheet into pageControl (null: out of any), as its last page. */
  void SetPageControl(TPageControl* pageControl);
  void SetParent(TWinControl* parent) override;
  /** Position among the pages; raises EListError past the last page. */
  int PageIndex() const;
  void SetPageIndex(int index);
  /** Whether the page has a tab; a page without one stays in the list. */
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool value);
  /** The index of its tab among the shown tabs, -1 without one. */
  int TabIndex() const;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);

  /** The page came into view (also when shown from code, or with its window). */
  TNotifyEvent OnShow;
  /** The page went out of view. */
  TNotifyEvent OnHide;

protected:
  virtual void DoShow();
  virtual void DoHide();
  void TextChanged() override;
  bool WidgetEvent(QEvent* e) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  int FImageIndex = 0;
};

/** Pages with one tab each (pages whose TabVisible is off have none); one
 *  page is active and shown. */
class TPageControl : public TCustomTabControl {
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  /** Raises EListError outside the list. */
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  /** Shows page (null: none); a page of another control is ignored. Its tab
   *  is selected (none when it has no tab). Fires no OnChange. */
  void SetActivePage(TTabSheet* page);
  /** -1 without an active page. */
  int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
  /** An index outside the pages clears the active page. */
  void SetActivePageIndex(int index);
  /** The page whose tab is index, or null. */
  TTabSheet* PageForTab(int index) const;
  /** The next (or previous) page after current, round the ends; with
   *  tabsOnly only pages with a tab. Null when there is none. */
  TTabSheet* FindNextPage(TTabSheet* current, bool forward, bool tabsOnly) const;
  /** Activates the next page with a tab as the user would: OnChanging may
   *  refuse, OnChange follows. */
  void SelectNextPage(bool forward);
  void SelectNextTab(bool forward) override { SelectNextPage(forward); }

  /** The control docked on page (each docked control has a page of its
   *  own), or null. */
  TControl* DockClientOf(const TTabSheet* page) const;
  /** Puts the dock rectangle over the pages' area. */
  void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) override;

protected:
  /** Makes the page of the selected tab the active page. */
  virtual void UpdateActivePage();
  void Change() override;
  int GetImageIndex(int TabIndex) override;
  /** The page made for a control docked into the control. */
  virtual TTabSheet* NewDockSheet();
  /** A docked control gets a page of its own, captioned with its caption,
   *  whose tab shows while the control is visible (and which becomes the
   *  active page then); the control fills the page. */
  void DoAddDockClient(TControl* Client, const TRect& ARect) override;
  /** The page of a control that left loses its tab at once and is freed
   *  once the event under way is done. */
  void DoRemoveDockClient(TControl* Client) override;
  /** The tab follows the docked control's caption (up to its first line
   *  break) and its visibility. */
  void DockClientChanged(TControl* Client) override;
  /** A left press on a docked page's tab starts dragging its control (one
   *  that docks: DragKind dkDock); a double click floats the control. */
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  /** The tabs again from the pages; the active page's tab selected. */
  void UpdateTabs();
  void TabVisibilityChanged(TTabSheet* page, int oldTabIndex);
  void ChangeActivePage(TTabSheet* page);
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  std::vector<std::pair<TControl*, TTabSheet*>> FDockPages;  // docked control, its page
};
