#include "grid/VirtualColumn.h"

#include "grid/CellClasses.h"

std::string TVirtualCell::AsString() const {
  std::string value;
  if (FOnGetValue) FOnGetValue(*this, FFirstTag, FSecondTag, value);
  return value;
}

bool TVirtualCell::AsBoolean() const { return TextToBoolean(AsString(), FormatSettings()); }
TDateTime TVirtualCell::AsDateTime() const { return TextToDateTime(AsString(), FormatSettings()); }
double TVirtualCell::AsFloat() const { return TextToFloat(AsString(), FormatSettings()); }
std::int32_t TVirtualCell::AsInteger() const { return TextToInteger(AsString()); }

void TVirtualCell::PutText(const std::string& text) {
  if (FOnSetValue) FOnSetValue(*this, FFirstTag, FSecondTag, text);
}

void TVirtualCell::SetAsBoolean(bool Value) {
  PutText(BooleanToText(Value));
  TCell::SetAsBoolean(Value);
}
void TVirtualCell::SetAsDateTime(TDateTime Value) {
  PutText(DateTimeToText(Value, FormatSettings()));
  TCell::SetAsDateTime(Value);
}
void TVirtualCell::SetAsFloat(double Value) {
  PutText(FloatToText(Value, FormatSettings()));
  TCell::SetAsFloat(Value);
}
void TVirtualCell::SetAsInteger(std::int32_t Value) {
  PutText(IntegerToText(Value));
  TCell::SetAsInteger(Value);
}
void TVirtualCell::SetAsString(const std::string& Value) {
  PutText(Value);
  TCell::SetAsString(Value);
}
