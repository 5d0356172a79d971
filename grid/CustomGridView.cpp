#include "grid/CustomGridView.h"

#include "grid/ColumnClasses.h"
#include "grid/ColumnDragBox.h"
#include "grid/Displays.h"
#include "ui/Forms.h"
#include "ui/Resources.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr unsigned kSearchInterval = 500;
// A press in the header must move further than this before a column drag starts.
constexpr int kDragThreshold = 3;

/** Makes the editors, cell painters and click handlers the columns name. */
class TGridElementFactory : public IColumnElementFactory {
public:
  std::unique_ptr<ICellEditor> CreateEditor(TCellEditorClass Class, TCustomColumn&) override {
    switch (Class) {
      case ecTextualEditor: return std::make_unique<TTextualEditor>(nullptr);
      case ecPopupEditor: return std::make_unique<TPopupEditor>(nullptr);
      case ecComboBoxEditor: return std::make_unique<TComboBoxEditor>(nullptr);
      default: return nullptr;
    }
  }
  std::unique_ptr<TColumnDisplay> CreateDisplay(TColumnDisplayClass Class, TCustomColumn& Column) override {
    switch (Class) {
      case dcTextualColumnDisplay: return std::make_unique<TTextualColumnDisplay>(&Column);
      case dcComboBoxColumnDisplay: return std::make_unique<TComboBoxColumnDisplay>(&Column);
      case dcCheckBoxColumnDisplay: return std::make_unique<TCheckBoxColumnDisplay>(&Column);
      case dcImageColumnDisplay: return std::make_unique<TImageColumnDisplay>(&Column);
      default: return nullptr;
    }
  }
  std::unique_ptr<TColumnPlay> CreatePlay(TColumnPlayClass Class, TCustomColumn& Column) override {
    if (Class == pcCheckBoxColumnPlay) return std::make_unique<TCheckBoxColumnPlay>(&Column);
    return nullptr;
  }
};

/** Two bars with an arrow head beyond each; Vertical turns it by a right angle. */
void DrawSplit(TCanvas* c, bool vertical) {
  c->Brush.Color = clBlack;
  auto at = [vertical](int x, int y) { return vertical ? TPoint{y, x} : TPoint{x, y}; };
  auto fill = [&](int x1, int y1, int x2, int y2) {
    const TPoint a = at(x1, y1), b = at(x2, y2);
    c->FillRect({std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)});
  };
  fill(14, 8, 15, 25);
  fill(17, 8, 18, 25);
  fill(8, 16, 14, 17);
  fill(18, 16, 24, 17);
  c->Polygon({at(4, 16), at(9, 11), at(9, 21)});
  c->Polygon({at(28, 16), at(23, 11), at(23, 21)});
}

std::string Utf8Of(TKeyChar key) {
  std::string s;
  const auto c = static_cast<std::uint32_t>(key);
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

/** Only the letters a-z change: the search ignores their case and no other. */
std::string UpperAscii(std::string s) {
  for (char& ch : s)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return s;
}

}  // namespace

void RegisterGridCursors() {
  static const bool drawn = [] {
    RegisterResource("HORZSPLIT", CursorDrawer([](TCanvas* c) { DrawSplit(c, false); }, {16, 16}));
    RegisterResource("VERTSPLIT", CursorDrawer([](TCanvas* c) { DrawSplit(c, true); }, {16, 16}));
    RegisterResource("COLUMNNODRAG", CursorDrawer(
                                         [](TCanvas* c) {
                                           c->Pen.Width = 3;
                                           c->Brush.Style = bsClear;
                                           c->Ellipse(7, 7, 26, 26);
                                           c->MoveTo(11, 11);
                                           c->LineTo(22, 22);
                                           c->Pen.Width = 1;
                                         },
                                         {16, 16}));
    RegisterResource("INDICATORSELECT",
                     CursorDrawer(
                         [](TCanvas* c) {
                           c->Brush.Color = clBlack;
                           c->Polygon({{8, 13}, {16, 13}, {16, 8}, {24, 16}, {16, 24}, {16, 19}, {8, 19}});
                         },
                         {24, 16}));
    return true;
  }();
  (void)drawn;
  LoadCursorResource("COLUMNNODRAG", crColumnNoDrag);
  LoadCursorResource("HORZSPLIT", crHorzSplit);
  LoadCursorResource("VERTSPLIT", crVertSplit);
  LoadCursorResource("INDICATORSELECT", crIndicatorSelect);
}

TGridHintWindow::TGridHintWindow(TComponent* AOwner) : THintWindow(AOwner) { SetColor(clInfoBk); }

// ---------------------------------------------------------------- construction

TCustomGridView::TCustomGridView(TComponent* AOwner)
    : TCustomGridViewControl(AOwner), FSignals(std::make_unique<QObject>()) {
  static TGridElementFactory factory;
  if (!ColumnElementFactory()) SetColumnElementFactory(&factory);
  RegisterGridCursors();
  FSearchTimer = std::make_unique<TTimer>(nullptr);
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetInterval(kSearchInterval);
  FSearchTimer->OnTimer = [this](TObject*) {
    FSearchText.clear();
    FSearchTimer->SetEnabled(false);
  };
  FHint = std::make_unique<TGridHintWindow>(nullptr);
  FHint->Hide();
  FDragBox = std::make_unique<TColumnDragBox>(this);
  FDragBox->OnMove = [this](TPoint p) { ColumnDragMove(p); };
  FDragBox->OnDrop = [this](TPoint p) { ColumnDrop(p); };
  FDragBox->OnLost = [this] { CancelColumnDrag(); };
  FDownArrow = std::make_unique<TDragArrow>(2);
  FUpArrow = std::make_unique<TDragArrow>(1);
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, FSignals.get(), [this](Qt::ApplicationState s) {
    if (s != Qt::ApplicationActive) RunGuarded([this] { CancelColumnDrag(); });
  });
}

