#include "shell/FtpClient.h"

#include <curl/curl.h>

namespace {

CURL* Curl(void* handle) { return static_cast<CURL*>(handle); }

// The folder as a URL path for one CWD: each part escaped, a leading "/"
// (an absolute folder) as %2F so that it reaches the server.
std::string FolderPath(CURL* curl, const std::string& dir) {
  std::string out = "/";
  size_t start = 0;
  if (!dir.empty() && dir[0] == '/') {
    out += "%2F";
    start = 1;
  }
  while (start <= dir.size()) {
    const size_t slash = dir.find('/', start);
    const std::string part = dir.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!part.empty()) {
      char* escaped = curl_easy_escape(curl, part.c_str(), static_cast<int>(part.size()));
      out += escaped ? escaped : "";
      curl_free(escaped);
      out += '/';
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return out;
}

}  // namespace

TFtpClient::TFtpClient() {
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;
}

TFtpClient::~TFtpClient() { Disconnect(); }

void TFtpClient::Connect() {
  Disconnect();
  if (Host.empty()) throw EFtpError("No FTP server named");
  CURL* curl = curl_easy_init();
  if (!curl) throw EFtpError("Cannot start an FTP session");
  FHandle = curl;
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERNAME, Username.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, Password.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, TimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, TimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, TimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // Only the login and the folder matter: no listing, no transfer.
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
  const int rc = Request("/");
  if (rc != CURLE_OK) {
    Disconnect();
    throw EFtpError(curl_easy_strerror(static_cast<CURLcode>(rc)));
  }
}

bool TFtpClient::ChangeDir(const std::string& dir) {
  if (!FHandle) return false;
  return Request(FolderPath(Curl(FHandle), dir)) == CURLE_OK;
}

int TFtpClient::Request(const std::string& path) {
  const std::string url = "ftp://" + Host + path;
  curl_easy_setopt(Curl(FHandle), CURLOPT_URL, url.c_str());
  return curl_easy_perform(Curl(FHandle));
}

void TFtpClient::Disconnect() {
  if (!FHandle) return;
  curl_easy_cleanup(Curl(FHandle));
  FHandle = nullptr;
}
