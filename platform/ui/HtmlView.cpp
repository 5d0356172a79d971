#include "ui/HtmlView.h"

#include "core/Files.h"
#include "ui/QtConvert.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

THtmlView::THtmlView(TComponent* AOwner) : TWinControl(AOwner) {
  CreateClientArea();
  SetFrameWidth(2);
  SetColor(clWindow);
  FBrowser = new QTextBrowser;
  FBrowser->setFrameShape(QFrame::NoFrame);
  FBrowser->setOpenLinks(false);
  FBrowser->setOpenExternalLinks(false);
  HostWidget(FBrowser);
  SetTabStop(true);
  SetBounds(0, 0, 300, 150);
  ColorChanged();
}

namespace {

/** Qt's HTML reader takes an unclosed <link> for an element that holds the
 *  rest of the page, and shows nothing after it; a link is always empty. */
QString CloseLinkTags(QString html) {
  static const QRegularExpression link(QStringLiteral("<link\\b([^>]*[^/>])?>"),
                                       QRegularExpression::CaseInsensitiveOption);
  return html.replace(link, QStringLiteral("<link\\1/>"));
}

}  // namespace

void THtmlView::LoadFromString(const std::string& html, const std::string& baseFolder) {
  FLocation.clear();
  const QString base = QDir(baseFolder.empty() ? QDir::currentPath() : ToQString(baseFolder)).absolutePath();
  // A new document each time: the old one kept the style sheets and images
  // it had read, and a page shown again must show them as they are now.
  // (The browser frees a document of its own when it gets the next one.)
  auto* doc = new QTextDocument(FBrowser);
  doc->setBaseUrl(QUrl::fromLocalFile(base + QLatin1Char('/')));
  FBrowser->setDocument(doc);
  FBrowser->setSearchPaths({base});
  FBrowser->setHtml(CloseLinkTags(ToQString(html)));
}

void THtmlView::Navigate(const std::string& fileName) {
  const std::string data = ReadFileText(fileName);
  // The page's own declaration (a BOM or a meta charset) decides; UTF-8 otherwise.
  QStringDecoder decoder = QStringDecoder::decoderForHtml(QByteArrayView(data.data(), data.size()));
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(QByteArrayView(data.data(), data.size()));
  std::string folder = ExtractFilePath(fileName);
  LoadFromString(FromQString(text), folder);
  FLocation = fileName;
}

void THtmlView::Clear() {
  LoadFromString("");
}

std::string THtmlView::PlainText() const { return FromQString(FBrowser->toPlainText()); }

void THtmlView::ColorChanged() {
  TWinControl::ColorChanged();
  QPalette pal = FBrowser->palette();
  pal.setColor(QPalette::Base, ToQColor(Color()));
  FBrowser->setPalette(pal);
}