TCustomGridView::~TCustomGridView() {
  BeginDestruction();
  FSignals.reset();
  EndEdit();
  FDragBox.reset();
  FDownArrow.reset();
  FUpArrow.reset();
  FHint.reset();
  FSearchTimer.reset();
}

void TCustomGridView::ClearEvents() {
  OnBeforeEdit = nullptr;
  OnEdit = nullptr;
  OnAfterEdit = nullptr;
  OnEditAccept = nullptr;
  OnCellClick = nullptr;
  OnHeaderClick = nullptr;
  OnFooterClick = nullptr;
  OnInputAccept = nullptr;
  OnInputAdded = nullptr;
  OnChange = nullptr;
  OnMeasuringRowHeight = nullptr;
  TCustomGridViewControl::ClearEvents();
}

// ---------------------------------------------------------------- editing

void TCustomGridView::AttachEditor(TCellEditor* Editor) {
  if (Editor->Parent() != this) Editor->SetParent(this);
  Editor->OnChange = [this](TObject*) { EditorChanged(); };
  Editor->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { EditorKeyDown(Key, Shift); };
  Editor->OnExit = [this](TObject*) {
    if (!Destroying()) Invalidate();
  };
}

void TCustomGridView::DetachEditor(TCellEditor* Editor) {
  Editor->OnChange = nullptr;
  Editor->OnKeyDown = nullptr;
  Editor->OnExit = nullptr;
}

void TCustomGridView::BeginEdit(int ACol, int ARow, const std::string& InitialText) {
  if (Destroying()) return;
  if (State().Contains(gbEditing) && EditedCell() == TGridCell{ACol, ARow}) return;
  if (ACol < 0 || ACol >= Columns().Count() || ARow < 0 || ARow >= RowCount()) return;
  TCustomColumn* column = Columns().Items(ACol);
  auto* editor = dynamic_cast<TCellEditor*>(column->Editor());
  if (!column->CanEdit() || !editor) return;
  bool accept = true;
  if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, accept);
  if (!accept) return;
  if (FActiveEditor) {
    CommitEdit();
    EndEdit();
  }
  FActiveEditor = editor;
  SetStateBit(gbEditing, true);
  // The editor starts on the cell's value; a typed character comes last, so
  // that choosing the cell's item while preparing does not undo it.
  const std::string cellText = GetCellText(ACol, ARow);
  editor->SetText(cellText);
  column->PrepareEditor(cellText);
  if (!InitialText.empty()) editor->TypeText(InitialText);
  AttachEditor(editor);
  editor->SetColor(GetCellColor(ACol, ARow));
  editor->SetFont(column->Font());
  SetEditedCell({ACol, ARow});
  PlaceEditor();
  // A typed first character is kept: the next one goes after it.
  if (!InitialText.empty())
    editor->MoveEnd();
  else if (column->Options().Contains(coEditorAutoSelect))
    editor->SelectAllText();
}

void TCustomGridView::BeginInputEdit(int Column, const std::string& InitialText) {
  if (Destroying() || Column < 0 || Column >= Columns().Count()) return;
  SetInputRowFocused(true);
  SelectCell(Column, CurrentRow(), {});
  if (FActiveEditor) {
    CommitEdit();
    EndEdit();
  }
  TCustomColumn* column = Columns().Items(Column);
  auto* editor = dynamic_cast<TCellEditor*>(column->Editor());
  if (!column->Options().Contains(coCanInput) || !editor) return;
  FActiveEditor = editor;
  SetStateBit(gbInputEditing, true);
  column->PrepareEditor(column->InputValue());
  editor->SetText(column->InputValue());
  if (!InitialText.empty()) editor->TypeText(InitialText);
  AttachEditor(editor);
  editor->SetColor(Color());
  editor->SetFont(column->Font());
  SetInputColumn(Column);
  FInputEdited = !InitialText.empty();
  SetEditedCell({});
  PlaceEditor();
  if (!InitialText.empty())
    editor->MoveEnd();
  else if (column->Options().Contains(coEditorAutoSelect))
    editor->SelectAllText();
}

bool TCustomGridView::CommitEdit() {
  if (Destroying() || !FActiveEditor) return true;
  if (State().Contains(gbEditing)) {
    const TGridCell cell = EditedCell();
    // A row that went away while its editor was open is not written.
    if (RowCount() == 0 || cell.Row < 0 || cell.Row >= RowCount()) return false;
    const std::string text = FActiveEditor->Text();
    if (text == GetCellText(cell.Col, cell.Row)) return false;
    bool accept = true;
    if (OnEditAccept) OnEditAccept(this, cell.Col, cell.Row, text, accept);
    if (!accept) return false;
    SetCellText(cell.Col, cell.Row, text);
    if (OnAfterEdit) OnAfterEdit(this, cell.Col, cell.Row, text);
    return true;
  }
  if (State().Contains(gbInputEditing) && InputColumn() >= 0 && InputColumn() < Columns().Count()) {
    Columns().Items(InputColumn())->SetInputValue(FActiveEditor->Text());
    FInputEdited = false;
  }
  return true;
}

