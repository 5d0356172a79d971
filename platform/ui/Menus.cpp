#include "ui/Menus.h"

#include "ui/Bitmap.h"
#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kMenuFrameWidth = 3;  // the classic pop-up menu border
constexpr int kMenuBarHeight = 19;  // the classic menu bar (SM_CYMENU)

void DecorateOption(QStyleOptionMenuItem* option, const QAction* action);

}  // namespace

/** The action of a menu item: the item is found from it, not from a table. */
class TMenuAction : public QAction {
public:
  explicit TMenuAction(TMenuItem* item) : QAction(nullptr), Item(item) {}
  TMenuItem* const Item;
};

/** The pop-up window of an item's sub-items (or of a pop-up menu's items). */
class TMenuWindow : public QMenu {
public:
  explicit TMenuWindow(TMenuItem* owner) : Owner(owner) {
    setSeparatorsCollapsible(false);  // every separator shows, as in the classic menus
    setFont(ToQFont(MenuFont()));
    QObject::connect(this, &QMenu::aboutToShow, this, [this] { Showing(); });
  }
  TMenuItem* const Owner;

protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
    QMenu::initStyleOption(option, action);
    DecorateOption(option, action);
  }

private:
  void Showing();
};

/** The menu bar of a main menu. Its own background is clMenu, so what
 *  owner-drawn items leave alone shows the classic bar. */
class TMenuBarWidget : public QMenuBar {
public:
  explicit TMenuBarWidget(TMainMenu* menu) : Menu(menu) {
    setNativeMenuBar(false);
    setFont(ToQFont(MenuFont()));
    setMinimumHeight(kMenuBarHeight);
    // Qt's menu bar fills its background in the button role; this one in clMenu.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clMenu));
    setPalette(pal);
  }
  bool OwnerDrawn() const { return Menu && Menu->OwnerDraw(); }
  TMainMenu* Menu;  // null once the menu is gone

protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
    QMenuBar::initStyleOption(option, action);
    DecorateOption(option, action);
  }
};

/** The application's style: menu items of owner-drawn menus are measured and
 *  drawn by their events, and their pop-up frames by the menu's; everything
 *  else is the base style's. */
class TMenuStyle : public QProxyStyle {
public:
  explicit TMenuStyle(QStyle* base) : QProxyStyle(base) {}
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;

private:
  static void DrawItem(TMenuItem* item, const QStyleOptionMenuItem& option, QPainter* painter,
                       const QWidget* widget, bool barItem);
};

namespace {

// Option and style helpers ----------------------------------------------------

/** The style finds the item through the option's style object; the check
 *  state is the item's own, so Qt never toggles it. */
void DecorateOption(QStyleOptionMenuItem* option, const QAction* action) {
  TMenuItem* item = TMenuItem::FromAction(action);
  if (!item) return;
  option->styleObject = const_cast<QAction*>(action);
  if (item->IsLine()) return;
  option->checked = item->Checked();
  option->checkType = !item->Checked()  ? QStyleOptionMenuItem::NotCheckable
                      : item->RadioItem() ? QStyleOptionMenuItem::Exclusive
                                          : QStyleOptionMenuItem::NonExclusive;
}

TMenuItem* ItemOf(const QStyleOption* option) {
  return option ? TMenuItem::FromAction(qobject_cast<const QAction*>(option->styleObject)) : nullptr;
}

/** The option as Qt made it, for the base style. */
QStyleOptionMenuItem PlainOption(const QStyleOptionMenuItem& option, const QWidget* widget) {
  QStyleOptionMenuItem plain(option);
  plain.styleObject = dynamic_cast<const QMenu*>(widget) ? const_cast<QWidget*>(widget) : nullptr;
  return plain;
}

/** The menu whose pop-up window widget is, when it draws its own frame. */
TMenu* FramedMenu(const QWidget* widget) {
  const auto* window = dynamic_cast<const TMenuWindow*>(widget);
  TMenu* menu = window ? window->Owner->GetParentMenu() : nullptr;
  return menu && menu->OwnerDraw() && menu->OnDrawFrame ? menu : nullptr;
}

/** Whether widget is the bar of a main menu whose items draw themselves. */
bool OwnerDrawnBar(const QWidget* widget) {
  const auto* bar = dynamic_cast<const TMenuBarWidget*>(widget);
  return bar && bar->OwnerDrawn();
}

/** Runs draw on a canvas over the whole widget and lays what it drew over the
 *  widget: pixels it leaves alone stay as they are, except fill, which is
 *  cleared to clMenu first. */
void PaintThroughCanvas(QPainter* painter, const QWidget* widget, const QRect& fill, bool clipped,
                        const std::function<void(TCanvas*)>& draw) {
  if (widget->width() <= 0 || widget->height() <= 0) return;
  QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (!fill.isEmpty()) {
    QPainter p(&image);
    p.fillRect(fill, ToQColor(clMenu));
  }
  TCanvas canvas(&image);
  canvas.Font = MenuFont();
  RunGuarded([&] { draw(&canvas); });
  painter->save();
  if (!clipped) painter->setClipping(false);
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->drawImage(0, 0, image);
  painter->restore();
}

/** The containing menu or bar lays its items out again. */
void SendRemeasure(QWidget* widget) {
  if (!widget || widget->actions().isEmpty()) return;
  QActionEvent e(QEvent::ActionChanged, widget->actions().constFirst());
  QCoreApplication::sendEvent(widget, &e);
}

void InstallMenuStyle() {
  if (!qApp || dynamic_cast<TMenuStyle*>(QApplication::style())) return;
  // A fresh base of the same kind: the application deletes the style it replaces.
  QStyle* base = QStyleFactory::create(QApplication::style()->name());
  if (!base) base = QStyleFactory::create(QStringLiteral("Fusion"));
  QApplication::setStyle(new TMenuStyle(base));
}

template <class F>
void ForEachItem(TMenuItem* item, const F& fn) {
  fn(item);
  for (int i = 0; i < item->Count(); ++i) ForEachItem(item->Items(i), fn);
}

}  // namespace

