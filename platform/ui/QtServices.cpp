#include "ui/QtServices.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

std::string MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning: return "Warning";
    case TMsgDlgType::mtError: return "Error";
    case TMsgDlgType::mtInformation: return "Information";
    case TMsgDlgType::mtConfirmation: return "Confirm";
    case TMsgDlgType::mtCustom: break;
  }
  return Application ? Application->Title() : std::string();
}

std::string QtFileFilter(const std::string& filter) {
  const QStringList parts = ToQString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (QString p : parts[i + 1].split(';')) {
      p = p.trimmed();
      if (p.isEmpty()) continue;
      patterns << (p == "*.*" ? QStringLiteral("*") : p);
    }
    if (patterns.isEmpty()) continue;
    QString desc = parts[i].trimmed();
    // The classic description often names its patterns already: "Text (*.txt)".
    if (desc.endsWith(')')) {
      const qsizetype open = desc.lastIndexOf('(');
      if (open >= 0) desc = desc.left(open).trimmed();
    }
    if (desc.isEmpty()) desc = patterns.join(' ');
    out << desc + " (" + patterns.join(' ') + ")";
  }
  return FromQString(out.join(";;"));
}

// ---------------------------------------------------------------- message boxes

namespace {

constexpr char16_t kZeroWidthSpace = 0x200B;

/** An atom of the X server, 0 when it has none by that name. */
xcb_atom_t XAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : 0;
  std::free(reply);
  return atom;
}

/** The value of a window's property, as bytes ("" when it has none). */
QByteArray XProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr);
  QByteArray value;
  if (reply)
    value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
  std::free(reply);
  return value;
}

/** The running window manager's name as it gives it, "" off X11 or without one. */
QByteArray WindowManagerName(xcb_connection_t* c) {
  const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  if (!screens.rem) return {};
  const QByteArray check = XProperty(c, screens.data->root, XAtom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
  if (check.size() < static_cast<qsizetype>(sizeof(xcb_window_t))) return {};
  xcb_window_t wm = 0;
  std::memcpy(&wm, check.constData(), sizeof wm);
  return XProperty(c, wm, XAtom(c, "_NET_WM_NAME"), XAtom(c, "UTF8_STRING"));
}

/** A message box's title bar gets its close button alone. Qt asks for no
 *  minimise or maximise button through the Motif hints, which most window
 *  managers honour; Openbox keeps both on every dialog and drops them only
 *  for menu-type windows, so there the box is declared one (before it is
 *  mapped: Openbox reads the type once). */
void OnlyTheCloseButton(QWidget* box) {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || WindowManagerName(c) != "Openbox") return;
  const xcb_atom_t menu = XAtom(c, "_NET_WM_WINDOW_TYPE_MENU");
  const xcb_atom_t dialog = XAtom(c, "_NET_WM_WINDOW_TYPE_DIALOG");
  const xcb_atom_t types[] = {menu, dialog};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(box->winId()),
                      XAtom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 2, types);
  xcb_flush(c);
}

}  // namespace

QString WithBreakableWords(const QString& text, int longest) {
  // A word may break after a slash, a backslash or a hyphen; one longer than
  // longest without any of them may break anywhere.
  auto breaks = [](QChar ch) { return ch.isSpace() || ch == '/' || ch == '\\' || ch == '-'; };
  QString out;
  out.reserve(text.size() * 2);
  int run = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    out += ch;
    if (breaks(ch)) {
      run = 0;
      continue;
    }
    ++run;
    const bool wordGoesOn = i + 1 < text.size() && !breaks(text[i + 1]);
    if (run >= longest && wordGoesOn && !ch.isHighSurrogate()) out += QChar(kZeroWidthSpace);
  }
  return out;
}

TModalResult TQtMessageService::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return MessageBox(text, MessageDlgCaption(type), type, buttons);
}

