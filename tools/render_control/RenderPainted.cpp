// render_control's pictures of the painted components: the XP-style menu and
// tool bar, the owner-drawn page control, the gradient label.
//
//   render_control menu [--open N] [--hot N] out.png      the main window's menu, menu N open, item N hot
//   render_control toolbar out.png                         tool buttons: plain, hot, down, disabled, drop-down
//   render_control pages [--tab-style classic|dotnet] [--side top|bottom|left|right]
//                        [--rows behind|opposite] out.png
//     --rows: six pages in rows, the fifth active; the rows in front of its row go behind
//             the others or to the opposite side (ScrollOpposite)
//   render_control label [--mode MODE] out.png
//     MODE: horizontal vertical elliptic rectangle vertcenter horizcenter raised recessed
//           shadowed subsup link frame rule

#include "RenderPainted.h"

#include "components/GradPageControl.h"
#include "components/GradientLabel.h"
#include "components/MenuPainter.h"
#include "shell/MainFormUnit.h"
#include "ui/Bitmap.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/QtConvert.h"
#include "ui/ToolWin.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

struct TPaintedArgs {
  std::string Kind;
  std::map<std::string, std::string> Values;
  std::string Out;
  std::string Get(const std::string& key, const std::string& def) const {
    auto it = Values.find(key);
    return it == Values.end() ? def : it->second;
  }
};

const std::map<std::string, std::vector<std::string>>& Options() {
  static const std::map<std::string, std::vector<std::string>> options = {
      {"menu", {"--open", "--hot"}},
      {"toolbar", {}},
      {"pages", {"--tab-style", "--side", "--rows"}},
      {"label", {"--mode"}}};
  return options;
}

std::optional<std::string> ParsePainted(int argc, char** argv, TPaintedArgs& a) {
  a.Kind = argv[1];
  const auto& allowed = Options().at(a.Kind);
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) == 0) {
      if (std::find(allowed.begin(), allowed.end(), arg) == allowed.end()) return "unknown option " + arg;
      if (i + 1 >= argc) return arg + " needs a value";
      a.Values[arg] = argv[++i];
      continue;
    }
    if (!a.Out.empty()) return std::string("more than one output file");
    a.Out = arg;
  }
  if (a.Out.empty()) return std::string("no output file");
  const std::string style = a.Get("--tab-style", "classic"), side = a.Get("--side", "top");
  if (style != "classic" && style != "dotnet") return "unknown style " + style;
  if (side != "top" && side != "bottom" && side != "left" && side != "right") return "unknown side " + side;
  const std::string rows = a.Get("--rows", "behind");
  if (rows != "behind" && rows != "opposite") return "unknown rows " + rows;
  return std::nullopt;
}


/** A small picture in the image list: a filled square with a darker frame. */
void AddSquare(TImageList& list, TColor fill) {
  TBitmap b(list.Width(), list.Height());
  TCanvas* c = b.Canvas();
  c->Brush.Color = clFuchsia;
  c->FillRect({0, 0, b.Width(), b.Height()});
  c->Brush.Color = fill;
  c->Pen.Color = ShadeColor(fill, 80);
  c->Rectangle(2, 2, b.Width() - 2, b.Height() - 2);
  list.AddMasked(b, clFuchsia);
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut key = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetShortCut(key);
  parent->Add(item);
  return item;
}

