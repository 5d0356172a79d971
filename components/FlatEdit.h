#pragma once
/** TCustomFlatEdit and TFlatEdit: Qt's line edit inside a flat three-pixel
 *  frame; TFlatEditFrame, the frame and colours they share with the memo. */

#include "components/FlatUtils.h"
#include "ui/StdCtrls.h"

/** The flat look of an edit or a memo over TBase: a one-pixel ColorBorder
 *  frame outside two pixels and a background in ColorFlat, both turning
 *  ColorFocused while the control has the focus, or while it is hovered
 *  and no control of its own kind has the focus. ColorFlat follows the
 *  parent's Color while this class's own ParentColor is set (the class
 *  library's ParentColor stays off: Color is the look's background). */
template <class TBase>
class TFlatEditFrame : public TBase {
public:
  explicit TFlatEditFrame(TComponent* AOwner);

  TColor ColorFlat() const { return FColorFlat; }
  /** Also turns ParentColor off. */
  void SetColorFlat(TColor value);
  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor value);
  /** This class's own: ColorFlat follows the parent's Color. */
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TGradColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TGradColors value);
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TGradColors value);
  bool UseAdvColors() const { return FUseAdvColors; }
  /** Also sets ParentColor to the same value. */
  void SetUseAdvColors(bool value);

  bool Hovered() const { return FHovered; }
  /** The frame and the background show the focused look. */
  bool FocusedLook() const { return FLook; }

protected:
  /** Whether control is of this control's own kind: a hovered control keeps
   *  its flat look while one of its kind has the focus. */
  virtual bool SameKind(const TControl* control) const = 0;
  /** Decides the look again, sets Color to it and repaints the frame. */
  void RedrawBorder();

  int EdgeWidth() const override { return 3; }
  void PaintFrame(TCanvas* canvas, const TRect& rect) override;
  void FocusGained() override;
  void FocusLost() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;
  void ParentColorChanged() override;

private:
  void DeriveColors();
  TColor ParentsColor() const;
  TColor FColorFlat = 0xE1EAEB;
  TColor FColorFocused = clWhite;
  TColor FColorBorder = 0x8396A0;
  bool FParentColor = true;
  TGradColors FAdvColorFocused = 10;
  TGradColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FHovered = false;
  bool FLook = false;
};

/** A flat single-line edit, 121 x 19 by default; its height follows its
 *  font (the font's cell height + 6). Setting Text from code fires OnChange. */
class TCustomFlatEdit : public TFlatEditFrame<TCustomEdit> {
public:
  explicit TCustomFlatEdit(TComponent* AOwner);
  /** Sets the height for the font, as a stored layout does once it is read;
   *  a form built in code calls it after setting the properties. */
  virtual void Loaded();

protected:
  bool SameKind(const TControl* control) const override;
  void AdjustHeight() override;
};

/** A flat edit. */
class TFlatEdit : public TCustomFlatEdit {
public:
  using TCustomFlatEdit::TCustomFlatEdit;
};
