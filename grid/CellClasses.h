#pragma once
/** The typed cells of the store and the text forms they convert through.
 *  Texts follow the store's format settings: "True"/"False", floats in the
 *  general format with up to 15 significant digits, dates as the short date
 *  plus the long time when the time of day is not zero. */

#include "grid/Cells.h"

#include <cstdint>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- text forms

std::string BooleanToText(bool Value);
std::string IntegerToText(std::int32_t Value);
std::string FloatToText(double Value, const TFormatSettings& Settings);
/** Raises EConvertError for a value outside the years 1 to 9999. */
std::string DateTimeToText(TDateTime Value, const TFormatSettings& Settings);

/** An optional sign and decimal digits within 32 bits, or "$" and up to
 *  eight hexadecimal digits (the 32-bit pattern). */
bool TryTextToInteger(std::string_view Text, std::int32_t& Value);
/** Blanks around, a sign, digits with the decimal separator, an optional exponent. */
bool TryTextToFloat(std::string_view Text, double& Value, const TFormatSettings& Settings);
/** A date in the short-date order, optionally a blank and a time h:n[:s]. */
bool TryTextToDateTime(std::string_view Text, TDateTime& Value, const TFormatSettings& Settings);
/** A number (not zero is True) or "True"/"False" in any letter case. */
bool TryTextToBoolean(std::string_view Text, bool& Value, const TFormatSettings& Settings);

/** As the Try forms, raising EConvertError "'<text>' is not a valid ..." when the text is none. */
std::int32_t TextToInteger(std::string_view Text);
double TextToFloat(std::string_view Text, const TFormatSettings& Settings);
TDateTime TextToDateTime(std::string_view Text, const TFormatSettings& Settings);
bool TextToBoolean(std::string_view Text, const TFormatSettings& Settings);

/** To the nearest integer, ties to the even one. A value that is no number
 *  or beyond 32 bits raises the integer conversion error. */
std::int32_t RoundToInteger(double Value);

TDateTime EncodeDate(int Year, int Month, int Day);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
/** Today at midnight, local time. */
TDateTime Date();

// ---------------------------------------------------------------- cells

/** Check-box cells (kind 3). */
class TBooleanCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return FValue; }
  TDateTime AsDateTime() const override { return 0; }
  double AsFloat() const override { return 0; }
  std::int32_t AsInteger() const override { return 0; }
  std::string AsString() const override { return BooleanToText(FValue); }
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  void SetAsString(const std::string& Value) override;

private:
  bool FValue = false;
};

/** Date-time cells (kind 4). */
class TDateTimeCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return false; }
  TDateTime AsDateTime() const override { return FValue; }
  double AsFloat() const override { return FValue; }
  std::int32_t AsInteger() const override { return RoundToInteger(FValue); }
  std::string AsString() const override { return DateTimeToText(FValue, FormatSettings()); }
  /** Stores today's date, whatever the value. */
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  /** Never fails: empty or bad text stores 0. */
  void SetAsString(const std::string& Value) override;

private:
  TDateTime FValue = 0;
};

/** Floating-point cells (kind 5). */
class TFloatCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return false; }
  TDateTime AsDateTime() const override { return FValue; }
  double AsFloat() const override { return FValue; }
  std::int32_t AsInteger() const override { return RoundToInteger(FValue); }
  std::string AsString() const override { return FloatToText(FValue, FormatSettings()); }
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  /** Bad or empty text raises and keeps the value. */
  void SetAsString(const std::string& Value) override;

private:
  double FValue = 0;
};

/** Integer cells (kind 6; image columns keep the image index). */
class TIntegerCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return false; }
  TDateTime AsDateTime() const override { return 0; }
  double AsFloat() const override { return FValue; }
  std::int32_t AsInteger() const override { return FValue; }
  std::string AsString() const override { return IntegerToText(FValue); }
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  /** Empty text stores 0; bad text raises and keeps the value. */
  void SetAsString(const std::string& Value) override;

private:
  std::int32_t FValue = 0;
};

/** Text cells (kind 7 and every kind without a class of its own). Reading
 *  another form parses the text and raises when it is no such value. */
class TStringCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return TextToBoolean(FValue, FormatSettings()); }
  TDateTime AsDateTime() const override { return TextToDateTime(FValue, FormatSettings()); }
  double AsFloat() const override { return TextToFloat(FValue, FormatSettings()); }
  std::int32_t AsInteger() const override { return TextToInteger(FValue); }
  std::string AsString() const override { return FValue; }
  /** The text itself, without a copy. */
  const std::string& Text() const { return FValue; }
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  void SetAsString(const std::string& Value) override;

private:
  std::string FValue;
};

/** The running row number (kind 0): Row + 1 of the last fetch. Writes change
 *  nothing but are still reported. */
class TIncrementCell : public TCell {
public:
  using TCell::TCell;
  bool AsBoolean() const override { return false; }
  TDateTime AsDateTime() const override { return 0; }
  double AsFloat() const override { return Row() + 1.0; }
  std::int32_t AsInteger() const override { return Row() + 1; }
  std::string AsString() const override { return IntegerToText(Row() + 1); }
};
