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

std::string AddDefaultExt(const std::string& fileName, const std::string& ext) {
  if (fileName.empty() || ext.empty()) return fileName;
  const size_t slash = fileName.find_last_of('/');
  const std::string last = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  if (last.empty() || last.find('.') != std::string::npos) return fileName;
  return fileName + "." + (ext[0] == '.' ? ext.substr(1) : ext);
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
  QMessageBox box(icon, ToQString(caption), ToQString(text), qb, QApplication::activeWindow());
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

std::optional<std::string> TQtFileDialogs::ExecuteOpen(const TFileDialogOptions& o) {
  const QString filter = ToQString(QtFileFilter(o.Filter));
  QString selected = SelectedFilter(o, filter);
  const QString name =
      QFileDialog::getOpenFileName(QApplication::activeWindow(), ToQString(o.Title), StartPath(o), filter, &selected);
  if (name.isEmpty()) return std::nullopt;
  return FromQString(name);
}

std::optional<std::string> TQtFileDialogs::ExecuteSave(const TFileDialogOptions& o) {
  const QString filter = ToQString(QtFileFilter(o.Filter));
  QString selected = SelectedFilter(o, filter);
  const QString name =
      QFileDialog::getSaveFileName(QApplication::activeWindow(), ToQString(o.Title), StartPath(o), filter, &selected);
  if (name.isEmpty()) return std::nullopt;
  return AddDefaultExt(FromQString(name), o.DefaultExt);
}

std::optional<std::string> TQtFolderBrowser::BrowseForFolder(const std::string& title,
                                                             const std::string& initialFolder) {
  const QString dir =
      QFileDialog::getExistingDirectory(QApplication::activeWindow(), ToQString(title), ToQString(initialFolder));
  if (dir.isEmpty()) return std::nullopt;
  return FromQString(dir);
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
