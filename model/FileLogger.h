#pragma once

#include <string>

/** Appends "date time  --  message" with CR LF to "qfx.log" in the current
 *  folder while a file named "logon" exists there. Never fails. */
void WriteLog(const std::string& message);
