#include "ui/QtServices.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

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
  QMessageBox box(icon, ToQString(caption), ToQString(text), qb);
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