QImage RenderMenu(const TPaintedArgs& a) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  TImageList images(16, 16);
  AddSquare(images, kSkyBlue);
  AddSquare(images, clYellow);
  auto* menu = new TMainMenu(&form);
  menu->SetImages(&images);
  TMenuItem* file = Item(&form, menu->Items(), "&File");
  Item(&form, file, "&New...", ShortCut('N', {ssCtrl}))->SetImageIndex(0);
  Item(&form, file, "&Open", ShortCut('O', {ssCtrl}))->SetImageIndex(1);
  Item(&form, file, "&Save", ShortCut('S', {ssCtrl}));
  Item(&form, file, "Save as ...");
  Item(&form, file, "-");
  TMenuItem* checked = Item(&form, file, "Show result");
  checked->SetChecked(true);
  Item(&form, file, "Disabled")->SetEnabled(false);
  Item(&form, file, "E&xit", ShortCut('X', {ssCtrl}));
  TMenuItem* project = Item(&form, menu->Items(), "&Project");
  Item(&form, project, "Settings", ShortCut('O', {ssCtrl, ssAlt}));
  Item(&form, menu->Items(), "&Options");
  Item(&form, menu->Items(), "&Help");
  NewMainWindowPainter(&form);
  form.Show();
  QApplication::processEvents();

  const int open = std::atoi(a.Get("--open", "0").c_str()), hot = std::atoi(a.Get("--hot", "1").c_str());
  QMenuBar* bar = menu->QtMenuBar();
  TMenuItem* top = menu->Items()->Items(std::clamp(open, 0, menu->Items()->Count() - 1));
  bar->setActiveAction(top->QtAction());
  QApplication::processEvents();
  QMenu* popup = top->QtSubMenu();
  QImage barImage = bar->grab().toImage();
  QImage menuImage;
  int menuLeft = 0;
  if (popup) {
    const QRect item = bar->actionGeometry(top->QtAction());
    popup->popup(bar->mapToGlobal(QPoint(item.left(), bar->height())));
    QApplication::processEvents();
    if (hot >= 0 && hot < top->Count()) popup->setActiveAction(top->Items(hot)->QtAction());
    QApplication::processEvents();
    menuImage = popup->grab().toImage();
    menuLeft = item.left();
    popup->hide();
  }
  QImage out(std::max(barImage.width(), menuLeft + menuImage.width() + 4), barImage.height() + menuImage.height(),
             QImage::Format_ARGB32_Premultiplied);
  out.fill(ToQRgb(clAppWorkSpace));
  QPainter p(&out);
  p.drawImage(0, 0, barImage);
  if (!menuImage.isNull()) p.drawImage(menuLeft, barImage.height(), menuImage);
  return out;
}

QImage RenderToolBar() {
  TForm form(nullptr);
  form.SetBounds(200, 200, 300, 100);  // away from the mouse, which rests at the origin
  TImageList images(16, 16);
  for (TColor c : {clRed, clLime, clBlue, clYellow}) AddSquare(images, c);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  bar->SetBounds(0, 0, 200, 29);
  bar->SetImages(&images);
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 5; ++i) {
    auto* b = new TToolButton(&form);
    b->SetParent(bar);
    if (i == 2) {
      b->SetStyle(tbsSeparator);
      b->SetTag(1);
    } else {
      b->SetImageIndex(static_cast<int>(buttons.size()) % 4);
    }
    buttons.push_back(b);
  }
  buttons[3]->SetStyle(tbsCheck);
  buttons[3]->SetDown(true);
  buttons[4]->SetEnabled(false);
  // Last a drop-down button with its menu.
  auto* drop = new TToolButton(&form);
  drop->SetParent(bar);
  drop->SetStyle(tbsDropDown);
  drop->SetImageIndex(3);
  auto* menu = new TPopupMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  drop->SetDropdownMenu(menu);
  NewMainWindowPainter(&form);
  form.Show();
  QApplication::processEvents();
  QEvent enter(QEvent::Enter);
  QCoreApplication::sendEvent(buttons[1]->Handle(), &enter);
  QImage img(bar->Width(), bar->Height(), QImage::Format_ARGB32_Premultiplied);
  img.fill(0xFFFFFFFF);
  bar->PaintTo(img);
  return img;
}