void TCustomGridView::EndEdit() {
  if (TCellEditor* editor = FActiveEditor) {
    DetachEditor(editor);
    // The focus stays in the grid rather than wander off with the hidden editor.
    if (!Destroying() && editor->Focused() && CanFocus()) SetFocus();
    editor->Hide();
    if (!Destroying()) {
      if (State().Contains(gbEditing)) InvalidateCell(EditedCell().Col, EditedCell().Row);
      if (State().Contains(gbInputEditing) && InputColumn() >= 0 && InputColumn() < Columns().Count())
        InvalidateColumnPart(*Columns().Items(InputColumn()), gpInputRow);
    }
    Canvas()->ResetClipRect();
  }
  FInputEdited = false;
  FActiveEditor = nullptr;
  TCustomGridViewControl::EndEdit();
}

void TCustomGridView::AcceptInput() {
  if (Destroying()) return;
  bool accept = true;
  if (OnInputAccept) OnInputAccept(this, accept);
  if (!accept) return;
  AddRow(1);
  const int row = RowCount() - 1;
  for (int i = 0; i < Columns().Count(); ++i) {
    TCustomColumn* column = Columns().Items(i);
    const std::string value = column->InputValue().empty() ? column->DefaultValue() : column->InputValue();
    if (!value.empty()) SetCellText(i, row, value);
    column->SetInputValue(column->DefaultValue());
  }
  if (OnInputAdded) OnInputAdded(this);
}

void TCustomGridView::PlaceEditor() {
  if (!FActiveEditor || Destroying()) return;
  TRect r;
  if (State().Contains(gbEditing)) {
    r = GetCellRect(EditedCell().Col, EditedCell().Row);
    if (r.Top < DataRect().Top) {
      FActiveEditor->Hide();
      return;
    }
  } else if (State().Contains(gbInputEditing)) {
    r = GetCellRect(InputColumn(), 0, gpInputRow);
  } else {
    return;
  }
  InflateRect(r, -1, -1);
  r.Left = std::max({r.Left, 0, DataRect().Left});
  FActiveEditor->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
  FActiveEditor->Show();
  if (FActiveEditor->CanFocus()) FActiveEditor->SetFocus();
}

bool TCustomGridView::EditorHasFocus() const {
  return FActiveEditor && FActiveEditor->Visible() && FActiveEditor->Focused();
}

void TCustomGridView::EditorChanged() {
  if (Destroying() || !FActiveEditor) return;
  const std::string text = FActiveEditor->Text();
  if (State().Contains(gbInputEditing)) {
    FInputEdited = true;
    if (OnEdit) OnEdit(this, -1, -1, text);
  } else if (OnEdit) {
    OnEdit(this, EditedCell().Col, EditedCell().Row, text);
  }
}

void TCustomGridView::EditorKeyDown(WORD& Key, TShiftState) {
  if (Destroying() || !FActiveEditor) return;
  if (Key == VK_RETURN) {
    Key = 0;
    if (State().Contains(gbEditing)) {
      CommitEdit();
      EndEdit();
      if (CanFocus()) SetFocus();
      MoveBySelectionDirection();
    } else if (State().Contains(gbInputEditing)) {
      TCellEditor* editor = FActiveEditor;
      TCustomColumn* column = Columns().Items(InputColumn());
      CommitEdit();
      editor->Hide();
      AcceptInput();
      // The input row stays in editing, with the column's value after the new row.
      DetachEditor(editor);
      editor->SetText(column->InputValue());
      AttachEditor(editor);
      FInputEdited = false;
      PlaceEditor();
      if (column->Options().Contains(coEditorAutoSelect)) editor->SelectAllText();
    }
  } else if (Key == VK_ESCAPE) {
    Key = 0;
    EndEdit();
    if (CanFocus()) SetFocus();
  }
}

void TCustomGridView::CloseEditorCommitting() {
  if (!FActiveEditor) return;
  CommitEdit();
  EndEdit();
}

bool TCustomGridView::PreparePlay(int ACol, int ARow, const TRect& CellRect) {
  bool accept = true;
  if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, accept);
  if (!accept) return false;
  TColumnPlay* play = Columns().Items(ACol)->Play();
  if (!play) return false;
  play->Col = ACol;
  play->Row = ARow;
  play->OnClick = [this](TColumnPlay& sender) { PlayClicked(sender); };
  LoadPlayValue(*play);
  play->CellRect = CellRect;
  return true;
}

// ---------------------------------------------------------------- where things are

TGridPart TCustomGridView::HitTest(TPoint P) const {
  if (GridStyle() == gsSlides) return gpDataArea;
  auto inShrunk = [&](TGridPart part) {
    TRect r = GetPartRect(part);
    return PartShown(part) && TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}.Contains(P);
  };
  if (inShrunk(gpHeader)) return gpHeader;
  if (inShrunk(gpInputRow)) return gpInputRow;
  if (inShrunk(gpDataArea)) return gpDataArea;
  if (PartShown(gpFooter) && GetPartRect(gpFooter).Contains(P)) return gpFooter;
  if (PartShown(gpIndicator) && GetPartRect(gpIndicator).Contains(P)) return gpIndicator;
  return gpNone;
}

bool TCustomGridView::InHeader(TPoint P) const {
  return GridStyle() == gsReport && PartShown(gpHeader) && P.Y >= 0 && P.Y < HeaderSize() &&
         P.X >= IndicatorWidth() && P.X < ClientWidth();
}

int TCustomGridView::ColumnBorderAt(int X) const {
  const int position = LeftPosition();
  for (int i = 0; i < Columns().DisplayCount(); ++i) {
    const TCustomColumn* c = Columns().DisplayItems(i);
    if (!c->Visible() || c->Options().Contains(coFixedSize)) continue;
    const int edge = c->Left() - position + c->Width();
    if (X >= edge - 3 && X <= edge + 2) return c->Index();
  }
  return -1;
}

