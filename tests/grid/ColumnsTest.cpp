#include "GridRecorder.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using gridtest::TGridRecorder;

namespace {

TEST(Columns, ClassesChooseKindSortingAndEditing) {
  const struct {
    const char* name;
    std::function<std::unique_ptr<TCustomColumn>()> make;
    std::uint8_t kind;
    TSortType sortType;
    TCellEditorClass editor;
    bool editable;
  } cases[] = {
      {"textual", [] { return std::make_unique<TTextualColumn>(); }, 7, stAlphabetic, ecTextualEditor, true},
      {"popup", [] { return std::make_unique<TPopupColumn>(); }, 7, stAlphabetic, ecPopupEditor, true},
      {"combo", [] { return std::make_unique<TComboBoxColumn>(); }, 7, stAlphabetic, ecComboBoxEditor, true},
      {"check", [] { return std::make_unique<TCheckBoxColumn>(); }, 3, stBoolean, ecNone, true},
      {"image", [] { return std::make_unique<TImageColumn>(); }, 6, stNumeric, ecNone, false},
  };
  for (const auto& c : cases) {
    auto column = c.make();
    EXPECT_EQ(std::tuple(column->Kind(), column->SortType(), column->EditorClass()),
              std::tuple(c.kind, c.sortType, c.editor))
        << c.name;
    // Editing needs coEditing, the capability and Enabled.
    EXPECT_FALSE(column->CanEdit()) << c.name;
    column->SetOptions(TColumnOptions(column->Options()) << coEditing);
    EXPECT_EQ(column->CanEdit(), c.editable) << c.name;
    column->SetEnabled(false);
    EXPECT_FALSE(column->CanEdit()) << c.name;
  }
}

TEST(Columns, SettersReportToTheGridAndTheListeners) {
  TBitmap glyph(2, 2);
  TFont bold;
  bold.SetStyle(fsBold);
  using TSet = std::function<void(TTextualColumn&)>;
  // Each setter of a group, alone, reports the group's kinds to the grid and flags to the listeners.
  const struct {
    std::vector<TSet> sets;
    std::vector<TColumnChange> reports;
    std::vector<int> flags;
    bool repainted;
  } groups[] = {
      {{[](auto& c) { c.SetAlignment(taCenter); }, [](auto& c) { c.SetCursor(crHandPoint); },
        [](auto& c) { c.SetDrawingOptions(doCustom); }, [](auto& c) { c.SetInputCaption("x"); },
        [](auto& c) { c.SetVerticalAlignment(vaTop); }, [&](auto& c) { c.SetFont(bold); },
        [](auto& c) { c.Font().SetSize(20); }, [](auto& c) { c.Header().SetDisplayMode(dmImageOnly); },
        [&](auto& c) { c.Header().SetGlyph(glyph); }, [](auto& c) { c.Footer().SetFormulaKind(fkSum); }},
       {ccAppearance}, {}, false},
      {{[](auto& c) { c.SetColor(clRed); }, [](auto& c) { c.SetOptions({coCanClick}); }},
       {ccAppearance}, {lfColorOrOptions}, false},
      {{[](auto& c) { c.SetSortKind(skDescending); }, [](auto& c) { c.SetSortType(stNumeric); }}, {ccSortOrder}, {},
       false},
      {{[](auto& c) { c.SetSorted(true); }}, {ccSortingOn}, {}, false},
      {{[](auto& c) { c.SetSorted(false); }}, {ccSortingOff}, {}, false},
      {{[](auto& c) { c.SetVisible(false); }}, {ccVisibility}, {}, false},
      {{[](auto& c) { c.SetWidth(50); }}, {ccWidth}, {}, false},
      {{[](auto& c) { c.SetInputValue("v"); }}, {ccInputValue}, {}, false},
      {{[](auto& c) { c.SetPosition(0); }}, {ccPosition}, {}, false},
      {{[](auto& c) { c.Header().SetCaption("H"); }}, {}, {lfNameOrCaption}, true},
      {{[](auto& c) { c.Footer().SetColor(clRed); }}, {}, {}, true},
      {{[](auto& c) { c.SetName("renamed"); }}, {}, {lfNameOrCaption}, false},
      {{[](auto& c) { c.SetDefaultValue("d"); }, [](auto& c) { c.SetDefaultWidth(5); },
        [](auto& c) { c.SetEnabled(false); }, [](auto& c) { c.SetWrapKind(wkNone); },
        [](auto& c) { c.SetTextAfter("("); }, [](auto& c) { c.Header().SetHint("h"); },
        [](auto& c) { c.SlideBounds().SetWidth(9); }},
       {}, {}, false},
  };
  for (size_t group = 0; group < std::size(groups); ++group) {
    const auto& c = groups[group];
    for (size_t i = 0; i < c.sets.size(); ++i) {
      TGridRecorder g;
      auto* column = g.Add<TTextualColumn>("c");
      std::vector<int> flags;
      column->AddChangeListener(&flags, [&](TCustomColumn&, int flag) { flags.push_back(flag); });
      g.TakeReports();
      c.sets[i](*column);
      std::vector<TColumnChange> kinds;
      for (const auto& [name, kind] : g.TakeReports()) kinds.push_back(kind);
      EXPECT_EQ(std::tuple(kinds, flags, !g.Repainted.empty()), std::tuple(c.reports, c.flags, c.repainted))
          << "group " << group << ", setter " << i;
      column->RemoveChangeListener(&flags);
      column->SetColor(clBlue);
      EXPECT_EQ(flags, c.flags) << "group " << group << ", setter " << i << ": removed listener called";
    }
  }

  // A font change clears ParentFont; ParentFont takes the grid's font back.
  TGridRecorder g;
  g.GridFont.SetName("DejaVu Sans");
  auto* column = g.Add<TTextualColumn>("c");
  EXPECT_EQ(column->Font().Name(), "DejaVu Sans");
  column->SetFont(bold);
  EXPECT_FALSE(column->ParentFont());
  g.TakeReports();
  column->SetParentFont(true);
  EXPECT_TRUE(column->ParentFont());
  EXPECT_EQ(column->Font().Style(), 0u);
  EXPECT_TRUE(g.TakeReports().empty());
}

TEST(Columns, WhileLoadingSettersOnlyStore) {
  TGridRecorder g;
  auto* a = g.Add<TTextualColumn>("a");
  auto* b = g.Add<TTextualColumn>("b");
  b->SetOptions({coAutoSize});
  g.TakeReports();
  g.IsLoading = true;
  a->SetWidth(120);
  a->SetVisible(false);
  a->SetPosition(1);
  a->SetSorted(true);
  a->Header().SetCaption("A");
  EXPECT_TRUE(g.TakeReports().empty());
  EXPECT_TRUE(g.Repainted.empty());
  EXPECT_EQ(a->Width(), 120);
  EXPECT_EQ(a->Position(), 1);
  EXPECT_EQ(g.Columns.DisplayItems(0), a) << "no display move while loading";
  EXPECT_EQ(b->Width(), 220) << "no width sharing while loading";

  // Columns read with their positions join the display order by them.
  TGridRecorder h;
  h.IsLoading = true;
  for (int position : {2, 0, 1}) {
    auto column = std::make_unique<TTextualColumn>();
    column->SetName("p" + std::to_string(position));
    column->SetPosition(position);
    h.Columns.Add(std::move(column));
  }
  std::string order;
  for (int i = 0; i < h.Columns.DisplayCount(); ++i) order += h.Columns.DisplayItems(i)->Name();
  EXPECT_EQ(order, "p0p1p2");
  EXPECT_EQ(h.Columns.Items(0)->Name(), "p2");
}

TEST(Columns, SortedAndSearchColumnAreEachOnOneColumn) {
  TGridRecorder g;
  auto* a = g.Add<TTextualColumn>("a");
  auto* b = g.Add<TCheckBoxColumn>("b");
  a->SetSorted(true);
  a->SetOptions(TColumnOptions(a->Options()) << coSearchColumn);
  g.TakeReports();
  b->SetSorted(true);
  EXPECT_FALSE(a->Sorted());
  EXPECT_TRUE(b->Sorted());
  EXPECT_EQ(g.TakeReports(), (std::vector<std::pair<std::string, TColumnChange>>{{"a", ccSortingOff},
                                                                                  {"b", ccSortingOn}}));
  b->SetOptions(TColumnOptions(b->Options()) << coSearchColumn);
  EXPECT_FALSE(a->Options().Contains(coSearchColumn));
  EXPECT_TRUE(b->Options().Contains(coSearchColumn));
  EXPECT_TRUE(a->Options().Contains(coCanSort)) << "only the search flag goes";
}

TEST(Columns, AutoSizeColumnsShareTheFreeWidth) {
  struct TCol {
    int width;
    bool autoSize;
    bool visible = true;
  };
  const struct {
    const char* name;
    bool indicator;
    int clientWidth;
    std::vector<TCol> columns;
    std::function<void(TColumns&)> trigger;  // none: ShareWidth itself
    std::vector<int> widths;
  } cases[] = {
      {"two_autos", false, 300, {{100, true}, {50, true}}, {}, {200, 100}},
      {"indicator", true, 312, {{100, true}, {50, true}}, {}, {200, 100}},
      {"fixed_first", false, 300, {{100, false}, {100, true}, {50, true}}, {}, {100, 133, 67}},
      {"too_narrow", false, 20, {{100, true}, {50, true}}, {}, {13, 8}},
      {"ties_to_even", false, 25, {{10, true}, {10, true}}, {}, {12, 12}},
      {"hidden_keeps_width", false, 300, {{100, true, false}, {100, true}, {50, true}}, {}, {100, 200, 100}},
      {"hiding_shares", false, 300, {{100, false}, {100, true}, {50, true}},
       [](TColumns& c) { c.Items(0)->SetVisible(false); }, {100, 200, 100}},
      {"width_shares_after", false, 300, {{100, false}, {100, true}, {50, true}},
       [](TColumns& c) { c.Items(0)->SetWidth(150); }, {150, 100, 50}},
      {"options_include_column", false, 300, {{100, false}, {50, false}, {50, true}},
       [](TColumns& c) { c.Items(1)->SetOptions({coAutoSize}); }, {100, 100, 100}},
      {"still_auto_no_share", false, 300, {{100, true}, {50, true}},
       [](TColumns& c) { c.Items(0)->SetOptions({coAutoSize, coCanSort}); }, {100, 50}},
  };
  for (const auto& c : cases) {
    TGridRecorder g;
    g.Indicator = c.indicator;
    g.ClientWidth = c.clientWidth;
    g.IsLoading = true;  // set up without sharing
    for (const TCol& col : c.columns) {
      auto* column = g.Add<TTextualColumn>("c");
      column->SetWidth(col.width);
      column->SetVisible(col.visible);
      if (col.autoSize) column->SetOptions({coAutoSize});
    }
    g.IsLoading = false;
    g.Columns.UpdateLeftEdges();
    if (c.trigger)
      c.trigger(g.Columns);
    else
      g.Columns.ShareWidth(nullptr, false);
    std::vector<int> widths;
    for (int i = 0; i < g.Columns.Count(); ++i) widths.push_back(g.Columns.Items(i)->Width());
    EXPECT_EQ(widths, c.widths) << c.name;
  }
}

TEST(Columns, LeftEdgesAndVisibleIndexFollowTheDisplayOrder) {
  TGridRecorder g;
  g.Indicator = true;
  auto* a = g.Add<TTextualColumn>("a");
  auto* b = g.Add<TTextualColumn>("b");
  auto* c = g.Add<TTextualColumn>("c");
  auto edges = [&] {
    std::vector<std::pair<int, int>> out;
    for (auto* column : {a, b, c}) out.emplace_back(column->VisibleIndex(), column->Visible() ? column->Left() : -1);
    return out;
  };
  using Edges = std::vector<std::pair<int, int>>;
  EXPECT_EQ(edges(), (Edges{{0, 12}, {1, 92}, {2, 172}}));
  b->SetVisible(false);
  EXPECT_EQ(edges(), (Edges{{0, 12}, {-1, -1}, {1, 92}}));
  EXPECT_EQ(g.Columns.VisibleCount(), 2);
  EXPECT_EQ(g.Columns.VisibleWidth(), 160);

  g.TakeReports();
  g.Columns.MoveDisplay(2, 0);
  EXPECT_EQ(edges(), (Edges{{1, 92}, {-1, -1}, {0, 12}}));
  EXPECT_EQ((std::vector<int>{a->Position(), b->Position(), c->Position()}), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(g.TakeReports(), (std::vector<std::pair<std::string, TColumnChange>>{{"c", ccPosition}}));
  EXPECT_EQ(g.Columns.Items(0), a) << "creation order stays";

  a->SetPosition(7);
  EXPECT_EQ(a->Position(), 2);
  EXPECT_EQ(g.Columns.DisplayItems(2), a);
  a->SetWidth(3);
  EXPECT_EQ(a->Width(), MinColumnWidth);
  EXPECT_EQ(a->DefaultWidth(), 80);
  g.IsDesigning = true;
  a->SetWidth(90);
  EXPECT_EQ(a->DefaultWidth(), 90);
  EXPECT_THROW(g.Columns.MoveDisplay(0, 3), EListError);
}

TEST(Columns, ColumnsMadeInCodeJoinTheDisplayOrderLast) {
  TGridRecorder g;
  for (const char* name : {"a", "b", "c"}) g.Add<TTextualColumn>(name);
  auto order = [&] {
    std::string s;
    for (int i = 0; i < g.Columns.DisplayCount(); ++i) s += g.Columns.DisplayItems(i)->Name();
    return s;
  };
  g.Columns.MoveDisplay(2, 0);  // numbers the positions c 0, a 1, b 2
  auto* d = g.Add<TTextualColumn>("d");
  EXPECT_EQ(std::tuple(order(), d->Left()), std::tuple(std::string("cabd"), 240));
  // A column that brings a position stands before the first with a greater one.
  auto e = std::make_unique<TTextualColumn>();
  e->SetName("e");
  e->SetPosition(1);
  g.Columns.Add(std::move(e));
  EXPECT_EQ(order(), "caebd");
}

TEST(Columns, AssignCopiesThePublishedProperties) {
  TGridRecorder g;
  auto* source = g.Add<TComboBoxColumn>("source");
  auto* target = g.Add<TComboBoxColumn>("target");
  source->SetAlignment(taRightJustify);
  source->SetColor(clYellow);
  source->SetDefaultValue("dv");
  source->SetWidth(55);
  source->SetVisible(false);
  source->SetSortKind(skDescending);
  source->SetSortType(stNumeric);
  source->SetEnabled(false);
  source->SetDefaultWidth(44);
  source->SetTextAfter("(");
  source->SetTextBefore(")");
  TStringList items;
  items.Add("A");
  source->SetItems(items);
  source->SetDropDownCount(3);
  source->SetStyle(cbsDropDownList);
  source->Header().SetCaption("Head");
  source->Footer().SetCaption("Sum");
  source->Footer().SetFormulaKind(fkSum);
  source->SlideBounds().SetLeft(4);
  source->SlideBounds().SetHeight(6);
  source->SetInputValue("typed");
  target->Assign(*source);
  EXPECT_EQ(std::tuple(target->Alignment(), target->Color(), target->DefaultValue(), target->Width(), target->Visible(),
                       target->SortKind(), target->InputValue(), target->ValueToDisplayText("v")),
            std::tuple(taRightJustify, clYellow, std::string("dv"), 55, false, skDescending, std::string("typed"),
                       std::string("(v)")));
  EXPECT_EQ(std::tuple(target->Items().Lines(), target->DropDownCount(), target->Style()),
            std::tuple(items.Lines(), 3, cbsDropDownList));
  EXPECT_EQ(std::tuple(target->Header().Caption(), target->Footer().Caption(), target->Footer().FormulaKind(),
                       target->SlideBounds().Right(), target->SlideBounds().Bottom()),
            std::tuple(std::string("Head"), std::string("Sum"), fkSum, 4, 6));
  // Not copied.
  EXPECT_EQ(std::tuple(target->SortType(), target->Enabled(), target->DefaultWidth(), target->Name()),
            std::tuple(stAlphabetic, true, 80, std::string("target")));

  // A check-box column takes the common part only.
  auto* check = g.Add<TCheckBoxColumn>("check");
  check->Assign(*source);
  EXPECT_EQ(check->Kind(), 3);
  EXPECT_EQ(check->ValueToDisplayText("v"), "v");
  EXPECT_EQ(check->Header().Caption(), "Head");
}

/** Makes recording editors and painters, as the editor and display units will. */
class TRecordingFactory : public IColumnElementFactory {
public:
  struct TEditor : IComboBoxEditor {
    void SetCellEditing(bool v) override { Log += "editing=" + std::to_string(v) + ";"; }
    void SetOnCloseUp(std::function<void()> v) override { CloseUp = std::move(v); }
    void SetOnSelect(std::function<void()> v) override { Select = std::move(v); }
    void SetItems(const TStringList& v) override { Log += "items=" + std::to_string(v.Count()) + ";"; }
    void SetImages(TImageList* v) override { Log += std::string("images=") + (v ? "set" : "none") + ";"; }
    void SetItemIndex(int v) override { Log += "index=" + std::to_string(v) + ";"; }
    void SetShowPreview(bool v) override { Log += "preview=" + std::to_string(v) + ";"; }
    void SetDropDownCount(int v) override { Log += "count=" + std::to_string(v) + ";"; }
    void SetReadOnly(bool v) override { Log += "readonly=" + std::to_string(v) + ";"; }
    std::string Log;
    std::function<void()> CloseUp, Select;
  };
  struct TDisplay : TColumnDisplay {
    using TColumnDisplay::TColumnDisplay;
    void PaintContent() override {}
  };
  std::unique_ptr<ICellEditor> CreateEditor(TCellEditorClass cls, TCustomColumn&) override {
    Made.push_back("editor" + std::to_string(cls));
    return std::make_unique<TEditor>();
  }
  std::unique_ptr<TColumnDisplay> CreateDisplay(TColumnDisplayClass cls, TCustomColumn& column) override {
    Made.push_back("display" + std::to_string(cls));
    return std::make_unique<TDisplay>(&column);
  }
  std::unique_ptr<TColumnPlay> CreatePlay(TColumnPlayClass cls, TCustomColumn& column) override {
    Made.push_back("play" + std::to_string(cls));
    return std::make_unique<TColumnPlay>(&column);
  }
  std::vector<std::string> Made;
};

TEST(Columns, ElementsComeFromTheRegisteredFactory) {
  TGridRecorder g;
  EXPECT_EQ(g.Add<TComboBoxColumn>("bare")->Editor(), nullptr) << "no factory, no elements";

  TRecordingFactory factory;
  IColumnElementFactory* previous = SetColumnElementFactory(&factory);
  auto* combo = g.Add<TComboBoxColumn>("combo");
  auto* check = g.Add<TCheckBoxColumn>("check");
  auto* image = g.Add<TImageColumn>("image");
  SetColumnElementFactory(previous);
  EXPECT_EQ(factory.Made, (std::vector<std::string>{"editor3", "display2", "display3", "play1", "display4"}));
  EXPECT_EQ(check->Editor(), nullptr);
  EXPECT_EQ(check->Play()->Column(), check);
  EXPECT_EQ(image->Display()->Column(), image);

  TStringList items;
  for (const char* item : {"A", "B", "C"}) items.Add(item);
  combo->SetItems(items);
  combo->SetDisplayMode(dmTextAndImage);
  combo->SetStyle(cbsDropDownList);
  auto* editor = dynamic_cast<TRecordingFactory::TEditor*>(combo->Editor());
  ASSERT_NE(editor, nullptr);
  combo->PrepareEditor("B");
  EXPECT_EQ(editor->Log, "editing=1;items=3;images=none;index=1;preview=1;count=8;readonly=1;");
  editor->Log.clear();
  combo->SetDisplayMode(dmTextOnly);
  combo->SetStyle(cbsDropDown);
  combo->PrepareEditor("D");
  EXPECT_EQ(editor->Log, "editing=1;items=3;images=none;index=-1;preview=0;count=8;readonly=0;");

  // The pop-up editor's close-up and select reach the column's events.
  std::vector<std::string> events;
  combo->OnCloseUp = [&](TCustomColumn& sender) { events.push_back("closeup " + sender.Name()); };
  combo->OnSelect = [&](TCustomColumn& sender) { events.push_back("select " + sender.Name()); };
  editor->Select();
  editor->CloseUp();
  EXPECT_EQ(events, (std::vector<std::string>{"select combo", "closeup combo"}));
}

TEST(Columns, TextualKeysAndGlyph) {
  TTextualColumn text;
  EXPECT_FALSE(text.KeyStartsEditing(VK_SPACE));
  EXPECT_FALSE(TCheckBoxColumn().KeyStartsEditing('A'));

  TBitmap glyph(3, 3);
  glyph.Canvas()->SetPixels(0, 2, clRed);
  text.Header().SetGlyph(glyph);
  EXPECT_TRUE(text.Header().Glyph().Transparent());
  EXPECT_EQ(text.Header().Glyph().TransparentColor(), clRed);
}

}  // namespace
