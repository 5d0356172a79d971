#include "ui/ComCtrls.h"

#include "ui/QtConvert.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>

namespace {

/** An axis-aligned line of one pixel's width, from (x1, y1) up to but not
 *  including (x2, y2) along its direction. */
void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color) {
  const TBrush saved = c->Brush;
  c->Brush = TBrush{color, bsSolid};
  if (y1 == y2)
    c->FillRect({std::min(x1, x2), y1, std::max(x1, x2), y1 + 1});
  else
    c->FillRect({x1, std::min(y1, y2), x1 + 1, std::max(y1, y2)});
  c->Brush = saved;
}

TColor ParentColorOf(const TControl* c) { return c->Parent() ? c->Parent()->Color() : clBtnFace; }

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ================================================================ TStatusBar

namespace {

constexpr int kBarBorder = 2;  // above the panels
constexpr int kPanelGap = 2;   // between two panels
constexpr int kGripSize = 16;  // the classic scroll-bar width

}  // namespace

void TStatusPanel::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  Changed(false);
}

void TStatusPanel::SetWidth(int width) {
  width = std::max(0, width);
  if (width == FWidth) return;
  FWidth = width;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel bevel) {
  if (bevel == FBevel) return;
  FBevel = bevel;
  Changed(false);
}

int TStatusPanel::Index() const {
  const auto& items = FOwner->FItems;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TStatusPanel::Changed(bool layout) { FOwner->FBar->PanelChanged(Index(), layout); }

TStatusPanel* TStatusPanels::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return FItems[static_cast<size_t>(index)].get();
}

TStatusPanel* TStatusPanels::Add() {
  FItems.push_back(std::unique_ptr<TStatusPanel>(new TStatusPanel(this)));
  FBar->PanelChanged(-1, true);
  return FItems.back().get();
}

void TStatusPanels::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  FItems.erase(FItems.begin() + index);
  FBar->PanelChanged(-1, true);
}

void TStatusPanels::Clear() {
  FItems.clear();
  FBar->PanelChanged(-1, true);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool value) {
  if (value == FSimplePanel) return;
  FSimplePanel = value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& text) {
  if (text == FSimpleText) return;
  FSimpleText = text;
  if (FSimplePanel) InvalidateRect(SimpleRect());
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == FSizeGrip) return;
  FSizeGrip = value;
  Invalidate();
}

void TStatusBar::PanelChanged(int index, bool layout) {
  if (FSimplePanel) return;
  if (layout || index < 0)
    Invalidate();
  else
    InvalidateRect(PanelRect(index));
}

TRect TStatusBar::PanelRect(int index) const {
  const int count = FPanels.Count();
  if (index < 0 || index >= count) return {};
  // Each panel ends where the widths so far add up to (the last one at the
  // right edge); the gap between two panels comes out of the later one.
  int edge = 0, left = 0;
  for (int i = 0; i <= index; ++i) {
    left = i == 0 ? 0 : edge + kPanelGap;
    edge += FPanels.Items(i)->Width();
  }
  const int right = index == count - 1 ? ClientWidth() : std::max(left, edge);
  return {left, kBarBorder, right, ClientHeight()};
}

TRect TStatusBar::SimpleRect() const { return {0, kBarBorder, ClientWidth(), ClientHeight()}; }

TRect TStatusBar::SizeGripRect() const {
  // Only a window the user can size has a grip.
  const TForm* form = GetParentForm(this);
  if (!FSizeGrip || !form || (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin)) return {};
  const int w = ClientWidth(), h = ClientHeight();
  return {std::max(0, w - kGripSize), std::max(kBarBorder, h - kGripSize), w, h};
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(ClientRect());
  c->Font = Font();
  if (FSimplePanel) {
    PaintPart(SimpleRect(), pbLowered, FSimpleText, taLeftJustify);
  } else {
    for (int i = 0; i < FPanels.Count(); ++i) {
      const TStatusPanel* p = FPanels.Items(i);
      PaintPart(PanelRect(i), p->Bevel(), p->Text(), p->Alignment());
    }
  }
  const TRect grip = SizeGripRect();
  if (!grip.IsEmpty()) PaintSizeGrip(grip);
}

void TStatusBar::PaintPart(const TRect& r, TStatusPanelBevel bevel, const std::string& text, TAlignment alignment) {
  if (r.IsEmpty()) return;
  TCanvas* c = Canvas();
  TRect edge = r;
  if (bevel == pbLowered) c->DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
  if (bevel == pbRaised) c->DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
  if (text.empty()) return;
  TRect t{r.Left + 3, r.Top + 1, r.Right - 3, r.Bottom - 1};
  if (t.IsEmpty()) return;
  unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (alignment == taCenter) flags |= DT_CENTER;
  if (alignment == taRightJustify) flags |= DT_RIGHT;
  c->Brush.Style = bsClear;
  c->SetClipRect(t);
  c->DrawText(text, t, flags);
  c->ResetClipRect();
  c->Brush.Style = bsSolid;
}

void TStatusBar::PaintSizeGrip(const TRect& r) {
  // Three grooves across the corner: a light line and two dark ones each.
  TCanvas* c = Canvas();
  auto diagonal = [&](int d, TColor color) {
    for (int i = 0; i < d; ++i) c->SetPixels(r.Right - d + i, r.Bottom - 1 - i, color);
  };
  for (int g = 0; g < 3; ++g) {
    const int d = 4 * g + 4;
    diagonal(d, clBtnShadow);
    diagonal(d - 1, clBtnShadow);
    diagonal(d - 2, clBtnHighlight);
  }
}

void TStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !SizeGripRect().Contains({X, Y})) return;
  TForm* form = GetParentForm(this);
  // The window system sizes the window where it can; elsewhere we follow the mouse.
  if (QWindow* w = form->Handle()->windowHandle(); w && w->startSystemResize(Qt::BottomEdge | Qt::RightEdge)) return;
  FGripDrag = true;
  FGripStart = ClientToScreen({X, Y});
  FFormStart = form->BoundsRect();
}

void TStatusBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FGripDrag) {
    const TPoint p = ClientToScreen({X, Y});
    GetParentForm(this)->SetBounds(FFormStart.Left, FFormStart.Top, FFormStart.Width() + p.X - FGripStart.X,
                                   FFormStart.Height() + p.Y - FGripStart.Y);
    return;
  }
  const TCursor want = SizeGripRect().Contains({X, Y}) ? crSizeNWSE : crDefault;
  if (Cursor() != want) SetCursor(want);
}

void TStatusBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) FGripDrag = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

// ================================================================ TTreeView

