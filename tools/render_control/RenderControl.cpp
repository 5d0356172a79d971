// render_control: paints one control in a given state into a PNG, for tests
// and for looking at the pictures.
//
//   render_control gauge [options] out.png
//     --progress N --min N --max N --width N --height N
//     --color C --bar-color C --border-color C --font-color C   (TColor: decimal or 0x00BBGGRR)
//     --no-text --transparent --adv-colors PERCENT
//   render_control processing [--progress N] out.png     the whole progress window
//   render_control about out.png                          the about box as it is shown
//   render_control mainwindow [--page N] out.png          the main window on a new project, page N
//                                                          (0 table details, 1 look and feel, 3 site settings)
//     --project FILE   on that project instead, connected to its server as at start-up
//     --table NAME     with that table of it chosen in the selected tables
//     --column NAME    and that column chosen in the column grid (the field editor shows it)
//   render_control grid [options] out.png                 the grid engine with sample rows
//     --rows N --width N --height N --slides
//     --top N (first visible row) --left N (horizontal position in pixels)
//     --col N --row N (the current cell) --anchor N (a Shift selection from row N)
//   render_control flat OUTDIR      every flat control in each of its states (RenderFlat.cpp)
//   render_control menu | toolbar | pages | label ...     see RenderPainted.cpp
//   render_control gridview [options] out.png             the grid demo's column grid
//     --width N --height N --header-style N (0 hsAuto .. 3 hsOutlook)
//     --edit (a caption in its editor) --popup (a drop-down list open) --drag (a header dragged)
//
// The gauge sits on a form of the button-face colour, as in the progress
// window, so it takes that colour unless --color says otherwise.

#include "RenderFlat.h"
#include "RenderGridView.h"
#include "RenderPainted.h"
#include "components/FlatGauge.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "components/GradPageControl.h"
#include "shell/About.h"
#include "shell/MainFormUnit.h"
#include "shell/ProcessingForm.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

int Usage(const char* error) {
  if (error) std::fprintf(stderr, "render_control: %s\n", error);
  std::fprintf(stderr,
               "usage: render_control gauge [--progress N] [--min N] [--max N] [--width N] [--height N]\n"
               "                      [--color C] [--bar-color C] [--border-color C] [--font-color C]\n"
               "                      [--no-text] [--transparent] [--adv-colors PERCENT] out.png\n"
               "       render_control processing [--progress N] out.png\n"
               "       render_control about out.png\n"
               "       render_control mainwindow [--page N] [--project FILE [--table NAME [--column NAME]]] out.png\n"
               "       render_control grid [--rows N] [--width N] [--height N] [--slides] [--top N] [--left N]\n"
               "                      [--col N] [--row N] [--anchor N] out.png\n"
               "       render_control gridview [--width N] [--height N] [--header-style N] [--edit] [--popup] [--drag] out.png\n");
  return 2;
}

std::optional<long long> Number(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 0);
  if (!end || *end != '\0') return std::nullopt;
  return v;
}

struct TArgs {
  std::string Kind;
  std::map<std::string, long long> Values;
  std::map<std::string, std::string> Texts;
  std::vector<std::string> Flags;
  std::string Out;
  bool Has(const std::string& f) const {
    for (const auto& x : Flags)
      if (x == f) return true;
    return false;
  }
};

// Options with a value, and options without one.
const char* const kValued[] = {"--progress", "--min",        "--max",          "--width",      "--height",
                               "--color",    "--bar-color",  "--border-color", "--font-color", "--adv-colors",
                               "--rows",     "--top",        "--left",         "--col",        "--row",
                               "--anchor",   "--header-style", "--page"};
const char* const kFlags[] = {"--no-text", "--transparent", "--slides", "--edit", "--popup", "--drag"};
// Options with a text value (the main window's).
const char* const kTexts[] = {"--project", "--table", "--column"};

bool GridViewOption(const std::string& option) {
  for (const char* o : {"--width", "--height", "--header-style", "--edit", "--popup", "--drag"})
    if (option == o) return true;
  return false;
}