int TCustomGridView::RowBorderAt(int Y) const {
  const TRect data = DataRect();
  const int rows = RowCount();
  for (int r = TopRow(); r < rows; ++r) {
    const int top = RowTop(r);
    if (top >= data.Bottom) break;
    const int edge = top + RowHeightAt(r);
    if (Y >= edge - 2 && Y <= edge + 1) return r;
  }
  return -1;
}

int TCustomGridView::NeighbourColumn(int Direction) const {
  const int at = CurrentColumn() >= 0 && CurrentColumn() < Columns().Count()
                     ? Columns().DisplayIndexOf(Columns().Items(CurrentColumn()))
                     : -1;
  if (at < 0) return -1;
  for (int i = at + Direction; i >= 0 && i < Columns().DisplayCount(); i += Direction)
    if (const TCustomColumn* c = Columns().DisplayItems(i); c->Visible()) return c->Index();
  return -1;
}

// ---------------------------------------------------------------- keys

void TCustomGridView::KeyDown(WORD& Key, TShiftState Shift) {
  // A drop-down cell opens from the keyboard as its editor would: the
  // editor comes up on the cell with its list open.
  if (!Destroying() && IsDropDownKey(Key, Shift) && DropDownCurrentCell()) {
    Key = 0;
    return;
  }
  const int rows = RowCount(), current = CurrentRow(), column = CurrentColumn();
  if (!Destroying() && Columns().Count() > 0) {
    const int top = TopRow(), visible = VisibleRowCount();
    TControlScrollBar* bar = VertScrollBar();
    switch (Key) {
      case VK_PRIOR:
        if (rows == 0) break;
        if (current > top) {
          SelectCell(column, top, Shift);
        } else {
          const int row = std::max(0, current - visible);
          SelectCell(column, row, Shift);
          bar->SetPosition(row);
        }
        break;
      case VK_NEXT:
        if (rows == 0) break;
        if (rows < visible) {
          SelectCell(column, rows - 1, Shift);
        } else if (current < top + visible - 1) {
          SelectCell(column, std::min(top + visible - 1, rows - 1), Shift);
        } else {
          SelectCell(column, std::min(current + visible, rows - 1), Shift);
          bar->SetPosition(top + visible);
        }
        break;
      case VK_END:
        if (rows == 0) break;
        bar->SetPosition(bar->Max());
        SelectCell(column, rows - 1, Shift);
        break;
      case VK_HOME:
        if (rows == 0) break;
        bar->SetPosition(0);
        SelectCell(column, 0, Shift);
        break;
      case VK_LEFT:
      case VK_RIGHT:
        if (const int next = NeighbourColumn(Key == VK_LEFT ? -1 : 1); next >= 0) SelectCell(next, current, {});
        break;
      case VK_UP:
        if (current > 0 && !InputRowFocused()) {
          if (current <= top) bar->LineUp();
          SelectCell(column, current - 1, Shift);
        } else if (current == 0 && !InputRowFocused() && Options().Contains(goInput) && GridStyle() == gsReport) {
          SetInputRowFocused(true);
        }
        break;
      case VK_DOWN:
        if (InputRowFocused()) {
          // Out of the input row onto the first row, however many rows there are.
          if (rows > 0) {
            SetInputRowFocused(false);
            SelectCell(column, 0, {});
          }
        } else if (current + 1 < rows) {
          if (current > top + visible - 1) bar->LineDown();
          if (RowTop(current + 1) + RowHeightAt(current + 1) > DataRect().Bottom) bar->LineDown();
          SelectCell(column, current + 1, Shift);
        }
        break;
      default: break;
    }
  }
  TCustomGridViewControl::KeyDown(Key, Shift);
}

bool TCustomGridView::DropDownCurrentCell() {
  const int col = CurrentColumn();
  if (col < 0 || col >= Columns().Count()) return false;
  auto* editor = dynamic_cast<TPopupEditor*>(Columns().Items(col)->Editor());
  if (!editor) return false;
  if (InputRowFocused())
    BeginInputEdit(col);
  else
    BeginEdit(col, CurrentRow());
  if (FActiveEditor != editor || !editor->Visible()) return false;
  editor->SetDroppedDown(true);
  return true;
}

void TCustomGridView::MoveBySelectionDirection() {
  switch (SelectionMoveDirection()) {
    case mdUp: SelectRow(CurrentRow() - 1); break;
    case mdDown: SelectRow(CurrentRow() + 1); break;
    case mdLeft:
    case mdRight:
      if (const int next = NeighbourColumn(SelectionMoveDirection() == mdLeft ? -1 : 1); next >= 0)
        SelectCell(next, CurrentRow(), {});
      break;
    case mdNone: break;
  }
}

void TCustomGridView::KeyPress(TKeyChar& Key) {
  TCustomGridViewControl::KeyPress(Key);
  if (Key == 0 || Destroying()) return;
  if (Key == 27) return;
  if (Key == U'\r') {
    if (FWantReturns)
      MoveBySelectionDirection();
    else
      Key = 0;
    return;
  }
  if (CurrentColumn() < 0 || CurrentColumn() >= Columns().Count()) return;
  TCustomColumn* column = Columns().Items(CurrentColumn());
  const int row = CurrentRow();
  const bool input = InputRowFocused();
  if (column->Play() && column->CanEdit() && !input && row >= 0 &&
      PreparePlay(CurrentColumn(), row, GetCellRect(CurrentColumn(), row)))
    column->Play()->KeyAction(Key);
  if (Key <= 0xFFFF && column->KeyStartsEditing(static_cast<WORD>(Key))) {
    if (!input)
      BeginEdit(CurrentColumn(), row, Utf8Of(Key));
    else
      BeginInputEdit(CurrentColumn(), Utf8Of(Key));
  }
  if (!input && Key >= 32 && !column->Options().Contains(coEditing) && RowCount() > 0) IncrementalSearch(Key);
}