/** The Qt side of a tree view: a QTreeWidget whose rows and branches are
 *  painted the classic way and whose current item is the selection. */
class TTreeHost : public QTreeWidget {
public:
  explicit TTreeHost(TTreeView* view);
  TTreeView* View;  // null once the view is going
  QTreeWidgetItem* ItemOf(const QModelIndex& index) const { return itemFromIndex(index); }
  /** Whether the current item may move to index (the tree's OnChanging). */
  bool AllowCurrent(const QModelIndex& index);
  void PaintRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
  QSize RowSize(const QModelIndex& index) const;
  /** Where the text of node starts in its row, and how wide its highlight is. */
  int TextLeft() const;
  int TextBoxWidth(const TTreeNode* node) const;

protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  // The class library's tree takes the focus without selecting anything.
  void focusInEvent(QFocusEvent* e) override {
    QWidget::focusInEvent(e);
    viewport()->update();
  }
};

namespace {

/** The selection follows the current item; a change the tree refuses leaves both. */
class TTreeSelection : public QItemSelectionModel {
public:
  explicit TTreeSelection(TTreeHost* host) : QItemSelectionModel(host->model(), host), FHost(host) {}
  void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override {
    if (FHost->AllowCurrent(index)) QItemSelectionModel::setCurrentIndex(index, command);
  }
  void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override {
    if (!selection.isEmpty() && !selection.contains(currentIndex())) return;
    QItemSelectionModel::select(selection, command);
  }
  using QItemSelectionModel::select;

private:
  TTreeHost* FHost;
};

class TTreeRows : public QStyledItemDelegate {
public:
  explicit TTreeRows(TTreeHost* host) : QStyledItemDelegate(host), FHost(host) {}
  void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    FHost->PaintRow(p, o, i);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& i) const override { return FHost->RowSize(i); }

private:
  TTreeHost* FHost;
};

/** An item that knows its node. */
class TTreeItem : public QTreeWidgetItem {
public:
  explicit TTreeItem(TTreeNode* node) : Node(node) {}
  TTreeNode* Node;
};

}  // namespace

TTreeHost::TTreeHost(TTreeView* view) : View(view) {
  setHeaderHidden(true);
  setColumnCount(1);
  setIndentation(view->Indent());
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  setItemDelegate(new TTreeRows(this));
  // QTreeWidget's own current-item signal stays with the model it was built
  // with, so ours is heard directly.
  auto* selection = new TTreeSelection(this);
  setSelectionModel(selection);
  connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (View) View->CurrentChanged(ItemOf(current));
  });
  // An edited label becomes the node's text.
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    if (!View) return;
    if (TTreeNode* node = View->NodeOf(item)) node->FText = FromQString(item->text(0));
  });
}

bool TTreeHost::AllowCurrent(const QModelIndex& index) {
  if (!View || View->FQuiet) return true;
  TTreeNode* to = View->NodeOf(ItemOf(index));
  if (to == View->FSelected) return true;
  bool allow = false;
  RunGuarded([&] { allow = View->CanChange(to); });
  return allow;
}

int TTreeHost::TextLeft() const { return View->FImages ? View->FImages->Width() + 2 : 0; }

int TTreeHost::TextBoxWidth(const TTreeNode* node) const {
  TCanvas measure;
  measure.Font = View->Font();
  return measure.TextWidth(node->Text()) + 4;
}

QSize TTreeHost::RowSize(const QModelIndex& index) const {
  const TTreeNode* node = View ? View->NodeOf(ItemOf(index)) : nullptr;
  if (!node) return {0, 0};
  return {TextLeft() + TextBoxWidth(node), View->RowHeight()};
}

void TTreeHost::PaintRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const TTreeNode* node = View ? View->NodeOf(ItemOf(index)) : nullptr;
  const QRect r = option.rect;
  if (!node || r.isEmpty()) return;
  TTreeView* v = View;
  const bool selected = node == v->FSelected, focused = hasFocus();
  const bool marked = selected && (focused || !v->FHideSelection);
  const TColor markBack = focused ? clHighlight : clBtnFace, markText = focused ? clHighlightText : clBtnText;
  QImage img(r.size(), QImage::Format_ARGB32_Premultiplied);
  TCanvas c(&img);
  c.Brush = TBrush{marked && v->FRowSelect ? markBack : v->Color(), bsSolid};
  c.FillRect({0, 0, r.width(), r.height()});
  if (v->FImages) {
    const int imageIndex = selected ? node->SelectedIndex() : node->ImageIndex();
    v->FImages->Draw(&c, 0, (r.height() - v->FImages->Height()) / 2, imageIndex, v->Enabled());
  }
  c.Font = v->Font();
  const int left = TextLeft();
  const TRect box = v->FRowSelect ? TRect{0, 0, r.width(), r.height()}
                                  : TRect{left, 0, left + TextBoxWidth(node), r.height()};
  if (marked) {
    c.Brush = TBrush{markBack, bsSolid};
    c.FillRect(box);
    c.Font.SetColor(markText);
  } else if (!v->Enabled()) {
    c.Font.SetColor(clGrayText);
  }
  c.Brush.Style = bsClear;
  c.TextOut(left + 2, (r.height() - c.TextHeight(node->Text())) / 2, node->Text());
  // With nothing selected yet the focus stands on the first node, where the
  // first arrow key goes, so that a tree reached by Tab shows it has the keys.
  if (focused && (selected || (!v->FSelected && node == v->FItems->GetFirstNode()))) c.DrawFocusRect(box);
  painter->drawImage(r.topLeft(), img);
}

void TTreeHost::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
  const TTreeNode* node = View ? View->NodeOf(ItemOf(index)) : nullptr;
  if (!node || rect.isEmpty()) return;
  const TTreeView* v = View;
  const bool marked = node == v->FSelected && v->FRowSelect && (hasFocus() || !v->FHideSelection);
  QImage img(rect.size(), QImage::Format_ARGB32_Premultiplied);
  TCanvas c(&img);
  c.Brush = TBrush{marked ? (hasFocus() ? clHighlight : clBtnFace) : v->Color(), bsSolid};
  c.FillRect({0, 0, rect.width(), rect.height()});
  const int indent = indentation(), h = rect.height(), mid = h / 2;
  // Dotted lines, every other pixel on the view's own grid so that rows join up.
  auto dots = [&](int x1, int y1, int x2, int y2) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x)
        if (((x + rect.left() + y + rect.top()) & 1) == 0) c.SetPixels(x, y, clBtnShadow);
  };
  const int level = node->Level();
  int k = level - 1;
  for (const TTreeNode* a = node->Parent(); a; a = a->Parent(), --k)
    if (a->getNextSibling()) dots(k * indent + indent / 2, 0, k * indent + indent / 2, h - 1);
  const int cx = level * indent + indent / 2;
  if (node->Parent() || node->getPrevSibling()) dots(cx, 0, cx, mid);
  if (node->getNextSibling()) dots(cx, mid, cx, h - 1);
  dots(cx, mid, (level + 1) * indent - 1, mid);
  if (node->HasChildren()) {
    const TRect box{cx - 4, mid - 4, cx + 5, mid + 5};
    c.Brush = TBrush{v->Color(), bsSolid};
    c.FillRect(box);
    c.Brush.Color = clBtnShadow;
    c.FrameRect(box);
    Line(&c, cx - 2, mid, cx + 3, mid, clWindowText);
    if (!node->Expanded()) Line(&c, cx, mid - 2, cx, mid + 3, clWindowText);
  }
  painter->drawImage(rect.topLeft(), img);
}