// ---------------------------------------------------------------- TMenuStyle

void TMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
  if (element == CE_MenuItem || element == CE_MenuBarItem) {
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (TMenuItem* item = ItemOf(option); mi && item) {
      if (item->OwnerDrawn() && item->OnAdvancedDrawItem && widget) {
        DrawItem(item, *mi, painter, widget, element == CE_MenuBarItem);
        return;
      }
      const QStyleOptionMenuItem plain = PlainOption(*mi, widget);
      QProxyStyle::drawControl(element, &plain, painter, widget);
      return;
    }
  }
  // An owner-drawn bar keeps its own background under what the items drew.
  if (element == CE_MenuBarEmptyArea && OwnerDrawnBar(widget)) return;
  QProxyStyle::drawControl(element, option, painter, widget);
}

void TMenuStyle::DrawItem(TMenuItem* item, const QStyleOptionMenuItem& option, QPainter* painter,
                          const QWidget* widget, bool barItem) {
  TOwnerDrawState state;
  if (barItem) {
    if (option.state & State_Sunken)
      state << odSelected;  // its menu is open
    else if (option.state & State_Selected)
      state << odHotLight;
  } else if (option.state & State_Selected) {
    state << odSelected;
  }
  if (!(option.state & State_Enabled)) state << odDisabled << odGrayed;
  if (item->Checked()) state << odChecked;
  if (item->Default()) state << odDefault;
  const bool selected = state.Contains(odSelected);
  const TRect rect = FromQRect(option.rect);
  PaintThroughCanvas(painter, widget, option.rect, false, [&](TCanvas* canvas) {
    canvas->Brush.Color = selected ? clHighlight : clMenu;
    canvas->Font.SetColor(selected ? clHighlightText : clMenuText);
    item->OnAdvancedDrawItem(item, canvas, rect, state);
    if (barItem || item->Count() == 0) return;
    // The window system draws a sub-menu's arrow over what the item drew.
    canvas->Pen = TPen{state.Contains(odDisabled) ? clGrayText : selected ? clHighlightText : clMenuText};
    const int x = rect.Right - 9, y = rect.Top + (rect.Height() - 7) / 2;
    for (int i = 0; i < 4; ++i) {
      canvas->MoveTo(x + i, y + i);
      canvas->LineTo(x + i, y + 7 - i);
    }
  });
}

void TMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
  if (element == PE_FrameMenu)
    if (TMenu* menu = FramedMenu(widget)) {
      const TRect all{0, 0, widget->width(), widget->height()};
      PaintThroughCanvas(painter, widget, QRect(), true,
                         [&](TCanvas* canvas) { menu->OnDrawFrame(menu, canvas, all); });
      return;
    }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int TMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  // A menu that draws its own frame gets the classic border, items right inside it.
  if ((metric == PM_MenuPanelWidth || metric == PM_MenuHMargin || metric == PM_MenuVMargin) && FramedMenu(widget))
    return metric == PM_MenuPanelWidth ? kMenuFrameWidth : 0;
  // The items of an owner-drawn bar stand side by side from its left edge, as
  // the window system lays them out, with no frame or margin round them.
  if ((metric == PM_MenuBarItemSpacing || metric == PM_MenuBarHMargin || metric == PM_MenuBarVMargin ||
       metric == PM_MenuBarPanelWidth) &&
      OwnerDrawnBar(widget))
    return 0;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize TMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const {
  if (type == CT_MenuItem || type == CT_MenuBarItem) {
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (TMenuItem* item = ItemOf(option); mi && item) {
      const QStyleOptionMenuItem plain = PlainOption(*mi, widget);
      QSize result = QProxyStyle::sizeFromContents(type, &plain, size, widget);
      if (item->OwnerDrawn() && item->OnMeasureItem) {
        // The window system offers a bar item no width of its own, and adds
        // twice the menu font's average character width to what it measured.
        const bool barItem = type == CT_MenuBarItem;
        int width = barItem ? 0 : result.width(), height = result.height();
        TCanvas canvas;
        canvas.Font = MenuFont();
        RunGuarded([&] { item->OnMeasureItem(item, &canvas, width, height); });
        if (barItem) width += 2 * QFontMetrics(ToQFont(MenuFont())).averageCharWidth();
        result = QSize(std::max(0, width), std::max(0, height));
      }
      return result;
    }
  }
  return QProxyStyle::sizeFromContents(type, option, size, widget);
}

// ---------------------------------------------------------------- short cuts

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key > 0xFF) return scNone;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, WORD& Key, TShiftState& Shift) {
  Key = shortCut & 0xFF;
  Shift = {};
  if (shortCut & scShift) Shift << ssShift;
  if (shortCut & scCtrl) Shift << ssCtrl;
  if (shortCut & scAlt) Shift << ssAlt;
}

namespace {

std::string KeyName(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= 0x87) return std::string("F").append(std::to_string(key - VK_F1 + 1));
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: return "";
  }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TFont MenuFont() {
  TFont font;
  font.SetColor(clMenuText);
  return font;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FAction(std::make_unique<TMenuAction>(this)) {
  QObject::connect(FAction.get(), &QAction::triggered, FAction.get(), [this] { RunGuarded([this] { Click(); }); });
}

TMenuItem::~TMenuItem() {
  FDying = true;
  // The sub-items go with their parent.
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    FItems.pop_back();
    item->FParent = nullptr;
    delete item;
  }
  if (FParent) FParent->Remove(this);
  delete FShortcutKey.data();
  FSubMenu.reset();
  FAction.reset();
}

TMenuItem* TMenuItem::FromAction(const QAction* action) {
  const auto* a = dynamic_cast<const TMenuAction*>(action);
  return a ? a->Item : nullptr;
}

QAction* TMenuItem::QtAction() const { return FAction.get(); }
QMenu* TMenuItem::QtSubMenu() const { return FSubMenu.get(); }

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

bool TMenuItem::OwnerDrawn() const {
  const TMenu* menu = GetParentMenu();
  return menu && menu->OwnerDraw();
}

bool TMenuItem::EffectivelyEnabled() const {
  for (const TMenuItem* p = this; p && !p->FMenu; p = p->FParent)
    if (!p->FEnabled) return false;
  return true;
}