// The options each control takes.
bool Applies(const std::string& kind, const std::string& option) {
  const std::vector<std::string> grid = {"--width", "--height", "--rows", "--top",   "--left",
                                         "--col",   "--row",    "--anchor", "--slides"};
  const bool forGrid = std::find(grid.begin(), grid.end(), option) != grid.end();
  if (kind == "processing") return option == "--progress";
  if (kind == "about") return false;
  if (kind == "mainwindow") return option == "--page";
  if (kind == "gridview") return GridViewOption(option);
  if (kind == "grid") return forGrid;
  return !forGrid || option == "--width" || option == "--height";
}

std::optional<std::string> Parse(int argc, char** argv, TArgs& a) {
  if (argc < 2) return std::string("no control named");
  a.Kind = argv[1];
  if (a.Kind != "gauge" && a.Kind != "processing" && a.Kind != "grid" && a.Kind != "gridview" && a.Kind != "about" &&
      a.Kind != "mainwindow")
    return "unknown control \"" + a.Kind + "\"";
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    bool known = false;
    for (const char* v : kValued)
      if (arg == v) {
        if (i + 1 >= argc) return arg + " needs a value";
        const auto n = Number(argv[++i]);
        if (!n) return arg + " needs a number, not \"" + argv[i] + "\"";
        a.Values[arg] = *n;
        known = true;
      }
    for (const char* t : kTexts)
      if (arg == t) {
        if (i + 1 >= argc) return arg + " needs a value";
        a.Texts[arg] = argv[++i];
        known = true;
      }
    for (const char* f : kFlags)
      if (arg == f) {
        a.Flags.push_back(arg);
        known = true;
      }
    if (known) continue;
    if (arg.rfind("--", 0) == 0) return "unknown option " + arg;
    if (!a.Out.empty()) return std::string("more than one output file");
    a.Out = arg;
  }
  if (a.Out.empty()) return std::string("no output file");
  for (const auto& [k, v] : a.Values)
    if (!Applies(a.Kind, k)) return k + " does not apply to the " + a.Kind;
  for (const auto& f : a.Flags)
    if (!Applies(a.Kind, f)) return f + " does not apply to the " + a.Kind;
  if (!a.Texts.empty() && a.Kind != "mainwindow") return a.Texts.begin()->first + " does not apply to the " + a.Kind;
  if ((a.Texts.count("--table") && !a.Texts.count("--project")) ||
      (a.Texts.count("--column") && !a.Texts.count("--table")))
    return std::string("--table needs --project, --column needs --table");
  const auto w = a.Values.find("--width"), h = a.Values.find("--height");
  if ((w != a.Values.end() && (w->second < 1 || w->second > 10000)) ||
      (h != a.Values.end() && (h->second < 1 || h->second > 10000)))
    return std::string("width and height must lie in 1..10000");
  if (const auto st = a.Values.find("--header-style"); st != a.Values.end() && (st->second < 0 || st->second > 3))
    return std::string("header style must lie in 0..3");
  if (const auto r = a.Values.find("--rows"); r != a.Values.end() && (r->second < 0 || r->second > 1000000))
    return std::string("rows must lie in 0..1000000");
  return std::nullopt;
}

QImage RenderGauge(const TArgs& a) {
  TForm host(nullptr);
  auto* g = new TFlatGauge(&host);
  g->SetParent(&host);
  auto get = [&](const char* k, long long def) {
    auto it = a.Values.find(k);
    return it == a.Values.end() ? def : it->second;
  };
  g->SetBounds(0, 0, static_cast<int>(get("--width", g->Width())), static_cast<int>(get("--height", g->Height())));
  // Range first, so the progress is clamped to the range asked for.
  if (a.Values.count("--max")) g->SetMaxValue(static_cast<int>(get("--max", 0)));
  if (a.Values.count("--min")) g->SetMinValue(static_cast<int>(get("--min", 0)));
  if (a.Values.count("--max")) g->SetMaxValue(static_cast<int>(get("--max", 0)));
  if (a.Values.count("--progress")) g->SetProgress(static_cast<int>(get("--progress", 0)));
  if (a.Values.count("--color")) g->SetColor(static_cast<TColor>(get("--color", 0)));
  if (a.Values.count("--bar-color")) g->SetBarColor(static_cast<TColor>(get("--bar-color", 0)));
  if (a.Values.count("--border-color")) g->SetColorBorder(static_cast<TColor>(get("--border-color", 0)));
  if (a.Values.count("--font-color")) g->Font().SetColor(static_cast<TColor>(get("--font-color", 0)));
  if (a.Values.count("--adv-colors")) {
    g->SetUseAdvColors(true);
    g->SetAdvColorBorder(static_cast<int>(get("--adv-colors", 50)));
  }
  g->SetShowText(!a.Has("--no-text"));
  g->SetTransparent(a.Has("--transparent"));
  QImage img(g->Width(), g->Height(), QImage::Format_ARGB32_Premultiplied);
  // What shows through a transparent gauge: the form behind it.
  img.fill(ToQRgb(host.Color()));
  g->PaintTo(img);
  return img;
}