void TCustomGridView::IncrementalSearch(TKeyChar Key) {
  int searchColumn = -1;
  for (int i = 0; i < Columns().Count() && searchColumn < 0; ++i)
    if (Columns().Items(i)->Options().Contains(coSearchColumn)) searchColumn = i;
  if (searchColumn < 0) return;
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetEnabled(true);
  FSearchText += Utf8Of(Key);
  const std::string wanted = UpperAscii(FSearchText);
  const int rows = RowCount(), current = CurrentRow();
  auto matches = [&](int r) {
    const std::string text = GetCellText(searchColumn, r);
    return text.size() >= wanted.size() && UpperAscii(text.substr(0, wanted.size())) == wanted;
  };
  // From the row after the current one to the last, then from the top round to the current one.
  for (int step = 1; step <= rows; ++step) {
    const int r = (current + step) % rows;
    if (!matches(r)) continue;
    SelectRow(r);
    if (r < TopRow() || r >= TopRow() + VisibleRowCount()) VertScrollBar()->SetPosition(r);
    return;
  }
}

// ---------------------------------------------------------------- mouse

void TCustomGridView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Shift.Contains(ssDouble) || Destroying()) return;
  FLastMousePoint = {X, Y};
  if (!Designing() && CanFocus() && !Focused()) SetFocus();
  FMouseDownCell = {};
  if (Columns().Count() > 0 && (Button == mbLeft || Button == mbRight)) PressAt(Button, Shift, {X, Y});
  TCustomGridViewControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGridView::PressAt(TMouseButton Button, TShiftState Shift, TPoint P) {
  // The right button leaves a multi-selection alone, for a context menu.
  if (Button == mbRight && State().Contains(gbMultiSelect)) return;
  if (InHeader(P)) {
    if (const int border = ColumnBorderAt(P.X); border >= 0) {
      StartColumnResize(border);
      return;
    }
  }
  switch (HitTest(P)) {
    case gpDataArea: PressData(Shift, P); break;
    case gpHeader:
      FPressPoint = P;
      if (const int col = ColumnAt(P.X); col >= 0 && Columns().Items(col)->Options().Contains(coCanClick)) {
        FDragPressed = FPressedColumn = Columns().Items(col);
        SetStateBit(gbHeaderDown, true);
        InvalidateColumnPart(*FPressedColumn, gpHeader);
      }
      break;
    case gpIndicator:
      if (!Options().Contains(goRowResizing)) break;
      if (const int row = RowBorderAt(P.Y); row >= 0)
        StartRowResize(row, P.Y);
      else
        PressData(Shift, P);
      break;
    case gpNone:
      CommitEdit();
      EndEdit();
      break;
    default: break;
  }
}

void TCustomGridView::PressData(TShiftState Shift, TPoint P) {
  if (FActiveEditor) {
    const bool input = State().Contains(gbInputEditing);
    CommitEdit();
    if (input) AcceptInput();
    EndEdit();
  }
  if (GridStyle() == gsReport) SetInputRowFocused(false);
  const TGridCell cell = CellAt(P);
  FMouseDownCell = cell;
  const int rows = RowCount();
  if (rows == 0) return;
  const int row = cell.Row >= 0 && cell.Row < rows ? cell.Row : CurrentRow();
  const int col = cell.Col >= 0 && cell.Col < Columns().Count() ? cell.Col : CurrentColumn();
  SelectCell(col, row, Shift);
}

void TCustomGridView::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomGridViewControl::MouseMove(Shift, X, Y);
  if (Destroying()) return;
  const TPoint p{X, Y};
  FLastMousePoint = p;
  if (FResizeColumn >= 0) {
    MoveColumnResize(X);
    return;
  }
  if (FResizingRow >= 0) {
    MoveRowResize(Y);
    return;
  }
  if (FDragPressed && !State().Contains(gbColumnDragging) && !Options().Contains(goDisableColumnMoving) &&
      (Shift.Contains(ssLeft) || Shift.Contains(ssRight)) && InHeader(p) &&
      (std::abs(X - FPressPoint.X) > kDragThreshold || std::abs(Y - FPressPoint.Y) > kDragThreshold)) {
    StartColumnDrag(p);
    return;
  }
  UpdateHover(p);
}

void TCustomGridView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomGridViewControl::MouseUp(Button, Shift, X, Y);
  if (Destroying()) return;
  FLastMousePoint = {X, Y};
  SetStateBit(gbHeaderDown, false);
  if (FResizeColumn >= 0) {
    EndColumnResize();
    return;
  }
  if (FResizingRow >= 0) {
    EndRowResize();
    return;
  }
  ReleaseAt(Button, {X, Y});
}

