#pragma once
/** TFlatGauge: a flat horizontal progress bar with a percentage text. */

#include "components/FlatUtils.h"
#include "ui/Controls.h"

#include <string>

/** Shows Progress between MinValue and MaxValue as a bar inside a one-pixel
 *  frame, with the percentage centred over it; the part of the text over the
 *  bar is drawn in the background colour. Changing the value repaints at once,
 *  so the bar moves even while the caller keeps the event loop waiting.
 *  The setters keep MinValue <= Progress <= MaxValue. With no range
 *  (MinValue = MaxValue) the gauge shows a full bar and 100 %. */
class TFlatGauge : public TGraphicControl {
public:
  explicit TFlatGauge(TComponent* AOwner);

  int MinValue() const { return FMinValue; }
  void SetMinValue(int value);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int value);
  int Progress() const { return FCurValue; }
  void SetProgress(int value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool value);
  TColor BarColor() const { return FBarColor; }
  void SetBarColor(TColor color);
  TColor ColorBorder() const { return FBorderColor; }
  void SetColorBorder(TColor color);
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  /** Kept within 0..100. */
  void SetAdvColorBorder(TGradColors value);
  bool UseAdvColors() const { return FUseAdvColors; }
  /** Also sets ParentColor to the same value. */
  void SetUseAdvColors(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

  /** The client rectangle less 2 pixels on each side. */
  TRect InnerRect() const;
  /** The filled part of the inner rectangle (may be empty). */
  TRect BarRect() const;
  /** Whole percent of the way from MinValue to MaxValue, truncated. */
  int PercentDone() const;
  /** The text shown: "25 %". */
  std::string Text() const;

protected:
  void Paint() override;
  void ParentColorChanged() override;

private:
  void DeriveColors();
  int FMinValue = 0;
  int FMaxValue = 100;
  int FCurValue = 0;
  bool FShowText = true;
  TColor FBarColor = 0x996633;
  TColor FBorderColor = 0x8396A0;
  TGradColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FTransparent = false;
};