QImage RenderProcessing(const TArgs& a) {
  TProcessingDisplay form(nullptr);
  auto it = a.Values.find("--progress");
  if (it != a.Values.end()) form.SetProgress(static_cast<int>(it->second));
  return form.Handle()->grab().toImage();
}

// The grid with a table of sample rows, on a shown form so that it has the
// focus and draws its selection in the highlight colours.
QImage RenderGrid(const TArgs& a) {
  auto get = [&](const char* k, long long def) {
    auto it = a.Values.find(k);
    return static_cast<int>(it == a.Values.end() ? def : it->second);
  };
  const int width = get("--width", 420), height = get("--height", 240), rows = get("--rows", 60);
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, width, height);
  auto* grid = new TGridView(&form);
  grid->SetParent(&form);
  grid->SetBounds(0, 0, width, height);
  const struct {
    const char* Caption;
    int Width;
    TAlignment Alignment;
    TSlideBounds Slide;
  } columns[] = {
      {"Field", 110, taLeftJustify, {}}, {"Type", 90, taLeftJustify, {}}, {"Size", 50, taRightJustify, {}},
      {"Key", 40, taCenter, {}},         {"Caption", 140, taLeftJustify, {}},
  };
  const TRect slides[] = {{8, 6, 160, 24}, {168, 6, 300, 24}, {8, 30, 80, 48}, {88, 30, 160, 48}, {8, 54, 300, 72}};
  for (size_t i = 0; i < std::size(columns); ++i) {
    auto* c = grid->Columns().Add<TTextualColumn>();
    c->Header().SetCaption(columns[i].Caption);
    c->SetWidth(columns[i].Width);
    c->SetAlignment(columns[i].Alignment);
    TSlideBounds b;
    b.SetLeft(slides[i].Left);
    b.SetTop(slides[i].Top);
    b.SetWidth(slides[i].Width());
    b.SetHeight(slides[i].Height());
    c->SetSlideBounds(b);
  }
  grid->Columns().Items(0)->Footer().SetCaption(std::to_string(rows) + " rows");
  grid->SetOptions({goHeader, goGrid, goIndicator, goFooter, goSelectFullRow, goMultiSelect});
  if (a.Has("--slides")) grid->SetGridStyle(gsSlides);
  const char* const types[] = {"int(11)", "varchar(40)", "text", "date", "decimal(8,2)"};
  grid->AddRow(rows);
  for (int r = 0; r < rows; ++r) {
    grid->SetCellText(0, r, "field_" + std::to_string(r));
    grid->SetCellText(1, r, types[r % 5]);
    grid->SetCellText(2, r, std::to_string(4 * (r % 5 + 1)));
    grid->SetCellText(3, r, r % 7 == 0 ? "yes" : "");
    grid->SetCellText(4, r, "Field number " + std::to_string(r));
  }
  form.Show();
  grid->SetFocus();
  QElapsedTimer t;
  t.start();
  while (!grid->Focused() && t.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  grid->VertScrollBar()->SetPosition(get("--top", 0));
  grid->HorzScrollBar()->SetPosition(get("--left", 0));
  const int col = get("--col", 0), row = get("--row", 0);
  if (a.Values.count("--anchor")) {
    grid->SelectCell(col, get("--anchor", 0), {});
    grid->SelectCell(col, row, {ssShift});
  } else {
    grid->SelectCell(col, row, {});
  }
  QCoreApplication::processEvents();
  return grid->Handle()->grab().toImage();
}

