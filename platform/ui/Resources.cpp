#include "ui/Resources.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QFile>

#include <map>

namespace {

std::map<std::string, TResourceDrawer>& Drawers() {
  static std::map<std::string, TResourceDrawer> drawers;
  return drawers;
}

// A compiled-in picture; its hot spot is the top-left corner.
bool LoadCompiled(const std::string& name, TBitmap& bitmap) {
  const QString path = QStringLiteral(":/qf/") + ToQString(name) + QStringLiteral(".png");
  if (!QFile::exists(path)) return false;
  QImage img(path);
  if (img.isNull()) return false;
  bitmap.SetImage(img);
  return true;
}

bool Load(const std::string& name, TBitmap& bitmap, TPoint& hotSpot) {
  auto it = Drawers().find(name);
  if (it != Drawers().end()) {
    it->second(bitmap, hotSpot);
    return true;
  }
  return LoadCompiled(name, bitmap);
}

}  // namespace

void RegisterResource(const std::string& name, TResourceDrawer drawer) { Drawers()[name] = std::move(drawer); }

bool ResourceExists(const std::string& name) {
  return Drawers().count(name) || QFile::exists(QStringLiteral(":/qf/") + ToQString(name) + QStringLiteral(".png"));
}

bool LoadResourceBitmap(const std::string& name, TBitmap& bitmap) {
  TPoint hot;
  TBitmap loaded;
  if (!Load(name, loaded, hot)) return false;
  bitmap.Assign(loaded);
  return true;
}

bool LoadCursorResource(const std::string& name, TCursor id) {
  TBitmap image;
  TPoint hot;
  if (!Load(name, image, hot)) return false;
  TScreen::RegisterCursor(id, image, hot);
  return true;
}
