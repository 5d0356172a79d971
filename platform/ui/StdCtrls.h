#pragma once
/** Standard controls: the label. */

#include "ui/Controls.h"

/** A caption drawn in the label's font. With AutoSize (the default) the label
 *  takes the size of its text; a disabled label is drawn embossed. */
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

  /** The DrawText flags the caption is drawn with. */
  unsigned TextFlags() const;

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;

private:
  void AdjustBounds();
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FWordWrap = false;
};
