#pragma once
/** TFlatComboBox: a combo box with a flat frame and a narrow arrow button. */

#include "components/FlatUtils.h"
#include "ui/StdCtrls.h"

/** A combo box (145 x 21 by default) drawn flat: a one-pixel ColorBorder
 *  frame round the text area, two inner frames in Color, and at the right an
 *  11-pixel button in ColorArrowBackground with a small triangle in
 *  ColorArrow that points up while the list is open (embossed grey when
 *  disabled). The styles without an edit (csDropDownList and the owner-drawn
 *  ones) paint the strip between the text and the button, and when focused
 *  highlight it and frame the text in clHighlight. An open csDropDown list
 *  turns the inner frame clWindow. csSimple has no button; the frame keeps
 *  the button's room free and its list below is framed flat as well. The
 *  list shows on Color. */
class TFlatComboBox : public TCustomComboBox {
public:
  static constexpr int kButtonWidth = 11;

  explicit TFlatComboBox(TComponent* AOwner);

  TColor ColorArrow() const { return FColorArrow; }
  void SetColorArrow(TColor value);
  TColor ColorArrowBackground() const { return FColorArrowBackground; }
  void SetColorArrowBackground(TColor value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor value);
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TGradColors value);
  TGradColors AdvColorArrowBackground() const { return FAdvColorArrowBackground; }
  void SetAdvColorArrowBackground(TGradColors value);
  bool UseAdvColors() const { return FUseAdvColors; }
  void SetUseAdvColors(bool value);

  /** The button as drawn: one pixel wider on each side than ButtonRect. */
  TRect ArrowButtonRect() const;
  /** The top-left corner of the triangle's 9 x 3 box. */
  TPoint ArrowOrigin() const;
  /** The strip the platform's wider button would cover, left of the button. */
  TRect StripRect() const;

protected:
  TRect ButtonRect() const override;
  TRect EditRect() const override;
  void PaintFace() override;
  void PaintText(const TRect& r) override;
  void PaintSimpleListFrame(TCanvas* canvas, const TRect& rect) override;
  void FontChanged() override;
  void ParentColorChanged() override;

private:
  void DeriveColors();
  void PaintArrow(TCanvas* c, TPoint origin, TColor color, bool up);
  TColor FColorArrow = clBlack;
  TColor FColorArrowBackground = 0xC5D6D9;
  TColor FColorBorder = 0x8396A0;
  TGradColors FAdvColorBorder = 50;
  TGradColors FAdvColorArrowBackground = 10;
  bool FUseAdvColors = false;
};
