#pragma once
/** The project dialog's FTP client, over libcurl: log in, change to a
 *  folder, disconnect. */

#include "core/Exception.h"

#include <string>

/** An FTP server that could not be reached or refused the login. */
class EFtpError : public Exception {
  using Exception::Exception;
};

/** One FTP session. Connect logs in (raising EFtpError when that fails);
 *  ChangeDir changes to a folder of the server; Disconnect ends the session. */
class TFtpClient {
public:
  TFtpClient();
  ~TFtpClient();
  TFtpClient(const TFtpClient&) = delete;
  TFtpClient& operator=(const TFtpClient&) = delete;

  /** A host name, optionally with ":port". */
  std::string Host;
  std::string Username;
  std::string Password;
  /** Seconds any one step may take. */
  long TimeoutSeconds = 15;

  void Connect();
  bool Connected() const { return FHandle != nullptr; }
  /** False when the server has no such folder (or refuses it). */
  bool ChangeDir(const std::string& dir);
  void Disconnect();

private:
  /** Runs one request for path on the open session; the libcurl result. */
  int Request(const std::string& path);
  void* FHandle = nullptr;  // the libcurl easy handle of the session
};
