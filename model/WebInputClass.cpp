#include "model/WebInputClass.h"

TWebInput::TWebInput(const std::string& fieldName)
    : HtmlInput(std::make_unique<TBaseHtmlInput>(fieldName)) {}

void TWebInput::Reset() {
  Database_field.clear();
  Type.clear();
  Caption.clear();
  Input_type.clear();
  Size = 0;
}

std::string TWebInput::GetSaveFormCSV() const {
  return Database_field + ";" + Type + ";" + std::to_string(Size) + ";" + Caption + ";" + Input_type + ";";
}