// ---------------------------------------------------------------- TTreeNode

TTreeNode::~TTreeNode() {
  FChildren.clear();
  delete FItem;
}

TTreeView* TTreeNode::TreeView() const { return FOwner->FView; }

std::vector<std::unique_ptr<TTreeNode>>& TTreeNode::Siblings() const {
  return FParent ? FParent->FChildren : FOwner->FRoots;
}

void TTreeNode::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  FItem->setText(0, ToQString(text));
}

void TTreeNode::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  UpdateRow();
}

void TTreeNode::SetSelectedIndex(int index) {
  if (index == FSelectedIndex) return;
  FSelectedIndex = index;
  UpdateRow();
}

void TTreeNode::UpdateRow() {
  TTreeHost* tree = TreeView()->FTree;
  tree->viewport()->update(tree->visualItemRect(FItem));
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return FChildren[static_cast<size_t>(index)].get();
}

TTreeNode* TTreeNode::GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }

int TTreeNode::Index() const {
  const auto& list = Siblings();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

TTreeNode* TTreeNode::getNextSibling() const {
  const auto& list = Siblings();
  const size_t i = static_cast<size_t>(Index()) + 1;
  return i < list.size() ? list[i].get() : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  const int i = Index();
  return i > 0 ? Siblings()[static_cast<size_t>(i - 1)].get() : nullptr;
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

bool TTreeNode::Expanded() const { return FItem->isExpanded(); }

void TTreeNode::SetExpanded(bool value) { FItem->setExpanded(value); }

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
  if (FChildren.empty()) return;
  TTreeView* view = TreeView();
  bool holds = false;
  for (const TTreeNode* p = view->FSelected ? view->FSelected->FParent : nullptr; p; p = p->FParent) holds |= p == this;
  view->DeleteNodes(holds, this, [this] {
    FChildren.clear();
    FOwner->FFlatValid = false;
  });
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  TTreeHost* tree = TreeView()->FTree;
  const QRect item = tree->visualItemRect(FItem);
  if (!item.isValid()) return {};
  const QPoint at = tree->viewport()->mapTo(TreeView()->ClientWidget(), item.topLeft());
  if (!textOnly) return Bounds(0, at.y(), TreeView()->ClientWidth(), item.height());
  const int left = at.x() + tree->TextLeft();
  return Bounds(left, at.y(), tree->TextBoxWidth(this), item.height());
}

// ---------------------------------------------------------------- TTreeNodes

TTreeNode* TTreeNodes::Insert(TTreeNode* parent, size_t position, const std::string& text) {
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, parent));
  TTreeNode* raw = node.get();
  raw->FText = text;
  auto* item = new TTreeItem(raw);
  item->setText(0, ToQString(text));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  raw->FItem = item;
  auto& list = parent ? parent->FChildren : FRoots;
  position = std::min(position, list.size());
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(node));
  if (parent)
    parent->FItem->insertChild(static_cast<int>(position), item);
  else
    FView->FTree->insertTopLevelItem(static_cast<int>(position), item);
  FFlatValid = false;
  // Lines of the siblings above change with a new sibling below them.
  FView->RepaintRows();
  return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  TTreeNode* parent = sibling ? sibling->Parent() : nullptr;
  return Insert(parent, parent ? parent->FChildren.size() : FRoots.size(), text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return Insert(parent, parent ? parent->FChildren.size() : FRoots.size(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) { return Insert(parent, 0, text); }

void TTreeNodes::Flatten() const {
  if (FFlatValid) return;
  FFlat.clear();
  std::function<void(const std::vector<std::unique_ptr<TTreeNode>>&)> walk = [&](const auto& list) {
    for (const auto& n : list) {
      FFlat.push_back(n.get());
      walk(n->FChildren);
    }
  };
  walk(FRoots);
  FFlatValid = true;
}

int TTreeNodes::Count() const {
  Flatten();
  return static_cast<int>(FFlat.size());
}

TTreeNode* TTreeNodes::Item(int index) const {
  Flatten();
  if (index < 0 || index >= static_cast<int>(FFlat.size())) IndexError(index);
  return FFlat[static_cast<size_t>(index)];
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node) return;
  bool holds = false;
  for (const TTreeNode* p = FView->FSelected; p; p = p->FParent) holds |= p == node;
  TTreeNode* next = nullptr;
  if (holds) {
    next = node->getNextSibling();
    if (!next) next = node->Parent();
    if (!next) next = node->getPrevSibling();
  }
  FView->DeleteNodes(holds, next, [this, node] {
    auto& list = node->Siblings();
    list.erase(list.begin() + node->Index());
    FFlatValid = false;
  });
}

void TTreeNodes::Clear() {
  FView->DeleteNodes(FView->FSelected != nullptr, nullptr, [this] {
    FRoots.clear();
    FFlatValid = false;
  });
}

// ---------------------------------------------------------------- TTreeView

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(new TTreeNodes(this)) {
  CreateClientArea();
  SetFrameWidth(2);
  SetColor(clWindow);
  FTree = new TTreeHost(this);
  HostWidget(FTree);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
  FontChanged();
}

TTreeView::~TTreeView() {
  // The nodes go without a word to the handlers.
  FTree->View = nullptr;
  FSelected = nullptr;
  FItems.reset();
}

TTreeNode* TTreeView::NodeOf(const QTreeWidgetItem* item) const {
  const auto* i = dynamic_cast<const TTreeItem*>(item);
  return i ? i->Node : nullptr;
}

void TTreeView::SetSelected(TTreeNode* node) {
  if (node && node->TreeView() != this) return;
  FTree->selectionModel()->setCurrentIndex(node ? FTree->indexFromItem(node->FItem) : QModelIndex(),
                                           QItemSelectionModel::ClearAndSelect);
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) const {
  const QPoint p = FTree->viewport()->mapFrom(ClientWidget(), QPoint(X, Y));
  if (!FTree->viewport()->rect().contains(p)) return nullptr;
  return NodeOf(FTree->itemAt(p));
}

void TTreeView::CurrentChanged(QTreeWidgetItem* item) {
  TTreeNode* node = NodeOf(item);
  if (node == FSelected) return;
  FSelected = node;
  // The selection is always in view: its parents open up.
  for (TTreeNode* p = node ? node->FParent : nullptr; p; p = p->FParent) p->FItem->setExpanded(true);
  if (node) FTree->scrollToItem(node->FItem);
  RepaintRows();
  if (!FQuiet) RunGuarded([&] { Change(node); });
}

void TTreeView::DeleteNodes(bool takesSelection, TTreeNode* newSelection, const std::function<void()>& remove) {
  if (!takesSelection) {
    remove();
    RepaintRows();
    return;
  }
  // The selection leaves the nodes before they go, and the change is told
  // once they are gone.
  FQuiet = true;
  try {
    SetSelected(newSelection);
    remove();
  } catch (...) {
    FQuiet = false;
    throw;
  }
  FQuiet = false;
  RepaintRows();
  Change(FSelected);
}

bool TTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}

void TTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

void TTreeView::RepaintRows() {
  if (FTree) FTree->viewport()->update();
}

int TTreeView::RowHeight() const {
  TCanvas measure;
  measure.Font = Font();
  const int text = measure.TextHeight("Wg") + 3;
  return FImages ? std::max(text, FImages->Height() + 1) : text;
}

void TTreeView::SetImages(TImageList* images) {
  FImages = images;
  FTree->doItemsLayout();
  RepaintRows();
}

void TTreeView::SetReadOnly(bool value) {
  FReadOnly = value;
  FTree->setEditTriggers(value ? QAbstractItemView::NoEditTriggers
                               : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
}

void TTreeView::SetHideSelection(bool value) {
  FHideSelection = value;
  RepaintRows();
}

void TTreeView::SetRowSelect(bool value) {
  FRowSelect = value;
  RepaintRows();
}

void TTreeView::SetBorderStyle(TBorderStyle style) {
  FBorderStyle = style == bsNone ? bsNone : bsSingle;
  SetFrameWidth(FBorderStyle == bsNone ? 0 : 2);
}

void TTreeView::ColorChanged() {
  TWinControl::ColorChanged();
  QPalette pal = FTree->palette();
  pal.setColor(QPalette::Base, ToQColor(Color()));
  FTree->setPalette(pal);
  RepaintRows();
}

void TTreeView::FontChanged() {
  TWinControl::FontChanged();
  FTree->setFont(ToQFont(Font()));
  FTree->doItemsLayout();
  RepaintRows();
}

void TTreeView::EnabledChanged() {
  TWinControl::EnabledChanged();
  RepaintRows();
}

void TTreeView::FocusGained() { RepaintRows(); }
void TTreeView::FocusLost() { RepaintRows(); }

// ================================================================ tab controls

void TTabStrings::Put(int index, const std::string& text) {
  FList.Put(index, text);
  FOwner->TabsEdited(index, 0);
}

int TTabStrings::Add(const std::string& text) {
  const int index = FList.Add(text);
  FOwner->TabsEdited(index, 1);
  return index;
}

void TTabStrings::Insert(int index, const std::string& text) {
  FList.Insert(index, text);
  FOwner->TabsEdited(index, 1);
}

void TTabStrings::Delete(int index) {
  FList.Delete(index);
  FOwner->TabsEdited(index, -1);
}

void TTabStrings::Clear() {
  FList.Clear();
  FOwner->TabsEdited(-1, -1);
}

void TTabStrings::Assign(const TStringList& list) { FOwner->SetTabList(list, list.Empty() ? -1 : 0); }

namespace {

constexpr int kTabPadding = 6;   // before and after a tab's caption
constexpr int kTabMargin = 2;    // between the control's edges and the first tab or row
constexpr int kDisplayInset = 4; // the frame's edge and the gap inside it

/** Ctrl+Tab: the innermost tab control round the focus turns its page. */
void CtrlTab(bool forward) {
  for (TControl* c = TControl::FromWidget(QApplication::focusWidget()); c; c = c->Parent())
    if (auto* tabs = dynamic_cast<TCustomTabControl*>(c)) {
      RunGuarded([&] { tabs->SelectNextTab(forward); });
      return;
    }
}

/** The parts of a w x h tab control outside its page frame f, where tabs lie. */
std::vector<TRect> StripBands(const TRect& f, int w, int h) {
  std::vector<TRect> bands;
  for (const TRect& r : {TRect{0, 0, w, f.Top}, TRect{0, f.Bottom, w, h}, TRect{0, f.Top, f.Left, f.Bottom},
                         TRect{f.Right, f.Top, w, f.Bottom}})
    if (!r.IsEmpty()) bands.push_back(r);
  return bands;
}

/** Text turned a quarter round (reading upwards, or downwards) with the
 *  top-left of its turned box at (x, y). */
void TextOutTurned(TCanvas* canvas, int x, int y, const std::string& text, bool upwards) {
  TRect r{0, 0, 0, 0};
  canvas->DrawText(text, r, DT_CALCRECT | DT_SINGLELINE);
  if (r.IsEmpty()) return;
  QImage flat(r.Width(), r.Height(), QImage::Format_ARGB32_Premultiplied);
  flat.fill(0u);
  TCanvas t(&flat);
  t.Font = canvas->Font;
  t.Brush.Style = bsClear;
  t.DrawText(text, r, DT_SINGLELINE);
  const QImage turned = flat.transformed(QTransform().rotate(upwards ? -90 : 90));
  for (int py = 0; py < turned.height(); ++py)
    for (int px = 0; px < turned.width(); ++px) {
      const QRgb p = turned.pixel(px, py);
      if (qAlpha(p) >= 128) canvas->SetPixels(x + px, y + py, FromQRgb(p));
    }
}

}  // namespace

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetColor(clBtnFace);
  SetTabStop(true);
  SetBounds(0, 0, 289, 193);
  for (bool forward : {true, false}) {
    auto* key = new QShortcut(QKeySequence(forward ? Qt::CTRL | Qt::Key_Tab : Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                              Handle());
    key->setContext(Qt::WidgetWithChildrenShortcut);
    // Nested tab controls all hear the key; CtrlTab picks the innermost.
    QObject::connect(key, &QShortcut::activated, key, [forward] { CtrlTab(forward); });
    QObject::connect(key, &QShortcut::activatedAmbiguously, key, [forward] { CtrlTab(forward); });
  }
}

void TCustomTabControl::SetTabIndex(int index) {
  if (index < -1 || index >= FTabs.Count()) index = -1;
  if (index == FTabIndex) return;
  FTabIndex = index;
  // Rows moved to the other side move the page.
  if (FScrollOpposite && FMultiLine) {
    LayoutChanged();
    return;
  }
  ScrollIntoView();
  Invalidate();
}

void TCustomTabControl::SetTabList(const TStringList& captions, int tabIndex) {
  FTabs.FList = captions;
  FTabIndex = tabIndex >= 0 && tabIndex < captions.Count() ? tabIndex : -1;
  if (FHotTab >= captions.Count()) FHotTab = -1;
  TabsChanged();
}

void TCustomTabControl::TabsEdited(int index, int delta) {
  const int count = FTabs.Count();
  if (index < 0) {
    FTabIndex = -1;  // cleared
  } else if (delta > 0) {
    if (count == 1)
      FTabIndex = 0;  // the first tab is selected as it comes
    else if (FTabIndex >= index)
      ++FTabIndex;
  } else if (delta < 0) {
    if (FTabIndex == index)
      FTabIndex = -1;
    else if (FTabIndex > index)
      --FTabIndex;
  }
  if (FHotTab >= count) FHotTab = -1;
  TabsChanged();
}

void TCustomTabControl::TabsChanged() { LayoutChanged(); }

void TCustomTabControl::LayoutChanged() {
  ScrollIntoView();
  Realign();
  Invalidate();
}

void TCustomTabControl::SetTabPosition(TTabPosition position) {
  if (position == FTabPosition) return;
  FTabPosition = position;
  LayoutChanged();
}

void TCustomTabControl::SetTabHeight(int height) {
  height = std::max(0, height);
  if (height == FTabHeight) return;
  FTabHeight = height;
  LayoutChanged();
}

void TCustomTabControl::SetTabWidth(int width) {
  width = std::max(0, width);
  if (width == FTabWidth) return;
  FTabWidth = width;
  LayoutChanged();
}

void TCustomTabControl::SetMultiLine(bool value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  FFirstTab = 0;
  LayoutChanged();
}

void TCustomTabControl::SetRaggedRight(bool value) {
  if (value == FRaggedRight) return;
  FRaggedRight = value;
  LayoutChanged();
}

void TCustomTabControl::SetScrollOpposite(bool value) {
  if (value == FScrollOpposite) return;
  FScrollOpposite = value;
  LayoutChanged();
}

void TCustomTabControl::SetHotTrack(bool value) {
  FHotTrack = value;
  if (!value) FHotTab = -1;
  Invalidate();
}

void TCustomTabControl::SetOwnerDraw(bool value) {
  FOwnerDraw = value;
  Invalidate();
}

void TCustomTabControl::SetImages(TImageList* images) {
  FImages = images;
  LayoutChanged();
}

void TCustomTabControl::FontChanged() {
  TCustomControl::FontChanged();
  LayoutChanged();
}

void TCustomTabControl::SizeChanged() {
  ScrollIntoView();
  TCustomControl::SizeChanged();
}

// Geometry ---------------------------------------------------------------------

int TCustomTabControl::RowThickness() const {
  if (FTabHeight > 0) return FTabHeight;
  TCanvas measure;
  measure.Font = Font();
  const int content = std::max(measure.TextHeight("Wg"), FImages ? FImages->Height() : 0);
  return content + kTabPadding;
}

int TCustomTabControl::TabLength(int index) const {
  if (FTabWidth > 0) return FTabWidth;
  TCanvas measure;
  measure.Font = Font();
  TRect r{0, 0, 0, 0};
  measure.DrawText(FTabs[index], r, DT_CALCRECT | DT_SINGLELINE);
  return r.Width() + 2 * kTabPadding + (FImages ? FImages->Width() + 3 : 0);
}

TCustomTabControl::TLayout TCustomTabControl::Layout() const {
  TLayout out;
  const int count = FTabs.Count();
  const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
  const int w = ClientWidth(), h = ClientHeight(), thick = RowThickness();
  const int room = std::max(0, (vertical ? h : w) - 2 * kTabMargin);
  std::vector<int> length(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) length[static_cast<size_t>(i)] = TabLength(i);

  std::vector<std::vector<int>> rows(1);
  int used = 0;
  for (int i = 0; i < count; ++i) {
    if (FMultiLine && !rows.back().empty() && used + length[static_cast<size_t>(i)] > room) {
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back(i);
    used += length[static_cast<size_t>(i)];
  }
  // Several rows fill the whole length, unless they may end raggedly.
  if (rows.size() > 1 && !FRaggedRight)
    for (const auto& row : rows) {
      int sum = 0;
      for (int i : row) sum += length[static_cast<size_t>(i)];
      const int extra = room - sum, n = static_cast<int>(row.size());
      if (extra <= 0) continue;
      for (int k = 0; k < n; ++k)
        length[static_cast<size_t>(row[static_cast<size_t>(k)])] += extra / n + (k == n - 1 ? extra % n : 0);
    }

  const int rowCount = static_cast<int>(rows.size());
  int selectedRow = 0;
  for (int r = 0; r < rowCount; ++r)
    if (std::find(rows[r].begin(), rows[r].end(), FTabIndex) != rows[r].end()) selectedRow = r;
  // With ScrollOpposite the rows in front of the selected one go to the other side.
  const int opposite = FScrollOpposite && FMultiLine ? selectedRow : 0;
  const int strip = (rowCount - opposite) * thick + kTabMargin;
  const int far = opposite > 0 ? opposite * thick + kTabMargin : 0;
  switch (FTabPosition) {
    case tpTop: out.Frame = {0, strip, w, h - far}; break;
    case tpBottom: out.Frame = {0, far, w, h - strip}; break;
    case tpLeft: out.Frame = {strip, 0, w - far, h}; break;
    case tpRight: out.Frame = {far, 0, w - strip, h}; break;
  }
  out.Rows = rowCount;
  out.Rects.resize(static_cast<size_t>(count));
  out.Sides.assign(static_cast<size_t>(count), FTabPosition);
  static constexpr TTabPosition kOpposite[] = {tpBottom, tpTop, tpRight, tpLeft};
  for (int r = 0; r < rowCount; ++r) {
    // The selected tab's row lies next to the page, the others behind it in
    // turn; a row moved over lies as far from the page as it was in front.
    const bool over = r < opposite;
    const int depth = over ? opposite - 1 - r : (r - selectedRow + rowCount) % rowCount;
    const TTabPosition side = over ? kOpposite[FTabPosition] : FTabPosition;
    int along = kTabMargin;
    if (!FMultiLine)
      for (int i = 0; i < FFirstTab && i < count; ++i) along -= length[static_cast<size_t>(i)];
    for (int i : rows[r]) {
      const int len = length[static_cast<size_t>(i)];
      TRect& t = out.Rects[static_cast<size_t>(i)];
      const TRect& f = out.Frame;
      switch (side) {
        case tpTop: t = Bounds(along, f.Top - (depth + 1) * thick, len, thick); break;
        case tpBottom: t = Bounds(along, f.Bottom + depth * thick, len, thick); break;
        case tpLeft: t = Bounds(f.Left - (depth + 1) * thick, along, thick, len); break;
        case tpRight: t = Bounds(f.Right + depth * thick, along, thick, len); break;
      }
      out.Sides[static_cast<size_t>(i)] = side;
      along += len;
    }
  }
  return out;
}

void TCustomTabControl::ScrollIntoView() {
  const int count = FTabs.Count();
  if (FMultiLine || count == 0) {
    FFirstTab = 0;
    return;
  }
  FFirstTab = std::clamp(FFirstTab, 0, count - 1);
  const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
  const int room = (vertical ? ClientHeight() : ClientWidth()) - kTabMargin;
  // Show as many tabs as fit from the first one; then bring the selected in.
  int total = 0;
  for (int i = 0; i < count; ++i) total += TabLength(i);
  if (total <= room - kTabMargin) {
    FFirstTab = 0;
    return;
  }
  if (FTabIndex < 0) return;
  if (FTabIndex < FFirstTab) FFirstTab = FTabIndex;
  auto end = [&] {
    int along = kTabMargin;
    for (int i = FFirstTab; i <= FTabIndex; ++i) along += TabLength(i);
    return along;
  };
  while (FFirstTab < FTabIndex && end() > room) ++FFirstTab;
}

TRect TCustomTabControl::TabRect(int index) const {
  if (index < 0 || index >= FTabs.Count()) return {};
  return Layout().Rects[static_cast<size_t>(index)];
}

TTabPosition TCustomTabControl::TabSide(int index) const {
  if (index < 0 || index >= FTabs.Count() || !FScrollOpposite || !FMultiLine) return FTabPosition;
  return Layout().Sides[static_cast<size_t>(index)];
}

int TCustomTabControl::RowCount() const { return Layout().Rows; }

TRect TCustomTabControl::PageFrameRect() const { return Layout().Frame; }

TRect TCustomTabControl::DisplayRect() const {
  TRect r = PageFrameRect();
  InflateRect(r, -kDisplayInset, -kDisplayInset);
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

TRect TCustomTabControl::DrawnTabRect(int index) const {
  TRect r = TabRect(index);
  if (index != FTabIndex || r.IsEmpty()) return r;
  // Out by 2 on the three closed sides; into the frame so that it opens.
  switch (TabSide(index)) {
    case tpTop: return {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1};
    case tpBottom: return {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2};
    case tpLeft: return {r.Left - 2, r.Top - 2, r.Right + 1, r.Bottom + 2};
    case tpRight: return {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2};
  }
  return r;
}

TRect TCustomTabControl::TabInside(const TRect& d, bool active, TTabPosition side) const {
  const int open = active ? (side == tpTop || side == tpLeft ? 1 : 2) : 0;
  switch (side) {
    case tpTop: return {d.Left + 2, d.Top + 2, d.Right - 2, d.Bottom - open};
    case tpBottom: return {d.Left + 2, d.Top + open, d.Right - 2, d.Bottom - 2};
    case tpLeft: return {d.Left + 2, d.Top + 2, d.Right - open, d.Bottom - 2};
    case tpRight: return {d.Left + open, d.Top + 2, d.Right - 2, d.Bottom - 2};
  }
  return d;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) const {
  const TLayout l = Layout();
  const TPoint p{X, Y};
  if (FTabIndex >= 0 && DrawnTabRect(FTabIndex).Contains(p)) return FTabIndex;
  if (l.Frame.Contains(p)) return -1;
  for (size_t i = 0; i < l.Rects.size(); ++i)
    if (l.Rects[i].Contains(p)) return static_cast<int>(i);
  return -1;
}

// Choosing ---------------------------------------------------------------------

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

bool TCustomTabControl::SelectTab(int index) {
  if (index < 0 || index >= FTabs.Count() || index == FTabIndex) return false;
  if (!CanChange()) return false;
  SetTabIndex(index);
  Change();
  return true;
}

void TCustomTabControl::SelectNextTab(bool forward) {
  const int count = FTabs.Count();
  if (count == 0) return;
  const int from = FTabIndex < 0 ? (forward ? -1 : 0) : FTabIndex;
  SelectTab(((from + (forward ? 1 : -1)) % count + count) % count);
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
  int index = TabIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
  return index;
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const int index = IndexOfTabAt(X, Y);
  if (index >= 0) SelectTab(index);
}

void TCustomTabControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FHotTrack) return;
  const int index = IndexOfTabAt(X, Y);
  if (index == FHotTab) return;
  if (FHotTab >= 0) InvalidateRect(DrawnTabRect(FHotTab));
  FHotTab = index;
  if (index >= 0) InvalidateRect(DrawnTabRect(index));
}

void TCustomTabControl::MouseLeave() {
  TCustomControl::MouseLeave();
  if (FHotTab < 0) return;
  InvalidateRect(DrawnTabRect(FHotTab));
  FHotTab = -1;
}

void TCustomTabControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int count = FTabs.Count();
  if (count == 0 || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return;
  int to = -1;
  if (Key == VK_LEFT || Key == VK_UP) to = std::max(0, FTabIndex - 1);
  if (Key == VK_RIGHT || Key == VK_DOWN) to = std::min(count - 1, FTabIndex + 1);
  if (to < 0) return;
  Key = 0;
  SelectTab(to);
}

void TCustomTabControl::AlignControls(TRect& rect) {
  rect = DisplayRect();
  TCustomControl::AlignControls(rect);
}

// Painting ---------------------------------------------------------------------

void TCustomTabControl::Paint() {
  TCanvas* c = Canvas();
  c->Font = Font();
  PaintTabStrip();
  const TLayout l = Layout();
  PaintPageFrame(l.Frame);
  for (int i = 0; i < static_cast<int>(l.Rects.size()); ++i)
    if (i != FTabIndex) PaintTab(i, l.Rects[static_cast<size_t>(i)], false);
  if (FTabIndex >= 0) PaintTab(FTabIndex, DrawnTabRect(FTabIndex), true);
}

void TCustomTabControl::PaintTabStrip() {
  TCanvas* c = Canvas();
  c->Brush = TBrush{ParentColorOf(this), bsSolid};
  for (const TRect& band : StripBands(PageFrameRect(), ClientWidth(), ClientHeight())) c->FillRect(band);
}

void TCustomTabControl::PaintPageFrame(const TRect& f) {
  TCanvas* c = Canvas();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(f);
  if (f.Width() < 4 || f.Height() < 4) return;
  // The soft raised edge: white outside and face inside at the top and left,
  // dark shadow outside and shadow inside at the bottom and right.
  Line(c, f.Left, f.Top, f.Right - 1, f.Top, clBtnHighlight);
  Line(c, f.Left, f.Top, f.Left, f.Bottom - 1, clBtnHighlight);
  Line(c, f.Left + 1, f.Top + 1, f.Right - 2, f.Top + 1, cl3DLight);
  Line(c, f.Left + 1, f.Top + 1, f.Left + 1, f.Bottom - 2, cl3DLight);
  Line(c, f.Left, f.Bottom - 1, f.Right, f.Bottom - 1, cl3DDkShadow);
  Line(c, f.Right - 1, f.Top, f.Right - 1, f.Bottom, cl3DDkShadow);
  Line(c, f.Left + 1, f.Bottom - 2, f.Right - 1, f.Bottom - 2, clBtnShadow);
  Line(c, f.Right - 2, f.Top + 1, f.Right - 2, f.Bottom - 1, clBtnShadow);
}

void TCustomTabControl::PaintTab(int index, const TRect& d, bool active) {
  if (d.Width() < 4 || d.Height() < 4) return;
  TCanvas* c = Canvas();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(d);
  // The side towards the page is open; the others have the classic edges
  // with cut corners.
  const TTabPosition side = TabSide(index);
  const bool top = side != tpBottom, bottom = side != tpTop;
  const bool left = side != tpRight, right = side != tpLeft;
  const TColor strip = ParentColorOf(this);
  auto corner = [&](int x, int y, int dx, int dy, TColor color) {
    c->SetPixels(x, y, strip);
    c->SetPixels(x + dx, y, strip);
    c->SetPixels(x, y + dy, strip);
    c->SetPixels(x + dx, y + dy, color);
  };
  const int x1 = d.Left + (left ? 2 : 0), x2 = d.Right - (right ? 2 : 0);
  const int y1 = d.Top + (top ? 2 : 0), y2 = d.Bottom - (bottom ? 2 : 0);
  if (top) Line(c, x1, d.Top, x2, d.Top, clBtnHighlight);
  if (left) Line(c, d.Left, y1, d.Left, y2, clBtnHighlight);
  if (bottom) {
    Line(c, x1, d.Bottom - 1, x2, d.Bottom - 1, cl3DDkShadow);
    Line(c, x1, d.Bottom - 2, x2, d.Bottom - 2, clBtnShadow);
  }
  if (right) {
    Line(c, d.Right - 1, y1, d.Right - 1, y2, cl3DDkShadow);
    Line(c, d.Right - 2, y1, d.Right - 2, y2, clBtnShadow);
  }
  if (top && left) corner(d.Left, d.Top, 1, 1, clBtnHighlight);
  if (top && right) corner(d.Right - 1, d.Top, -1, 1, cl3DDkShadow);
  if (bottom && left) corner(d.Left, d.Bottom - 1, 1, -1, cl3DDkShadow);
  if (bottom && right) corner(d.Right - 1, d.Bottom - 1, -1, -1, cl3DDkShadow);

  const TRect inside = TabInside(d, active, side);
  c->Brush = TBrush{Color(), bsSolid};
  c->Font = Font();
  if (FOwnerDraw)
    DrawTab(index, inside, active);
  else
    DrawTabContent(index, inside, active);
  if (active && Focused()) {
    TRect focus = inside;
    InflateRect(focus, -1, -1);
    c->DrawFocusRect(focus);
  }
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
  if (OnDrawTab) {
    OnDrawTab(this, TabIndex, Rect, Active);
    return;
  }
  Canvas()->FillRect(Rect);
}

void TCustomTabControl::DrawTabContent(int index, const TRect& rect, bool active) {
  TCanvas* c = Canvas();
  c->Font = Font();
  if (!Enabled())
    c->Font.SetColor(clGrayText);
  else if (FHotTrack && index == FHotTab && !active)
    c->Font.SetColor(clHotLight);
  const std::string& text = FTabs[index];
  TRect ext{0, 0, 0, 0};
  c->DrawText(text, ext, DT_CALCRECT | DT_SINGLELINE);
  const int image = FImages ? GetImageIndex(index) : -1;
  const bool withImage = FImages && image >= 0 && image < FImages->Count();
  const int iw = withImage ? FImages->Width() + 3 : 0, total = iw + ext.Width();
  c->Brush.Style = bsClear;
  const TTabPosition side = TabSide(index);
  if (side == tpTop || side == tpBottom) {
    const int x = rect.Left + (rect.Width() - total) / 2;
    if (withImage) FImages->Draw(c, x, rect.Top + (rect.Height() - FImages->Height()) / 2, image, Enabled());
    TRect t{x + iw, rect.Top, x + iw + ext.Width(), rect.Bottom};
    c->DrawText(text, t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  } else {
    // Captions read upwards on the left and downwards on the right; the
    // image comes first in reading order.
    const bool up = side == tpLeft;
    const int x = rect.Left + (rect.Width() - ext.Height()) / 2;
    const int start = up ? rect.Bottom - (rect.Height() - total) / 2 : rect.Top + (rect.Height() - total) / 2;
    if (withImage) {
      const int iy = up ? start - FImages->Height() : start;
      FImages->Draw(c, rect.Left + (rect.Width() - FImages->Width()) / 2, iy, image, Enabled());
    }
    const int ty = up ? start - iw - ext.Width() : start + iw;
    TextOutTurned(c, x, ty, text, up);
  }
  c->Brush.Style = bsSolid;
}

// ================================================================ pages

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
  OnShow = nullptr;
  OnHide = nullptr;
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

void TTabSheet::SetParent(TWinControl* parent) {
  auto* pages = dynamic_cast<TPageControl*>(parent);
  if (FPageControl && FPageControl != pages) FPageControl->RemovePage(this);
  TWinControl::SetParent(parent);
  if (pages && FPageControl != pages) pages->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& list = FPageControl->FPages;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (FPageControl) FPageControl->MovePage(this, index);
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  int n = 0;
  for (const TTabSheet* p : FPageControl->FPages) {
    if (p == this) return n;
    n += p->FTabVisible;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == FTabVisible) return;
  const int oldTab = TabIndex();
  FTabVisible = value;
  if (FPageControl) FPageControl->TabVisibilityChanged(this, oldTab);
}

void TTabSheet::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  if (FPageControl) FPageControl->Invalidate();
}

void TTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TTabSheet::TextChanged() {
  TWinControl::TextChanged();
  if (FPageControl) FPageControl->UpdateTabs();
}

bool TTabSheet::WidgetEvent(QEvent* e) {
  // Coming into view and going out of it, by our own doing or with the
  // window; a window minimised by the user changes nothing.
  if (!e->spontaneous()) {
    if (e->type() == QEvent::Show) DoShow();
    if (e->type() == QEvent::Hide) DoHide();
  }
  return TWinControl::WidgetEvent(e);
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // The sheets go with the control as its children; they need not leave it one by one.
  for (TTabSheet* p : FPages) p->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
  FDockPages.clear();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) IndexError(index);
  return FPages[static_cast<size_t>(index)];
}