void TCustomGridView::ReleaseAt(TMouseButton Button, TPoint P) {
  const TGridCell cell = CellAt(P);
  const bool sameCell = cell == FMouseDownCell && cell.Col >= 0 && cell.Row >= 0 && cell.Row < RowCount();
  if (!Designing() && sameCell && OnCellClick) OnCellClick(this, cell.Col, cell.Row);
  FDragPressed = nullptr;
  TCustomColumn* pressed = nullptr;
  if (FPressedColumn) {
    if (OnHeaderClick) OnHeaderClick(this, FPressedColumn->Index());
    // Null when the handler deleted the column.
    pressed = std::exchange(FPressedColumn, nullptr);
    if (pressed) InvalidateColumnPart(*pressed, gpHeader);
  }
  if (Button != mbLeft) return;
  switch (HitTest(P)) {
    case gpDataArea: {
      if (Designing() || State().Contains(gbMultiSelect) || !sameCell) break;
      TCustomColumn* column = Columns().Items(cell.Col);
      if (column->Play() && column->CanEdit()) {
        const TRect r = GetCellRect(cell.Col, cell.Row);
        if (PreparePlay(cell.Col, cell.Row, r)) column->Play()->MouseClick({P.X - r.Left, P.Y - r.Top});
      } else if (cell.Col == CurrentColumn()) {
        // A click on a column that refused to become current opens nothing.
        BeginEdit(CurrentColumn(), CurrentRow(), "");
      }
      break;
    }
    case gpFooter:
      if (const int col = ColumnAt(P.X); col >= 0 && OnFooterClick) OnFooterClick(this, col);
      break;
    case gpHeader: {
      // Only the header that was pressed sorts by its release.
      const int col = ColumnAt(P.X);
      TCustomColumn* column = col >= 0 ? Columns().Items(col) : nullptr;
      if (!column || column != pressed || !column->Options().Contains(coCanSort)) break;
      if (!column->Sorted())
        column->SetSorted(true);
      else
        column->SetSortKind(column->SortKind() == skDescending ? skAscending : skDescending);
      break;
    }
    case gpInputRow:
      if (const int col = ColumnAt(P.X); col >= 0 && !Designing()) BeginInputEdit(col);
      break;
    default: break;
  }
}

void TCustomGridView::DblClick() {
  if (HitTest(FLastMousePoint) == gpDataArea) TCustomGridViewControl::DblClick();
}

bool TCustomGridView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (State().Contains(gbEditing) || WheelDelta == 0)
    return TCustomGridViewControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  TControlScrollBar* bar = VertScrollBar();
  const bool page = Shift.Contains(ssCtrl);
  FWheel.Turn(WheelDelta, [&](bool up) {
    // OnMouseWheelUp and OnMouseWheelDown may take each step first.
    if (up ? DoMouseWheelUp(Shift, MousePos) : DoMouseWheelDown(Shift, MousePos)) return;
    if (up)
      page ? bar->PageUp() : bar->LineUp();
    else
      page ? bar->PageDown() : bar->LineDown();
  });
  return true;
}

void TCustomGridView::MouseLeave() {
  TCustomGridViewControl::MouseLeave();
  if (Destroying()) return;
  HideGridHint(hkNone);
  FHoverCell = {};
  FLastHeaderHint = FLastFooterHint = -1;
  SetHoverColumn(nullptr);
}

// ---------------------------------------------------------------- focus, scrolling, size

void TCustomGridView::DoEnter() {
  TCustomGridViewControl::DoEnter();
  InvalidatePart(gpIndicator);
}

void TCustomGridView::DoExit() {
  if (!Destroying()) CloseEditorCommitting();
  TCustomGridViewControl::DoExit();
}

void TCustomGridView::ScrollMessage(TScrollBarKind Kind, int Code, int TrackPos) {
  if (!Destroying()) {
    // The editor would be left behind by the scroll: its text is kept first.
    if (Kind == sbHorizontal) {
      CloseEditorCommitting();
    } else {
      if (State().Contains(gbEditing)) CloseEditorCommitting();
      UpdateVertScrollBar();
    }
  }
  TCustomGridViewControl::ScrollMessage(Kind, Code, TrackPos);
}

void TCustomGridView::SizeChanged() {
  TCustomGridViewControl::SizeChanged();
  if (!Destroying() && State().Contains(gbEditing)) CloseEditorCommitting();
}

// ---------------------------------------------------------------- columns going away

void TCustomGridView::ColumnsNotify(TCustomColumn* Column, int Kind) {
  if (Kind == caDeleted || Kind == caCleared) ForgetGoneColumns();
  TCustomGridViewControl::ColumnsNotify(Column, Kind);
}

// Called while a deleted column is out of the collection but not yet freed.
void TCustomGridView::ForgetGoneColumns() {
  auto gone = [this](const TCustomColumn* c) { return c && Columns().IndexOf(c) < 0; };
  if (gone(FDragPressed) || gone(FDragBox->Column)) CancelColumnDrag();
  if (gone(FDragBox->Column)) FDragBox->Column = nullptr;
  if (gone(FPressedColumn)) FPressedColumn = nullptr;
  if (gone(FDropTarget)) FDropTarget = nullptr;
  if (gone(FHoverColumn)) FHoverColumn = nullptr;
  // A resize holds its column by index, which no longer names it.
  if (FResizeColumn >= 0) {
    InvertColumnLine(FLeftLine);
    InvertColumnLine(FRightLine);
    FResizeColumn = -1;
    SetStateBit(gbColumnResizing, false);
  }
}

// ---------------------------------------------------------------- column and row resizing

void TCustomGridView::InvertColumnLine(int X) { InvertRect({X, 0, X + 1, ClientHeight()}); }

void TCustomGridView::StartColumnResize(int ACol) {
  const TCustomColumn* c = Columns().Items(ACol);
  const int left = c->Left() - LeftPosition();
  FResizeColumn = ACol;
  FResizeDelta = 0;
  FLeftLine = left - (c->VisibleIndex() == 0 ? 0 : 1);
  FRightLine = left + c->Width() - 1;
  InvertColumnLine(FLeftLine);
  InvertColumnLine(FRightLine);
  SetStateBit(gbColumnResizing, true);
  HideGridHint(hkNone);
}