QImage RenderAbout() {
  TYztAbout about(nullptr);
  about.PrepareSplash();
  about.Show();
  QCoreApplication::processEvents();
  return about.Handle()->grab().toImage();
}

// The table named in the selected tables, chosen as a click would.
bool ChooseTable(TMainForm& form, const std::string& name) {
  TTreeView* tree = form.SelectTablePanel->TreeSelectedTable;
  for (TTreeNode* db = tree->Items().GetFirstNode(); db; db = db->getNextSibling())
    for (TTreeNode* t = db->GetFirstChild(); t; t = t->getNextSibling())
      if (t->Text() == name) {
        tree->SetSelected(t);
        return true;
      }
  return false;
}

// The column's row in the column grid, chosen as a click would.
bool ChooseColumn(TMainForm& form, const std::string& name) {
  for (int row = 0; row < form.TableInfo->RowCount(); ++row)
    if (form.TableInfo->GetCellText(1, row) == name) {
      form.TableInfo->SelectRow(row);
      return true;
    }
  return false;
}

// Started in a folder of its own, with settings that connect nowhere.
QImage RenderMainWindow(const TArgs& a) {
  const QString project =
      a.Texts.count("--project") ? QFileInfo(ToQString(a.Texts.at("--project"))).absoluteFilePath() : QString();
  const QString folder = QDir::temp().filePath("qf-render-" + QString::number(QCoreApplication::applicationPid()));
  QDir().mkpath(folder);
  const QString old = QDir::currentPath();
  QDir::setCurrent(folder);
  QFile settings(QDir(folder).filePath("tyvox.ini"));
  if (settings.open(QIODevice::WriteOnly))
    settings.write("<Application_Settings><Auto_connect value=\"0\"/><Auto_load_last_Project value=\"0\"/>"
                   "</Application_Settings>");
  settings.close();
  QImage image;
  {
    TMainForm form(nullptr);
    if (!project.isEmpty()) form.Arguments = {FromQString(project)};
    form.AfterConstruction();
    form.Show();
    if (a.Texts.count("--table") && !ChooseTable(form, a.Texts.at("--table")))
      std::fprintf(stderr, "render_control: the project has no table %s\n", a.Texts.at("--table").c_str());
    if (a.Texts.count("--column") && !ChooseColumn(form, a.Texts.at("--column")))
      std::fprintf(stderr, "render_control: the table has no column %s\n", a.Texts.at("--column").c_str());
    if (a.Values.count("--page")) form.SubPageControl->SetActivePageIndex(static_cast<int>(a.Values.at("--page")));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    image = form.Handle()->grab().toImage();
  }
  QDir::setCurrent(old);
  QDir(folder).removeRecursively();
  return image;
}

QImage RenderGridViewScene(const TArgs& a) {
  TGridViewScene scene;
  if (a.Values.count("--width")) scene.Width = static_cast<int>(a.Values.at("--width"));
  if (a.Values.count("--height")) scene.Height = static_cast<int>(a.Values.at("--height"));
  if (a.Values.count("--header-style")) scene.HeaderStyle = static_cast<int>(a.Values.at("--header-style"));
  scene.Editor = a.Has("--edit");
  scene.Popup = a.Has("--popup");
  scene.Drag = a.Has("--drag");
  return RenderGridView(scene);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "flat") return RenderFlat(argc, argv);
  if (argc >= 2 && IsPaintedKind(argv[1])) return RenderPainted(argc, argv);
  TArgs args;
  if (const auto error = Parse(argc, argv, args)) return Usage(error->c_str());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  const QImage img = args.Kind == "gauge"        ? RenderGauge(args)
                     : args.Kind == "processing" ? RenderProcessing(args)
                     : args.Kind == "gridview"   ? RenderGridViewScene(args)
                     : args.Kind == "about"      ? RenderAbout()
                     : args.Kind == "mainwindow" ? RenderMainWindow(args)
                                                 : RenderGrid(args);
  if (!img.save(ToQString(args.Out), "PNG")) {
    std::fprintf(stderr, "render_control: cannot write %s\n", args.Out.c_str());
    return 1;
  }
  return 0;
}