TImageList* TMenuItem::ImageList() const {
  if (FParent && FParent->FSubMenuImages) return FParent->FSubMenuImages;
  const TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

QWidget* TMenuItem::ItemsWidget() {
  if (FMenu) return FMenu->RootWidget();
  if (!FSubMenu) {
    FSubMenu = std::make_unique<TMenuWindow>(this);
    FAction->setMenu(FSubMenu.get());
  }
  return FSubMenu.get();
}

void TMenuWindow::Showing() {
  // As in the class library, the parent item clicks first, so that its
  // handler can set the sub-items up before they are measured.
  if (Owner->Parent()) RunGuarded([this] { Owner->Click(); });
  for (int i = 0; i < Owner->Count(); ++i) Owner->Items(i)->UpdateIcon();
  SendRemeasure(this);
}

// Tree ---------------------------------------------------------------------------

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->FParent || item->FMenu) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == item) throw EMenuError("A menu item cannot contain itself");
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  QWidget* widget = ItemsWidget();
  QAction* before = index + 1 < Count() ? FItems[static_cast<size_t>(index) + 1]->QtAction() : nullptr;
  if (widget) widget->insertAction(before, item->QtAction());
  item->UpdateTree();
  item->Remeasure();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  FItems.erase(FItems.begin() + index);
  item->FParent = nullptr;
  if (QWidget* widget = ItemsWidget()) widget->removeAction(item->QtAction());
  item->UpdateTree();  // its short cuts leave the form
  if (FItems.empty() && FSubMenu) {
    // Without sub-items it is a command again.
    FAction->setMenu(nullptr);
    FSubMenu.reset();
  }
  // An item being freed may be going with its form: the form is not laid
  // out again while it frees its components.
  if (FMenu)
    FMenu->Remeasured(item->FDying);
  else if (FParent)
    SendRemeasure(FParent->ItemsWidget());
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) throw EMenuError("Menu index out of range");
  Delete(index);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

// Properties ---------------------------------------------------------------------

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  UpdateAction();
  Remeasure();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == FShortCut) return;
  FShortCut = shortCut;
  UpdateAction();
  UpdateShortcut();
  Remeasure();
}

void TMenuItem::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  if (value && FRadioItem && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->SetChecked(false);
  if (FParent)
    if (QWidget* widget = FParent->ItemsWidget()) widget->update();
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == FRadioItem) return;
  FRadioItem = value;
  if (FParent)
    if (QWidget* widget = FParent->ItemsWidget()) widget->update();
}

void TMenuItem::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTree();  // the sub-items' short cuts follow
}

void TMenuItem::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  UpdateAction();
  Remeasure();
}

void TMenuItem::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  if (auto* menu = dynamic_cast<QMenu*>(FParent ? FParent->ItemsWidget() : nullptr)) {
    if (value)
      menu->setDefaultAction(FAction.get());
    else if (menu->defaultAction() == FAction.get())
      menu->setDefaultAction(nullptr);
  }
  Remeasure();
}

void TMenuItem::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  UpdateIcon();
  Remeasure();
}

void TMenuItem::SetSubMenuImages(TImageList* images) {
  if (images == FSubMenuImages) return;
  FSubMenuImages = images;
  for (TMenuItem* item : FItems) item->UpdateIcon();
  if (FSubMenu) SendRemeasure(FSubMenu.get());
}

TBitmap& TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return *FBitmap;
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

// Keeping the Qt side in step -----------------------------------------------------

void TMenuItem::UpdateAction() {
  // A separator has no text: the base style would show it as a heading.
  QString text = IsLine() ? QString() : ToQString(FCaption);
  // Pop-up items show their short cut after a tab, unless they draw themselves.
  const bool topLevel = FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu);
  const std::string keys = ShortCutToText(FShortCut);
  if (!topLevel && !IsLine() && !OwnerDrawn() && !keys.empty()) text += QLatin1Char('\t') + ToQString(keys);
  FAction->setSeparator(IsLine());
  FAction->setText(text);
  FAction->setEnabled(FEnabled);
  FAction->setVisible(FVisible);
}

