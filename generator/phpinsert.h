#pragma once

#include "core/StringList.h"
#include "generator/PageGenerator.h"
#include "model/WebTableClass.h"

#include <string>

/** What the insert and update pages have in common: the blur checks and the
 *  submit-time check list, the hint icon, the password and hidden inputs and
 *  the change-notification mail. */
class TFormPageGenerator : public TPageGenerator {
public:
  /** Submit-time check calls, one per line, in the order the controls are
   *  built; emptied by every Generate. */
  TStringList ScriptList;
  /** The current database, for the lookup calls of the list controls. */
  std::string DatabaseName;

  /** The blur-check attribute of a text input (without leading blank), or
   *  ""; appends the column's submit-time check to ScriptList. */
  std::string BuildValidation(const TWebInput& input);
  /** The hint icon, or "" when the column shows no hint. */
  std::string BuildTooltip(const TWebInput& input) const;
  std::string BuildPasswordInput(const TWebInput& input);
  /** A hidden input whose value the page computes with the column's PHP code. */
  std::string BuildHiddenInput(const TWebInput& input) const;

  /** The controls of the page, one per input type. */
  virtual std::string BuildTextInput(const TWebInput& input) = 0;
  virtual std::string BuildTextareaInput(const TWebInput& input) = 0;
  virtual std::string BuildComboboxInput(const TWebInput& input) = 0;
  virtual std::string BuildListboxInput(const TWebInput& input) = 0;
  virtual std::string BuildCheckboxInput(const TWebInput& input) = 0;
  virtual std::string BuildRadioboxInput(const TWebInput& input) = 0;
  virtual std::string BuildFileInput(const TWebInput& input) = 0;
  /** PHP that stores the column's upload and puts the stored path in $_POST. */
  virtual std::string BuildFileUploadCode(const TWebInput& input) const = 0;

protected:
  using TPageGenerator::TPageGenerator;

  /** The control for a column of one of the eight form types. */
  std::string BuildInputControl(const TWebInput& input);

  /** Block and variable names of one form page. */
  struct TFormBlocks {
    const char* Fields;      // visible controls, with their control variable
    const char* FieldItem;
    const char* Hidden;      // hidden inputs, with their input variable
    const char* HiddenItem;
    const char* Files;       // upload code, with its code variable
    const char* FileCode;
  };
  /** Fills the visible, hidden and file blocks for the columns on the page
   *  (pageFlag set), in column order. */
  void FillFormBlocks(TTemplateEngine& engine, const TWebTable& table, bool TWebInput::*pageFlag,
                      const TFormBlocks& names);

  /** qfMail(...) with the given heading line and one "Caption=value" line
   *  per column chosen by the project's mail-content option; pageFlag picks
   *  the columns of the page for "all data". */
  std::string BuildChangeMailCode(const TWebTable& table, const std::string& heading, bool TWebInput::*pageFlag,
                                  const std::string& noDataBody) const;
  /** The raw posted value of a column as PHP: the joined check boxes of a
   *  "Checkbox" column, else the posted field. */
  static std::string PostedValue(const TWebInput& input);
  /** array('form name', 'kind'[, items][, 'caption' => caption]): how the
   *  site reads the column's field (a choice or check-box group with its item
   *  values or its lookup) and, with `caption`, names it in messages. */
  std::string FieldDescriptor(const TWebInput& input, bool caption) const;
  /** Name of check box `index` (from 1) of a group, and id of radio button
   *  `index`: the form name, "-i" or "-r" and the number, which no other
   *  column's form name can be. */
  static std::string CheckBoxName(const TWebInput& input, int index);
  static std::string RadioId(const TWebInput& input, int index);
  /** PHP marking the choice name=value " selected" or " checked" when the
   *  visitor sent it to a failed insert. */
  static std::string KeptMark(const std::string& name, const std::string& value, const char* word);
};

/** Writes a table's insert page (DB_TABLE_insert.php from tpl/insert.tpl):
 *  the form, client checks, uploads, the INSERT and the optional mail. */
class TInsertGenerator : public TFormPageGenerator {
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
  std::string BuildFileInput(const TWebInput& input) override;
  std::string BuildFileUploadCode(const TWebInput& input) const override;
  /** The mail statement of the insert page. */
  std::string BuildInsertMailCode() const;

private:
  std::string BuildSelect(const TWebInput& input, const std::string& sizeAttribute);
};
