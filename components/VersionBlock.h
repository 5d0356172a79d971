#pragma once
/** The version block of a program file, in the layout of the Windows
 *  version resource: nested blocks, each a 16-bit total length, a 16-bit
 *  value length, a 16-bit type, a zero-terminated UTF-16 key, then (on a
 *  4-byte boundary) the value and the child blocks. The root
 *  "VS_VERSION_INFO" holds the fixed file information and the children
 *  "StringFileInfo" (string tables keyed by language and code page, e.g.
 *  "040904E4") and "VarFileInfo". Every length is checked against the
 *  block, so a damaged block reads as empty, never past its end. */

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/** The fixed file information: 13 double words. */
struct TVSFixedFileInfo {
  std::uint32_t dwSignature = 0xFEEF04BD;
  std::uint32_t dwStrucVersion = 0x00010000;
  std::uint32_t dwFileVersionMS = 0;
  std::uint32_t dwFileVersionLS = 0;
  std::uint32_t dwProductVersionMS = 0;
  std::uint32_t dwProductVersionLS = 0;
  std::uint32_t dwFileFlagsMask = 0x3F;
  std::uint32_t dwFileFlags = 0;
  std::uint32_t dwFileOS = 0x00040004;  // VOS_NT_WINDOWS32
  std::uint32_t dwFileType = 1;         // VFT_APP
  std::uint32_t dwFileSubtype = 0;
  std::uint32_t dwFileDateMS = 0;
  std::uint32_t dwFileDateLS = 0;
};

/** What the walk over the first blocks reads: the fixed information and
 *  the language and code page of the first string table (0 when its key is
 *  missing or not hexadecimal). */
struct TVersionHeader {
  TVSFixedFileInfo FixedInfo;
  std::uint16_t Language = 0;
  std::uint16_t CodePage = 0;
};

using TVersionBlock = std::vector<std::uint8_t>;

/** One string table: its language, code page and strings in order. */
struct TVersionStrings {
  std::uint16_t Language = 0x0409;
  std::uint16_t CodePage = 0x04E4;
  std::vector<std::pair<std::string, std::string>> Strings;
};

/** Lays out a version block with the string tables in order and the
 *  translation entry of the first. */
TVersionBlock BuildVersionBlock(const TVSFixedFileInfo& fixed, const std::vector<TVersionStrings>& tables);

/** Walks the root block and the first string table's header. False (and
 *  the header as far as it was read) for a block that is empty, damaged or
 *  not a version block. */
bool ReadVersionHeader(const TVersionBlock& block, TVersionHeader& header);

/** The string at a query path such as "\StringFileInfo\040904E4\FileVersion"
 *  (keys compared without regard to case), or nothing. */
std::optional<std::string> QueryVersionString(const TVersionBlock& block, const std::string& path);