TTabSheet* TPageControl::PageForTab(int index) const {
  if (index < 0) return nullptr;
  for (TTabSheet* p : FPages)
    if (p->FTabVisible && index-- == 0) return p;
  return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  page->FPageControl = this;
  UpdateTabs();
  // The first tab is selected as it comes, and its page with it.
  if (!FActivePage && page->FTabVisible && Tabs().Count() == 1) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(FPages.begin(), FPages.end(), page);
  if (it == FPages.end()) return;
  TTabSheet* next = nullptr;
  if (page == FActivePage) {
    next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
  }
  FPages.erase(it);
  page->FPageControl = nullptr;
  FDockPages.erase(std::remove_if(FDockPages.begin(), FDockPages.end(), [&](const auto& d) { return d.second == page; }),
                   FDockPages.end());
  if (page == FActivePage) ChangeActivePage(next);
  UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  if (index < 0 || index >= PageCount()) IndexError(index);
  FPages.erase(std::find(FPages.begin(), FPages.end(), page));
  FPages.insert(FPages.begin() + index, page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  TStringList captions;
  for (const TTabSheet* p : FPages)
    if (p->FTabVisible) captions.Add(p->Caption());
  SetTabList(captions, FActivePage ? FActivePage->TabIndex() : -1);
}

void TPageControl::TabVisibilityChanged(TTabSheet* page, int oldTabIndex) {
  UpdateTabs();
  if (page == FActivePage && !page->FTabVisible) {
    // The tab that takes the hidden one's place, or the last, becomes active.
    const int count = Tabs().Count();
    ChangeActivePage(PageForTab(std::min(oldTabIndex, count - 1)));
    SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
  } else if (!FActivePage && page->FTabVisible && Tabs().Count() == 1) {
    SetActivePage(page);
  }
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->FPageControl != this) return;
  ChangeActivePage(page);
  SetTabIndex(page ? page->TabIndex() : -1);
}

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
  if (page == FActivePage) return;
  TTabSheet* old = FActivePage;
  // The focus does not stay on a page that goes out of view.
  TForm* form = GetParentForm(this);
  if (old && form && form->ActiveControl() && old->ContainsControl(form->ActiveControl()) && CanFocus()) SetFocus();
  FActivePage = page;
  if (page) page->SetVisible(true);
  if (old) old->SetVisible(false);
}