TModalResult TQtMessageService::MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                                           TMsgDlgButtons buttons) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (type) {
    case TMsgDlgType::mtWarning: icon = QMessageBox::Warning; break;
    case TMsgDlgType::mtError: icon = QMessageBox::Critical; break;
    case TMsgDlgType::mtInformation: icon = QMessageBox::Information; break;
    case TMsgDlgType::mtConfirmation: icon = QMessageBox::Question; break;
    case TMsgDlgType::mtCustom: break;
  }
  QMessageBox::StandardButtons qb;
  if (buttons & mbYes) qb |= QMessageBox::Yes;
  if (buttons & mbNo) qb |= QMessageBox::No;
  if (buttons & mbOK) qb |= QMessageBox::Ok;
  if (buttons & mbCancel) qb |= QMessageBox::Cancel;
  if (!qb) qb = QMessageBox::Ok;
  // Above the window on top, which lends itself without owning the box: it
  // may be freed while the box is open.
  QMessageBox box(icon, ToQString(caption), WithBreakableWords(ToQString(text)), qb);
  OnlyTheCloseButton(&box);
  const TModalPlacement placement(&box);
  switch (box.exec()) {
    case QMessageBox::Yes: return TModalResult::mrYes;
    case QMessageBox::No: return TModalResult::mrNo;
    case QMessageBox::Ok: return TModalResult::mrOk;
    case QMessageBox::Cancel: return TModalResult::mrCancel;
    default: return TModalResult::mrNone;
  }
}

// ---------------------------------------------------------------- files and folders

namespace {

QString StartPath(const TFileDialogOptions& o) {
  if (o.FileName.empty()) return ToQString(o.InitialDir);
  if (o.InitialDir.empty() || QFileInfo(ToQString(o.FileName)).isAbsolute()) return ToQString(o.FileName);
  return QDir(ToQString(o.InitialDir)).filePath(ToQString(o.FileName));
}

QString SelectedFilter(const TFileDialogOptions& o, const QString& filter) {
  const QStringList list = filter.split(QStringLiteral(";;"));
  const int index = o.FilterIndex - 1;
  return index >= 0 && index < list.size() ? list[index] : QString();
}

}  // namespace

namespace {

// Qt's own dialog, not the desktop's: it asks about overwriting only after
// the default extension is added, so the question is about the file written.
std::optional<std::string> RunFileDialog(const TFileDialogOptions& o, QFileDialog::AcceptMode mode) {
  const QString filter = ToQString(QtFileFilter(o.Filter));
  QFileDialog dialog(nullptr, ToQString(o.Title), StartPath(o), filter);
  const TModalPlacement placement(&dialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QString ext = ToQString(o.DefaultExt);
  if (ext.startsWith('.')) ext.remove(0, 1);
  dialog.setDefaultSuffix(ext);
  if (const QString selected = SelectedFilter(o, filter); !selected.isEmpty()) dialog.selectNameFilter(selected);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQString(dialog.selectedFiles().constFirst());
}

}  // namespace

std::optional<std::string> TQtFileDialogs::ExecuteOpen(const TFileDialogOptions& o) {
  return RunFileDialog(o, QFileDialog::AcceptOpen);
}

std::optional<std::string> TQtFileDialogs::ExecuteSave(const TFileDialogOptions& o) {
  return RunFileDialog(o, QFileDialog::AcceptSave);
}

std::optional<std::string> TQtFolderBrowser::BrowseForFolder(const std::string& title,
                                                             const std::string& initialFolder) {
  QFileDialog dialog(nullptr, ToQString(title), ToQString(initialFolder));
  const TModalPlacement placement(&dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQString(dialog.selectedFiles().constFirst());
}

bool TQtUrlOpener::OpenURL(const std::string& url) {
  const QUrl u = QUrl::fromUserInput(ToQString(url));
  return u.isValid() && QDesktopServices::openUrl(u);
}

bool TQtHelpService::ShowHelp(const std::string& helpFile) {
  if (helpFile.empty()) return false;
  QFileInfo info(ToQString(helpFile));
  if (info.isRelative()) info = QFileInfo(QDir(QCoreApplication::applicationDirPath()).filePath(ToQString(helpFile)));
  if (!info.exists()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}
