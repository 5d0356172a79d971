#pragma once

#include "model/HtmlInput.h"

#include <cstdint>
#include <memory>
#include <string>

/** One column of a project table: what the generated pages show and accept for it. */
class TWebInput {
public:
  /** The name goes to the form-control options only; Database_field stays empty. */
  explicit TWebInput(const std::string& fieldName);

  /** Clears the column name, type, caption and input type, and the size. */
  void Reset();
  /** "field;type;size;caption;input_type;" */
  std::string GetSaveFormCSV() const;

  std::string Database_field;
  std::string Type;
  int32_t Size = 0;
  bool Key = false;
  std::string Caption;
  bool List = false;
  bool Detail = false;
  bool Insert = false;
  bool Update = false;
  std::unique_ptr<TBaseHtmlInput> HtmlInput;
  std::string Input_type;
  std::string View_type;
  bool UseHint = false;
  std::string HintText;
  std::string Filter_type;
};
