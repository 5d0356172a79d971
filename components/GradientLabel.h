#pragma once
/** TGradientLabel: a label for headings and banners. It fills its area with
 *  a gradient, draws its caption raised, recessed or shadowed, fits the font
 *  to its size, shows sub- and superscript, draws an etched frame or rule,
 *  and opens a web, mail, FTP or news address when clicked. */

#include "ui/ShellServices.h"
#include "ui/StdCtrls.h"

#include <string>

enum TGradientStyle { gsNone, gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter };
enum T3DEffect { Normal3d, Resit3d, Raised3d, Shadowed3d };
enum TFitType { ftNormalFit, ftBestFitVert, ftBestFithorz, ftBestFitBoth };
enum TLabelType { ltNormal, ltSubSuperScript, ltHttp, ltMail, ltFtp, ltNews };
enum TLineStyle { lsNone, lsTop, lsBottom, lsMiddle };

/** MulDiv as the system has it: a * b / c rounded, halves away from zero;
 *  0 when c is 0 (a gradient of no steps stays at its begin colour). */
int MulDiv(int a, int b, int c);

/** The label. A new one is transparent, not auto-sized, and does not take
 *  its parent's colour. Links open through the URL service (SetUrlOpener,
 *  or the program's default); an address longer than 79 characters is
 *  refused and nothing opens. */
class TGradientLabel : public TLabel {
public:
  explicit TGradientLabel(TComponent* AOwner);

  TFitType AFitType() const { return FFitType; }
  /** The next paint fits again. */
  void SetAFitType(TFitType value);
  T3DEffect AStyle3D() const { return FStyle3D; }
  void SetAStyle3D(T3DEffect value);
  TColor AShadeRightBottom() const { return FShadeRightBottom; }
  void SetAShadeRightBottom(TColor value);
  TColor AShadeLeftTop() const { return FShadeLeftTop; }
  /** Ignored while AShadeLTSet is on. */
  void SetAShadeLeftTop(TColor value);
  int AHShadeOffSet() const { return FHShadeOffset; }
  void SetAHShadeOffSet(int value);
  int AVShadeOffSet() const { return FVShadeOffset; }
  void SetAVShadeOffSet(int value);
  bool AShadeLTSet() const { return FShadeLTSet; }
  /** On: AShadeLeftTop becomes white (the old colour is kept); off: it comes back. */
  void SetAShadeLTSet(bool value);
  TGradientStyle GradientStyle() const { return FGradientStyle; }
  void SetGradientStyle(TGradientStyle value);
  TColor BeginColor() const { return FBeginColor; }
  void SetBeginColor(TColor value);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor value);
  bool Frame() const { return FFrame; }
  void SetFrame(bool value);
  TLineStyle LineStyle() const { return FLineStyle; }
  void SetLineStyle(TLineStyle value);
  TLabelType LabelType() const { return FLabelType; }
  /** Links show the hand cursor. */
  void SetLabelType(TLabelType value);
  bool Effect98() const { return FEffect98; }
  /** Stored without repainting. */
  void SetEffect98(bool value) { FEffect98 = value; }
  TColor ColorSelected() const { return FColorSelected; }
  void SetColorSelected(TColor value);
  const std::string& Url() const { return FUrl; }
  void SetUrl(const std::string& value);
  const std::string& MailSubject() const { return FMailSubject; }
  void SetMailSubject(const std::string& value);

  /** The service links open through (null: the program's default). */
  void SetUrlOpener(IUrlOpener* opener) { FOpener = opener; }
  /** The service every label without its own uses (null: the desktop's). */
  static void SetDefaultUrlOpener(IUrlOpener* opener);

  /** The address a click opens: Url (or the caption) with the link type's
   *  prefix unless it has it; empty for a label that is no link. */
  std::string LinkAddress() const;
  /** Fits the font to r as painting does (for the current AFitType). */
  void FitFont(const TRect& r);
  /** The caption without sub- and superscript markers. */
  std::string PlainCaption() const;

protected:
  void Paint() override;
  void Click() override;
  void MouseEnter() override;
  void MouseLeave() override;

private:
  bool IsLink() const { return FLabelType >= ltHttp; }
  void Changed() { Invalidate(); }
  void PaintGradient(TCanvas* c);
  void PaintFrame(TCanvas* c);
  void DrawCaption(TCanvas* c, const TRect& r, unsigned flags);
  void DrawText(TCanvas* c, const std::string& text, const TRect& r, unsigned flags);
  void DrawSubSuper(TCanvas* c, const std::string& text, const TRect& r, unsigned flags);
  void PaintRule(TCanvas* c, const TRect& t);
  void Row(TCanvas* c, int x, int y, int length, bool fadeIn, TColor color);

  TFitType FFitType = ftBestFitBoth;
  T3DEffect FStyle3D = Normal3d;
  TColor FShadeRightBottom = 0x808080;
  TColor FShadeLeftTop = 0xFFFFFF;
  TColor FSavedLeftTop = 0xFFFFFF;
  int FHShadeOffset = 5;
  int FVShadeOffset = -5;
  bool FShadeLTSet = false;
  TGradientStyle FGradientStyle = gsNone;
  TColor FBeginColor = 0x800000;
  TColor FEndColor = 0xFFFF00;
  bool FFrame = false;
  TLineStyle FLineStyle = lsNone;
  TLabelType FLabelType = ltNormal;
  bool FEffect98 = true;
  TColor FColorSelected = 0x008000;
  std::string FUrl;
  std::string FMailSubject;
  IUrlOpener* FOpener = nullptr;
  bool FHovered = false;
  TColor FSavedFontColor = clWindowText;
  // The font size and control size at the last fit.
  int FFitSize = 0;
  int FFitWidth = 0;
  int FFitHeight = 0;
};
