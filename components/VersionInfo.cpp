#include "components/VersionInfo.h"

#include <cstdio>

// Laid out by the build from the project's version (ProgramVersion.cpp).
extern const unsigned char kProgramVersionBlock[];
extern const unsigned kProgramVersionBlockSize;

const TVersionBlock& ProgramVersionBlock() {
  static const TVersionBlock block(kProgramVersionBlock, kProgramVersionBlock + kProgramVersionBlockSize);
  return block;
}

TVersionBlock TVerInfo::VersionBlock() const { return ProgramVersionBlock(); }

std::string TVerInfo::GetVerValue(const std::string& key) const {
  const TVersionBlock block = VersionBlock();
  TVersionHeader header;
  if (block.empty()) return "";
  // A damaged header still names a table: 00000000, which normally holds nothing.
  ReadVersionHeader(block, header);
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", header.Language, header.CodePage);
  return QueryVersionString(block, std::string("\\StringFileInfo\\") + table + "\\" + key).value_or("");
}
