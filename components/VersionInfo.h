#pragma once
/** TVerInfo: the strings of the program's own version block, which the
 *  build lays out from the project's version (see VersionBlock.h). Each
 *  value comes from the block's first string table, whatever the user's
 *  language; a missing value, or a program without a block, gives "". */

#include "components/VersionBlock.h"
#include "ui/Classes.h"

#include <string>

class TVerInfo : public TComponent {
public:
  explicit TVerInfo(TComponent* AOwner) : TComponent(AOwner) {}

  std::string CompanyName() const { return GetVerValue("CompanyName"); }
  std::string FileDescriptions() const { return GetVerValue("FileDescription"); }
  std::string FileVersion() const { return GetVerValue("FileVersion"); }
  std::string InternalName() const { return GetVerValue("InternalName"); }
  std::string LegalCopyright() const { return GetVerValue("LegalCopyright"); }
  std::string LegalTradeMarks() const { return GetVerValue("LegalTradeMarks"); }
  std::string OriginalFileName() const { return GetVerValue("OriginalFileName"); }
  std::string ProductName() const { return GetVerValue("ProductName"); }
  std::string ProductVersion() const { return GetVerValue("ProductVersion"); }
  std::string Comments() const { return GetVerValue("Comments"); }

  /** The value of key in the first string table, or "". */
  virtual std::string GetVerValue(const std::string& key) const;

protected:
  /** The program's version block (empty when it has none). */
  virtual TVersionBlock VersionBlock() const;
};

/** The version block the build made for this program. */
const TVersionBlock& ProgramVersionBlock();