QImage RenderPages(const TPaintedArgs& a) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* pages = new TGradPageControl(&form);
  pages->SetParent(&form);
  const std::string side = a.Get("--side", "top");
  pages->SetTabPosition(side == "bottom" ? tpBottom : side == "left" ? tpLeft : side == "right" ? tpRight : tpTop);
  pages->SetBounds(0, 0, 320, 300);
  pages->SetTabStyle(a.Get("--tab-style", "classic") == "dotnet" ? tsDotNet : tsClassic);
  pages->SetDefaultTabColor(0xF0E0D0);
  pages->SetDefaultTabColorTo(0xC09070);
  pages->SetActiveColor(clWhite);
  pages->SetActiveColorTo(kSkyBlue);
  pages->SetTabHoverColor(0xD0F0FF);
  pages->SetTabHoverColorTo(0x60C0FF);
  pages->SetTabHoverBorder(clNavy);
  pages->SetTabBorderColor(0x806040);
  pages->SetTabSheetBorderColor(0x806040);
  pages->SetRoundEdges(true);
  std::vector<TGradTabSheet*> sheets;
  const bool rows = a.Values.count("--rows") > 0;
  std::vector<const char*> captions = {"Table details", "Look and Feel", "Site settings"};
  if (rows) captions.insert(captions.end(), {"Fields", "Keys", "Rights"});
  for (const char* caption : captions) {
    auto* sheet = new TGradTabSheet(&form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
    sheets.push_back(sheet);
  }
  sheets[1]->SetShowClose(true);
  pages->SetActivePageIndex(1);
  if (rows) {
    pages->SetMultiLine(true);
    pages->SetScrollOpposite(a.Get("--rows", "behind") == "opposite");
    pages->SetBounds(0, 0, 220, 300);
    pages->SetActivePageIndex(4);
  }
  form.Show();
  QApplication::processEvents();
  // The mouse over the last tab shows the hover colours and border.
  const TRect hover = pages->TabRect(2);
  const QPoint at(hover.Left + hover.Width() / 2, hover.Top + hover.Height() / 2);
  QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(pages->Handle()->mapToGlobal(at)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(pages->ClientWidget(), &move);
  QImage img(pages->Width(), pages->Height(), QImage::Format_ARGB32_Premultiplied);
  img.fill(0xFFFFFFFF);
  pages->PaintTo(img);
  return img;
}

std::optional<QImage> RenderLabel(const TPaintedArgs& a) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  form.SetColor(clBtnFace);
  auto* label = new TGradientLabel(&form);
  label->SetParent(&form);
  label->SetBounds(0, 0, 240, 48);
  label->SetCaption("Quarrowfield");
  label->SetAFitType(ftNormalFit);
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-24);
  font.SetStyle(fsBold);
  font.SetColor(clWhite);
  label->SetFont(font);
  label->SetAlignment(taCenter);
  const std::string mode = a.Get("--mode", "horizontal");
  const std::map<std::string, TGradientStyle> gradients = {
      {"horizontal", gsHorizontal}, {"vertical", gsVertical},     {"elliptic", gsElliptic},
      {"rectangle", gsRectangle},   {"vertcenter", gsVertCenter}, {"horizcenter", gsHorizCenter}};
  if (auto it = gradients.find(mode); it != gradients.end()) {
    label->SetGradientStyle(it->second);
  } else if (mode == "raised" || mode == "recessed" || mode == "shadowed") {
    label->SetGradientStyle(gsVertical);
    label->SetBeginColor(0xE0C0A0);
    label->SetEndColor(0x804020);
    label->SetAStyle3D(mode == "raised" ? Raised3d : mode == "recessed" ? Resit3d : Shadowed3d);
    label->SetAHShadeOffSet(3);
    label->SetAVShadeOffSet(3);
    label->Font().SetColor(clNavy);
  } else if (mode == "subsup") {
    label->SetLabelType(ltSubSuperScript);
    label->SetCaption("H_2O x^2 + y^2");
    label->Font().SetColor(clBlack);
    label->SetAlignment(taLeftJustify);
  } else if (mode == "link") {
    label->SetLabelType(ltHttp);
    label->SetCaption("www.example.org");
    label->Font().SetHeight(-14);
    label->Font().SetStyle(0);
    label->Font().SetColor(clBlue);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(label->Handle(), &enter);
  } else if (mode == "frame" || mode == "rule") {
    label->Font().SetColor(clBlack);
    label->Font().SetHeight(-14);
    label->SetCaption("Admin settings");
    label->SetFrame(mode == "frame");
    if (mode == "rule") label->SetLineStyle(lsMiddle);
  } else {
    return std::nullopt;
  }
  QImage img(label->Width(), label->Height(), QImage::Format_ARGB32_Premultiplied);
  img.fill(ToQRgb(clBtnFace));
  label->PaintTo(img);
  return img;
}

}  // namespace

bool IsPaintedKind(const char* kind) { return Options().count(kind) > 0; }

int RenderPainted(int argc, char** argv) {
  TPaintedArgs args;
  if (const auto error = ParsePainted(argc, argv, args)) {
    std::fprintf(stderr, "render_control: %s\n", error->c_str());
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  std::optional<QImage> img;
  if (args.Kind == "menu") img = RenderMenu(args);
  if (args.Kind == "toolbar") img = RenderToolBar();
  if (args.Kind == "pages") img = RenderPages(args);
  if (args.Kind == "label") img = RenderLabel(args);
  if (!img) {
    std::fprintf(stderr, "render_control: unknown mode %s\n", args.Get("--mode", "").c_str());
    return 2;
  }
  if (!img->save(ToQString(args.Out), "PNG")) {
    std::fprintf(stderr, "render_control: cannot write %s\n", args.Out.c_str());
    return 1;
  }
  return 0;
}
