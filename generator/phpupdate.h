#pragma once

#include "generator/phpinsert.h"

/** Writes a table's update page (DB_TABLE_update.php from tpl/update.tpl):
 *  the insert page's form with every control showing the stored row, the
 *  keep-or-replace choice for files, the UPDATE and the optional mail. */
class TUpdateGenerator : public TFormPageGenerator {
public:
  using TFormPageGenerator::TFormPageGenerator;

  /** Raises Exception when the project has no current table. */
  void Generate();

  std::string BuildTextInput(const TWebInput& input) override;
  std::string BuildTextareaInput(const TWebInput& input) override;
  std::string BuildComboboxInput(const TWebInput& input) override;
  std::string BuildListboxInput(const TWebInput& input) override;
  std::string BuildCheckboxInput(const TWebInput& input) override;
  std::string BuildRadioboxInput(const TWebInput& input) override;
  /** Keep-or-replace choice, the old value in a hidden field, a file input. */
  std::string BuildFileInput(const TWebInput& input) override;
  /** PHP that keeps the old file or stores the new upload, into $_POST. */
  std::string BuildFileUploadCode(const TWebInput& input) const override;
  /** The mail statement of the update page. */
  std::string BuildUpdateMailCode() const;

private:
  std::string BuildSelect(const TWebInput& input, const std::string& sizeAttribute);
};