void TCustomGridView::MoveColumnResize(int X) {
  const TCustomColumn* c = Columns().Items(FResizeColumn);
  InvertColumnLine(FRightLine);
  FResizeDelta = X - (c->Left() + c->Width()) + LeftPosition();
  if (c->Width() + FResizeDelta < MinColumnWidth) FResizeDelta = MinColumnWidth - c->Width();
  FRightLine = c->Left() + c->Width() + FResizeDelta - 1 - LeftPosition();
  InvertColumnLine(FRightLine);
}

void TCustomGridView::EndColumnResize() {
  TCustomColumn* c = Columns().Items(FResizeColumn);
  FResizeColumn = -1;
  SetStateBit(gbColumnResizing, false);
  InvertColumnLine(FLeftLine);
  InvertColumnLine(FRightLine);
  SetHoverColumn(nullptr);
  c->SetWidth(c->Width() + FResizeDelta);
}

void TCustomGridView::StartRowResize(int ARow, int Y) {
  FResizingRow = ARow;
  FRowLine = std::max(Y, RowTop(ARow) + 8);
  InvertRect({0, FRowLine, ClientWidth(), FRowLine + 1});
  HideGridHint(hkNone);
}

void TCustomGridView::MoveRowResize(int Y) {
  InvertRect({0, FRowLine, ClientWidth(), FRowLine + 1});
  FRowLine = std::max(Y, RowTop(FResizingRow) + 8);
  InvertRect({0, FRowLine, ClientWidth(), FRowLine + 1});
}

void TCustomGridView::EndRowResize() {
  const int row = FResizingRow;
  FResizingRow = -1;
  InvertRect({0, FRowLine, ClientWidth(), FRowLine + 1});
  SetRowHeight(row, FRowLine - RowTop(row));
}

// ---------------------------------------------------------------- column dragging

void TCustomGridView::StartColumnDrag(TPoint) {
  TCustomColumn* c = FDragPressed;
  SetStateBit(gbColumnDragging, true);
  HideGridHint(hkNone);
  FDragBox->Column = c;
  FDragBox->SetFont(Font());
  const TPoint s = ClientToScreen({c->Left() - LeftPosition(), 0});
  FDragBox->FloatOver(this);
  FDragBox->SetBounds(s.X, s.Y, c->Width(), HeaderSize());
  // The box holds the mouse from here on; the grid lets it go.
  SetMouseCapture(false);
  FDragBox->StartDrag();
}

void TCustomGridView::ColumnDragMove(TPoint ScreenPoint) {
  if (Destroying()) return;
  const TPoint p = ScreenToClient(ScreenPoint);
  const int target = ColumnAt(p.X);
  FDropTarget = target >= 0 ? Columns().Items(target) : nullptr;
  const TRect zone{0, 0, std::min(GetPartRect(gpHeader).Right, ClientWidth()), DataRect().Top};
  if (zone.Contains(p) && FDropTarget) {
    const TPoint s = ClientToScreen({FDropTarget->Left() - LeftPosition(), 0});
    for (TDragArrow* arrow : {FDownArrow.get(), FUpArrow.get()}) arrow->FloatOver(this);
    FDownArrow->SetBounds(s.X - 4, s.Y - 12, 9, 9);
    FUpArrow->SetBounds(s.X - 4, s.Y + HeaderSize() - 1, 9, 9);
    FDownArrow->Show();
    FUpArrow->Show();
    Screen->SetCursor(crDefault);
  } else {
    FDownArrow->Hide();
    FUpArrow->Hide();
    Screen->SetCursor(crColumnNoDrag);
  }
}

void TCustomGridView::ColumnDrop(TPoint ScreenPoint) {
  if (Destroying()) return;
  Screen->SetCursor(crDefault);
  TCustomColumn* dragged = FDragPressed;
  if (dragged) {
    const TPoint p = ScreenToClient(ScreenPoint);
    const TRect zone{0, 0, GetPartRect(gpHeader).Right, 2 * HeaderSize()};
    if (zone.Contains(p)) {
      if (const int target = ColumnAt(p.X); target >= 0) {
        const int from = Columns().DisplayIndexOf(dragged);
        const int to = Columns().DisplayIndexOf(Columns().Items(target));
        // From the right it takes the target's place; from the left it goes just before it.
        const int place = from > to ? to : to - 1;
        if (from != to && place != from) Columns().MoveDisplay(from, place);
      }
    } else if (Options().Contains(goCanHideColumn)) {
      dragged->SetVisible(false);
    }
    InvalidateColumn(*dragged);
  }
  EndColumnDrag();
}

void TCustomGridView::EndColumnDrag() {
  if (FPressedColumn) InvalidateColumnPart(*FPressedColumn, gpHeader);
  FDragPressed = nullptr;
  FPressPoint = {};
  FPressedColumn = nullptr;
  FDropTarget = nullptr;
  FDownArrow->Hide();
  FUpArrow->Hide();
  SetStateBit(gbColumnDragging, false);
  SetStateBit(gbHeaderDown, false);
}

void TCustomGridView::CancelColumnDrag() {
  if (Destroying() || (!FDragPressed && !State().Contains(gbColumnDragging))) return;
  FMouseDownCell = {};
  FDragBox->StopDrag();
  EndColumnDrag();
  SetGridCursor(crDefault);
  Screen->SetCursor(crDefault);
  InvalidateSelection();
}

