// Writes the program's version block as a C++ source:
//   qf_make_version_block out.cpp PRODUCT MAJOR MINOR PATCH TWEAK
// The build runs it with the project's name and version.

#include "components/VersionBlock.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: qf_make_version_block out.cpp PRODUCT MAJOR MINOR PATCH TWEAK\n");
    return 2;
  }
  const std::string product = argv[2];
  unsigned v[4];
  for (int i = 0; i < 4; ++i) v[i] = static_cast<unsigned>(std::strtoul(argv[3 + i], nullptr, 10)) & 0xFFFF;
  const std::string version =
      std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
  TVSFixedFileInfo fixed;
  fixed.dwFileVersionMS = fixed.dwProductVersionMS = (v[0] << 16) | v[1];
  fixed.dwFileVersionLS = fixed.dwProductVersionLS = (v[2] << 16) | v[3];
  std::string lower = product;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  // US English, Windows Latin 1: the table "040904E4".
  const TVersionBlock block = BuildVersionBlock(fixed, {{0x0409, 0x04E4,
                                                         {{"FileDescription", product},
                                                          {"FileVersion", version},
                                                          {"InternalName", lower},
                                                          {"OriginalFileName", lower},
                                                          {"ProductName", product},
                                                          {"ProductVersion", version}}}});
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::fprintf(stderr, "qf_make_version_block: cannot write %s\n", argv[1]);
    return 1;
  }
  std::fprintf(out, "// Made by qf_make_version_block from the project's version %s.\n", version.c_str());
  std::fprintf(out, "extern const unsigned char kProgramVersionBlock[] = {");
  for (size_t i = 0; i < block.size(); ++i) std::fprintf(out, "%s%u", i == 0 ? "\n    " : i % 16 ? ", " : ",\n    ", block[i]);
  std::fprintf(out, "};\nextern const unsigned kProgramVersionBlockSize = %zu;\n", block.size());
  return std::fclose(out) == 0 ? 0 : 1;
}
