#pragma once
/** Bitmaps and image lists. A bitmap's pixels are 32 bits, blue, green, red
 *  and alpha bytes in memory order; pf24bit bitmaps keep alpha at 255. */

#include "ui/Canvas.h"
#include "ui/Colors.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TPixelFormat { pf24bit, pf32bit };

/** A picture with a canvas of its own. Not copyable: use Assign. */
class TBitmap {
public:
  TBitmap();
  TBitmap(int width, int height);
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return FImage.width(); }
  int Height() const { return FImage.height(); }
  bool Empty() const { return FImage.isNull() || FImage.width() == 0 || FImage.height() == 0; }
  /** Keeps the pixels that still fit; new pixels are white. */
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, Height()); }
  void SetHeight(int height) { SetSize(Width(), height); }
  TPixelFormat PixelFormat() const { return FFormat; }
  void SetPixelFormat(TPixelFormat format);

  TCanvas* Canvas() { return &FCanvas; }
  /** Row y as 4 bytes per pixel (blue, green, red, alpha). */
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;

  /** A transparent bitmap is drawn without the pixels of its transparent colour. */
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { FTransparent = value; }
  /** clDefault (the initial value) takes the colour of the bottom-left pixel. */
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor color) { FTransparentColor = color; }
  /** The transparent colour in effect, as a plain colour. */
  TColor EffectiveTransparentColor() const;

  void Assign(const TBitmap& source);
  /** Reads BMP, PNG and the other formats Qt reads; raises EFOpenError. */
  void LoadFromFile(const std::string& fileName);
  /** Writes by the file's extension (PNG, BMP, ...); raises EFCreateError. */
  void SaveToFile(const std::string& fileName) const;

  const QImage& Image() const { return FImage; }
  /** Takes a copy of image as the bitmap's picture. */
  void SetImage(const QImage& image);

private:
  QImage FImage;
  TCanvas FCanvas;
  TPixelFormat FFormat = pf24bit;
  bool FTransparent = false;
  TColor FTransparentColor = clDefault;
};

/** Images of one size, drawn by index. Pictures wider than the list's width
 *  are cut into several images. */
class TImageList {
public:
  TImageList(int width = 16, int height = 16);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return static_cast<int>(FImages.size()); }
  /** Adds the images of bitmap; the pixels of transparentColor (clNone: none)
   *  are left out when drawing. Returns the index of the first one added. */
  int AddMasked(const TBitmap& bitmap, TColor transparentColor);
  int Add(const TBitmap& bitmap) { return AddMasked(bitmap, clNone); }
  void Delete(int index);
  void Clear() { FImages.clear(); }
  /** Copies image index into bitmap (sized to the list); false for a bad index. */
  bool GetBitmap(int index, TBitmap& bitmap) const;
  /** Draws image index at (x, y); a disabled image is drawn greyed in the
   *  button-shadow colour. A bad index draws nothing. */
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;

private:
  struct TItem {
    QImage Image;
    TColor Key = clNone;
  };
  int FWidth;
  int FHeight;
  std::vector<TItem> FImages;
};
