#include "ui/Bitmap.h"

#include "core/Exception.h"
#include "ui/QtConvert.h"

#include <QPainter>

TBitmap::TBitmap() : FCanvas(&FImage) {}

TBitmap::TBitmap(int width, int height) : FCanvas(&FImage) { SetSize(width, height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == Width() && height == Height() && !FImage.isNull()) return;
  QImage next(width, height, QImage::Format_ARGB32);
  next.fill(0xFFFFFFFFu);
  if (!FImage.isNull()) {
    QPainter p(&next);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, FImage);
  }
  FImage = next;
  FCanvas.SetTarget(&FImage);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  FFormat = format;
  if (format == pf24bit && !FImage.isNull())
    for (int y = 0; y < FImage.height(); ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(FImage.scanLine(y));
      for (int x = 0; x < FImage.width(); ++x) line[x] |= 0xFF000000u;
    }
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= Height()) throw EListError("Scan line index out of range");
  return FImage.scanLine(y);
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  if (y < 0 || y >= Height()) throw EListError("Scan line index out of range");
  return FImage.constScanLine(y);
}

TColor TBitmap::EffectiveTransparentColor() const {
  if (FTransparentColor != clDefault) return ColorToRGB(FTransparentColor);
  if (Empty()) return clNone;
  return FromQRgb(FImage.pixel(0, Height() - 1));
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  FImage = source.FImage.copy();
  FCanvas.SetTarget(&FImage);
  FFormat = source.FFormat;
  FTransparent = source.FTransparent;
  FTransparentColor = source.FTransparentColor;
}

void TBitmap::SetImage(const QImage& image) {
  FImage = image.convertToFormat(QImage::Format_ARGB32);
  FCanvas.SetTarget(&FImage);
  if (FFormat == pf24bit) SetPixelFormat(pf24bit);
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  QImage img;
  if (!img.load(ToQString(fileName))) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  FFormat = img.hasAlphaChannel() ? pf32bit : pf24bit;
  SetImage(img);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  if (!FImage.save(ToQString(fileName))) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

// ---------------------------------------------------------------- image list

TImageList::TImageList(int width, int height) : FWidth(std::max(1, width)), FHeight(std::max(1, height)) {}

int TImageList::AddMasked(const TBitmap& bitmap, TColor transparentColor) {
  const int first = Count();
  if (bitmap.Empty()) return first;
  const int cells = std::max(1, bitmap.Width() / FWidth);
  const TColor key = transparentColor == clNone ? clNone
                     : transparentColor == clDefault ? bitmap.EffectiveTransparentColor()
                                                     : ColorToRGB(transparentColor);
  for (int i = 0; i < cells; ++i) {
    QImage cell(FWidth, FHeight, QImage::Format_ARGB32);
    cell.fill(key == clNone ? 0xFFFFFFFFu : (0xFF000000u | (ToQRgb(key) & 0xFFFFFFu)));
    QPainter p(&cell);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, bitmap.Image(), i * FWidth, 0, FWidth, FHeight);
    p.end();
    FImages.push_back({cell, key});
  }
  return first;
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FImages.erase(FImages.begin() + index);
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap) const {
  if (index < 0 || index >= Count()) return false;
  bitmap.SetImage(FImages[static_cast<size_t>(index)].Image);
  return true;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (!canvas || index < 0 || index >= Count()) return;
  const TItem& item = FImages[static_cast<size_t>(index)];
  TBitmap bmp;
  bmp.SetImage(item.Image);
  if (!enabled) {
    // Disabled: every drawn pixel becomes the button shadow.
    const QRgb key = ToQRgb(item.Key) & 0xFFFFFFu;
    QImage img = item.Image;
    const QRgb shadow = ToQRgb(clBtnShadow);
    for (int yy = 0; yy < img.height(); ++yy) {
      QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
      for (int xx = 0; xx < img.width(); ++xx)
        if (item.Key == clNone || (line[xx] & 0xFFFFFFu) != key) line[xx] = shadow;
    }
    bmp.SetImage(img);
  }
  bmp.SetTransparent(item.Key != clNone);
  bmp.SetTransparentColor(item.Key);
  canvas->Draw(x, y, bmp);
}