// ---------------------------------------------------------------- cursors and hints

void TCustomGridView::SetGridCursor(TCursor Value) {
  if (Cursor() != Value) SetCursor(Value);
}

void TCustomGridView::SetHoverColumn(TCustomColumn* Column) {
  if (Column == FHoverColumn) return;
  TCustomColumn* old = FHoverColumn;
  FHoverColumn = Column;
  if (!StyleDisplay()->TracksHotHeader()) return;
  if (old) InvalidateColumnPart(*old, gpHeader);
  if (Column) InvalidateColumnPart(*Column, gpHeader);
}

void TCustomGridView::ShowGridHint(THintKind Kind, const std::string& Text, TPoint ClientPoint) {
  const TPoint s = ClientToScreen(ClientPoint);
  if (FHint->Visible() && FHint->Kind == Kind && FHint->Caption() == Text && FHint->Left() == s.X &&
      FHint->Top() == s.Y)
    return;
  TRect r = FHint->CalcHintRect(Screen->Width(), Text);
  OffsetRect(r, s.X, s.Y);
  FHint->Kind = Kind;
  FHint->ActivateHint(r, Text);
}

void TCustomGridView::HideGridHint(THintKind Kind) {
  if (Kind != hkNone && FHint->Kind != Kind) return;
  FHint->ReleaseHandle();
  FHint->Kind = hkNone;
}

bool TCustomGridView::CellTextFits(int ACol, int ARow) {
  TCustomColumn* column = Columns().Items(ACol);
  TCanvas* c = Canvas();
  c->Font = column->Font();
  TCellState state;
  if (IsCellSelected(ACol, ARow)) state << csSelected;
  FormatCell(ACol, ARow, state);
  if (state.Contains(csSelected) && AppearanceOptions().Contains(aoBoldTextSelection))
    c->Font.SetStyle(c->Font.Style() | fsBold);
  const TRect r = GetCellRect(ACol, ARow);
  TRect text{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
  if (TColumnDisplay* display = column->Display()) {
    display->CellRect = r;
    text = display->TextRect();
  }
  return c->TextWidth(column->ValueToDisplayText(GetCellText(ACol, ARow))) <= text.Width();
}

void TCustomGridView::UpdateHover(TPoint P) {
  const TGridPart part = HitTest(P);
  const int position = LeftPosition();
  if (part != gpHeader) {
    HideGridHint(hkHeader);
    FLastHeaderHint = -1;
    SetHoverColumn(nullptr);
  }
  if (part != gpFooter) {
    HideGridHint(hkFooter);
    FLastFooterHint = -1;
  }
  if (part != gpDataArea) {
    HideGridHint(hkTextFit);
    HideGridHint(hkCell);
    FHoverCell = {};
  }
  switch (part) {
    case gpHeader: {
      SetGridCursor(ColumnBorderAt(P.X) >= 0 ? crHorzSplit : crDefault);
      const int col = ColumnAt(P.X);
      TCustomColumn* column = col >= 0 ? Columns().Items(col) : nullptr;
      SetHoverColumn(column);
      if (col == FLastHeaderHint) break;
      FLastHeaderHint = col;
      if (column && !column->Header().Hint().empty())
        ShowGridHint(hkHeader, column->Header().Hint(), {column->Left() - position, HeaderSize() + 2});
      else
        HideGridHint(hkNone);
      break;
    }
    case gpFooter: {
      SetGridCursor(crDefault);
      const int col = ColumnAt(P.X);
      if (col == FLastFooterHint) break;
      FLastFooterHint = col;
      TCustomColumn* column = col >= 0 ? Columns().Items(col) : nullptr;
      if (column && !column->Footer().Hint().empty())
        ShowGridHint(hkFooter, column->Footer().Hint(), {column->Left() - position, ClientHeight() + 2});
      else
        HideGridHint(hkNone);
      break;
    }
    case gpIndicator: {
      TCursor cursor = crDefault;
      if (Options().Contains(goRowResizing)) {
        const int rows = RowCount();
        const int bottom = rows > 0 ? RowTop(rows - 1) + RowHeightAt(rows - 1) : DataRect().Top;
        if (RowBorderAt(P.Y) >= 0)
          cursor = crVertSplit;
        else if (P.Y >= DataRect().Top && P.Y < bottom)
          cursor = crIndicatorSelect;
      }
      SetGridCursor(cursor);
      break;
    }
    case gpDataArea: {
      const TGridCell cell = CellAt(P);
      FHoverCell = cell;
      if (cell.Col < 0 || cell.Row < 0 || cell.Row >= RowCount()) {
        SetGridCursor(crDefault);
        HideGridHint(hkNone);
        break;
      }
      if (cell == EditedCell()) {
        HideGridHint(hkNone);
        break;
      }
      const TCustomColumn* column = Columns().Items(cell.Col);
      SetGridCursor(column->Cursor());
      const TRect r = GetCellRect(cell.Col, cell.Row);
      if (column->Options().Contains(coShowTextFitHint) && !CellTextFits(cell.Col, cell.Row)) {
        ShowGridHint(hkTextFit, GetCellText(cell.Col, cell.Row), r.TopLeft());
        break;
      }
      if (FHint->Kind != hkTextFit) {
        if (const std::string hint = GetCellHint(cell.Col, cell.Row); !hint.empty()) {
          ShowGridHint(hkCell, hint, r.TopLeft());
          break;
        }
      }
      HideGridHint(hkNone);
      break;
    }
    default: SetGridCursor(crDefault); break;
  }
}