void TMenuItem::UpdateIcon() {
  QImage image;
  if (TImageList* list = ImageList(); list && FImageIndex >= 0 && FImageIndex < list->Count()) {
    image = QImage(list->Width(), list->Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(&image);
    list->Draw(&canvas, 0, 0, FImageIndex);
  } else if (HasBitmap()) {
    // A menu bitmap leaves out the colour of its bottom-left pixel.
    TBitmap picture;
    picture.Assign(*FBitmap);
    picture.SetTransparent(true);
    image = QImage(picture.Width(), picture.Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(&image);
    canvas.Draw(0, 0, picture);
  }
  FAction->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

void TMenuItem::UpdateShortcut() {
  const auto* main = dynamic_cast<const TMainMenu*>(GetParentMenu());
  TForm* form = main ? main->Form() : nullptr;
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(FShortCut, key, shift);
  const int qtKey = QtKeyOf(key);
  if (!form || qtKey == 0 || FMenu) {
    delete FShortcutKey.data();
    return;
  }
  if (!FShortcutKey || FShortcutKey->parent() != form->Handle()) {
    delete FShortcutKey.data();
    // Qt asks the focused widget first (ShortcutOverride): an edit keeps its
    // cut, copy and paste keys, other controls let the menu have them.
    FShortcutKey = new QShortcut(form->Handle());
    FShortcutKey->setContext(Qt::WindowShortcut);
    QObject::connect(FShortcutKey.data(), &QShortcut::activated, FShortcutKey.data(),
                     [this] { RunGuarded([this] { Click(); }); });
  }
  Qt::KeyboardModifiers mods;
  if (shift.Contains(ssShift)) mods |= Qt::ShiftModifier;
  if (shift.Contains(ssCtrl)) mods |= Qt::ControlModifier;
  if (shift.Contains(ssAlt)) mods |= Qt::AltModifier;
  FShortcutKey->setKey(QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(qtKey))));
  FShortcutKey->setEnabled(EffectivelyEnabled());
}

void TMenuItem::UpdateTree() {
  ForEachItem(this, [](TMenuItem* item) {
    item->UpdateAction();
    item->UpdateShortcut();
    item->UpdateIcon();
  });
}

void TMenuItem::Remeasure() {
  if (!FParent) return;
  SendRemeasure(FParent->ItemsWidget());
  if (FParent->FMenu) FParent->FMenu->Remeasured();
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

// ---------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
  InstallMenuStyle();
}

TMenu::~TMenu() { FItems.reset(); }

void TMenu::SetImages(TImageList* images) {
  if (images == FImages) return;
  FImages = images;
  ForEachItem(FItems.get(), [](TMenuItem* item) {
    item->UpdateIcon();
    if (item->FSubMenu) SendRemeasure(item->FSubMenu.get());
  });
  SendRemeasure(RootWidget());
  Remeasured();
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == FOwnerDraw) return;
  FOwnerDraw = value;
  ForEachItem(FItems.get(), [](TMenuItem* item) {
    item->UpdateAction();  // the short cut leaves the text while the item draws itself
    if (item->FSubMenu) SendRemeasure(item->FSubMenu.get());
  });
  SendRemeasure(RootWidget());
  if (QWidget* root = RootWidget()) root->update();
  Remeasured();
}

// ---------------------------------------------------------------- TMainMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FBar(new TMenuBarWidget(this)) {
  FForm = dynamic_cast<TForm*>(AOwner);
  if (FForm) FForm->SetMenuWidget(FBar);
  FBarHeight = FBar->sizeHint().height();
}

TMainMenu::~TMainMenu() {
  FBar->Menu = nullptr;
  if (!FForm) {
    delete FBar;
  } else if (Owner() == FForm) {
    // Taken off a form that stays: the client area gets the bar's height back.
    FForm->SetMenuWidget(nullptr);
    delete FBar;
  }
  // Otherwise the form is freeing its components on its way out; the bar
  // goes with its window, and nothing is laid out again.
}

QMenuBar* TMainMenu::QtMenuBar() const { return FBar; }
QWidget* TMainMenu::RootWidget() const { return FBar; }

void TMainMenu::Remeasured(bool later) {
  if (!FForm || Owner() != FForm) return;
  if (later) {
    QTimer::singleShot(0, FBar, [bar = FBar] {
      if (bar->Menu) bar->Menu->Remeasured(false);
    });
    return;
  }
  const int height = FBar->sizeHint().height();
  if (height == FBarHeight) return;
  FBarHeight = height;
  // The form lays its client area out again under the bar's new height.
  FForm->SetMenuWidget(nullptr);
  FForm->SetMenuWidget(FBar);
}

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), FPopup(std::make_unique<TMenuWindow>(Items())) {}

TPopupMenu::~TPopupMenu() = default;

QWidget* TPopupMenu::RootWidget() const { return FPopup.get(); }
QMenu* TPopupMenu::QtPopup() const { return FPopup.get(); }

void TPopupMenu::Popup(int X, int Y) { FPopup->popup(QPoint(X, Y)); }

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == FPopupComponent) return;
  if (FPopupComponent) RemoveFreeNotification(FPopupComponent);
  FPopupComponent = component;
  if (component) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* AComponent) {
  if (AComponent == FPopupComponent) FPopupComponent = nullptr;
}