void TPageControl::UpdateActivePage() { ChangeActivePage(PageForTab(TabIndex())); }

void TPageControl::Change() {
  UpdateActivePage();
  TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int TabIndex) {
  if (OnGetImageIndex) return TCustomTabControl::GetImageIndex(TabIndex);
  const TTabSheet* page = PageForTab(TabIndex);
  return page ? page->ImageIndex() : -1;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool forward, bool tabsOnly) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  int start = static_cast<int>(std::find(FPages.begin(), FPages.end(), current) - FPages.begin());
  if (start == count) start = forward ? count - 1 : 0;
  int i = start;
  do {
    i = forward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* p = FPages[static_cast<size_t>(i)];
    if (!tabsOnly || p->FTabVisible) return p;
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool forward) {
  TTabSheet* page = FindNextPage(FActivePage, forward, true);
  if (!page || page == FActivePage || !CanChange()) return;
  SetActivePage(page);
  Change();
}

// Docking ------------------------------------------------------------------------

namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

}  // namespace

TControl* TPageControl::DockClientOf(const TTabSheet* page) const {
  for (const auto& [client, sheet] : FDockPages)
    if (sheet == page) return client;
  return nullptr;
}

TTabSheet* TPageControl::NewDockSheet() { return new TTabSheet(this); }

void TPageControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) {
  const TRect r = DisplayRect();
  const TPoint at = ClientToScreen(r.TopLeft());
  Source->SetDockRect(Bounds(at.X, at.Y, r.Width(), r.Height()));
  if (OnDockOver) OnDockOver(this, Source, X, Y, State, Accept);
}

void TPageControl::DoAddDockClient(TControl* Client, const TRect&) {
  TTabSheet* sheet = NewDockSheet();
  sheet->SetCaption(FirstLine(Client->Caption()));
  sheet->SetTabVisible(Client->Visible());
  sheet->SetPageControl(this);
  FDockPages.emplace_back(Client, sheet);
  Client->SetParent(sheet);
  Client->SetAlign(alClient);
  if (Client->Visible()) SetActivePage(sheet);
}

void TPageControl::DoRemoveDockClient(TControl* Client) {
  auto it = std::find_if(FDockPages.begin(), FDockPages.end(), [&](const auto& d) { return d.first == Client; });
  if (it == FDockPages.end()) return;
  TTabSheet* sheet = it->second;
  FDockPages.erase(it);
  sheet->SetTabVisible(false);
  // Freed later: the control may still be on its way out of it.
  QTimer::singleShot(0, sheet->Handle(), [sheet] { delete sheet; });
}

void TPageControl::DockClientChanged(TControl* Client) {
  for (const auto& [client, sheet] : FDockPages)
    if (client == Client) {
      sheet->SetCaption(FirstLine(Client->Caption()));
      sheet->SetTabVisible(Client->Visible());
      return;
    }
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomTabControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TControl* client = DockClientOf(PageForTab(IndexOfTabAt(X, Y)));
  if (!client) return;
  if (Shift.Contains(ssDouble))
    client->ManualDock(nullptr);
  else if (client->DragKind() == dkDock)
    client->BeginDrag(false);
}
