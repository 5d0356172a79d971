// render_control: paints one control in a given state into a PNG, for tests
// and for looking at the pictures.
//
//   render_control gauge [options] out.png
//     --progress N --min N --max N --width N --height N
//     --color C --bar-color C --border-color C --font-color C   (TColor: decimal or 0x00BBGGRR)
//     --no-text --transparent --adv-colors PERCENT
//   render_control processing [--progress N] out.png     the whole progress window
//   render_control menu | toolbar | pages | label ...     see RenderPainted.cpp
//
// The gauge sits on a form of the button-face colour, as in the progress
// window, so it takes that colour unless --color says otherwise.

#include "RenderPainted.h"
#include "components/FlatGauge.h"
#include "shell/ProcessingForm.h"
#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
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
               "       render_control processing [--progress N] out.png\n");
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
                               "--color",    "--bar-color",  "--border-color", "--font-color", "--adv-colors"};
const char* const kFlags[] = {"--no-text", "--transparent"};

std::optional<std::string> Parse(int argc, char** argv, TArgs& a) {
  if (argc < 2) return std::string("no control named");
  a.Kind = argv[1];
  if (a.Kind != "gauge" && a.Kind != "processing") return "unknown control \"" + a.Kind + "\"";
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
  if (a.Kind == "processing")
    for (const auto& [k, v] : a.Values)
      if (k != "--progress") return k + " does not apply to the progress window";
  if (a.Kind == "processing" && !a.Flags.empty()) return a.Flags[0] + " does not apply to the progress window";
  const auto w = a.Values.find("--width"), h = a.Values.find("--height");
  if ((w != a.Values.end() && (w->second < 1 || w->second > 10000)) ||
      (h != a.Values.end() && (h->second < 1 || h->second > 10000)))
    return std::string("width and height must lie in 1..10000");
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

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && IsPaintedKind(argv[1])) return RenderPainted(argc, argv);
  TArgs args;
  if (const auto error = Parse(argc, argv, args)) return Usage(error->c_str());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  const QImage img = args.Kind == "gauge" ? RenderGauge(args) : RenderProcessing(args);
  if (!img.save(ToQString(args.Out), "PNG")) {
    std::fprintf(stderr, "render_control: cannot write %s\n", args.Out.c_str());
    return 1;
  }
  return 0;
}
