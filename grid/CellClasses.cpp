#include "grid/CellClasses.h"

#include "core/Exception.h"
#include "core/TextUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr double kMSecsPerDay = 86400000.0;
// Day 0 of the date-time type (1899-12-30) counted from 1970-01-01.
constexpr std::int64_t kUnixDateDelta = -25569;
// 0001-01-01 and 9999-12-31 as date-time days.
constexpr double kMinDateTime = -693593.0;
constexpr double kMaxDateTime = 2958466.0;

[[noreturn]] void ConvertError(std::string_view text, const char* what) {
  throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

// Date and time joined as the classic type does: before day 0 the time of
// day counts away from zero.
TDateTime ComposeDateTime(TDateTime date, double time) { return date < 0 ? date - time : date + time; }

char Separator(const std::string& format, char fallback) {
  for (char c : format)
    if (!IsLetter(c)) return c;
  return fallback;
}

struct TParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

void AppendNumber(std::string& out, int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out += buf;
}

// Runs of y, m, d, h, n, s and z in the format stand for the parts; a run of
// two or more pads with zeros ("yy" is the year's last two digits). Anything
// else is copied.
std::string FormatParts(const std::string& format, const TParts& p) {
  std::string out;
  for (size_t i = 0; i < format.size();) {
    const char c = LowerCaseAscii(format[i]);
    size_t n = 1;
    while (i + n < format.size() && LowerCaseAscii(format[i + n]) == c) ++n;
    const int width = n >= 2 ? static_cast<int>(n) : 1;
    switch (c) {
      case 'y': AppendNumber(out, n <= 2 ? p.Year % 100 : p.Year, n <= 2 ? 2 : 4); break;
      case 'm': AppendNumber(out, p.Month, std::min(width, 2)); break;
      case 'd': AppendNumber(out, p.Day, std::min(width, 2)); break;
      case 'h': AppendNumber(out, p.Hour, std::min(width, 2)); break;
      case 'n': AppendNumber(out, p.Minute, std::min(width, 2)); break;
      case 's': AppendNumber(out, p.Second, std::min(width, 2)); break;
      case 'z': AppendNumber(out, p.MSec, n >= 3 ? 3 : 1); break;
      default: out.append(n, format[i]); break;
    }
    i += n;
  }
  return out;
}

// Splits text at sep into numbers of digits only; false for anything else.
struct TNumber {
  int Value = 0;
  size_t Digits = 0;
};

bool SplitNumbers(std::string_view text, char sep, std::vector<TNumber>& out, size_t maxParts) {
  out.clear();
  while (true) {
    const size_t end = std::min(text.find(sep), text.size());
    const std::string_view part = text.substr(0, end);
    if (part.empty() || part.size() > 9 || out.size() == maxParts) return false;
    TNumber number{0, part.size()};
    for (char c : part) {
      if (!IsDigit(c)) return false;
      number.Value = number.Value * 10 + (c - '0');
    }
    out.push_back(number);
    if (end == text.size()) return true;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

// ---------------------------------------------------------------- formatting

std::string BooleanToText(bool Value) { return Value ? "True" : "False"; }

std::string IntegerToText(std::int32_t Value) { return std::to_string(Value); }

std::string FloatToText(double Value, const TFormatSettings& Settings) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value > 0 ? "INF" : "-INF";
  if (Value == 0) return "0";
  // 15 significant digits as d.dddddddddddddde[+-]x; the rounding carries into the exponent.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", Value);
  std::string_view s = buf;
  std::string out;
  if (s.front() == '-') {
    out += '-';
    s.remove_prefix(1);
  }
  const size_t e = s.find('e');
  std::string digits;
  for (char c : s.substr(0, e))
    if (IsDigit(c)) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
  const char sep = Settings.DecimalSeparator;
  if (exponent >= 15 || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) {
      out += sep;
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += sep;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += sep;
      out.append(digits, whole);
    }
  }
  return out;
}

std::string DateTimeToText(TDateTime Value, const TFormatSettings& Settings) {
  if (!(Value >= kMinDateTime && Value < kMaxDateTime)) ConvertError(FloatToText(Value, Settings), "date and time");
  std::int64_t days = static_cast<std::int64_t>(std::trunc(Value));
  std::int64_t ms = std::llround(std::fabs(Value - std::trunc(Value)) * kMSecsPerDay);
  if (ms >= static_cast<std::int64_t>(kMSecsPerDay)) {
    ms = 0;
    days += Value < 0 ? -1 : 1;
  }
  TParts p;
  CivilFromDays(days + kUnixDateDelta, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(ms / 3600000);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.MSec = static_cast<int>(ms % 1000);
  std::string out = FormatParts(Settings.ShortDateFormat, p);
  if (ms != 0) {
    out += ' ';
    out += FormatParts(Settings.LongTimeFormat, p);
  }
  return out;
}

// ---------------------------------------------------------------- parsing

bool TryTextToInteger(std::string_view Text, std::int32_t& Value) {
  std::string_view s = Text;
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  std::uint64_t v = 0;
  if (!s.empty() && s.front() == '$') {
    s.remove_prefix(1);
    if (s.empty() || s.size() > 8) return false;
    for (char c : s) {
      int digit;
      if (IsDigit(c))
        digit = c - '0';
      else if (LowerCaseAscii(c) >= 'a' && LowerCaseAscii(c) <= 'f')
        digit = LowerCaseAscii(c) - 'a' + 10;
      else
        return false;
      v = v * 16 + static_cast<unsigned>(digit);
    }
    // The digits give the 32-bit pattern, so $FFFFFFFF is -1.
    const std::uint32_t bits = static_cast<std::uint32_t>(negative ? 0u - v : v);
    Value = static_cast<std::int32_t>(bits);
    return true;
  }
  if (s.empty()) return false;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
    if (v > 2147483648ull) return false;
  }
  if (!negative && v > 2147483647ull) return false;
  Value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v));
  return true;
}

bool TryTextToFloat(std::string_view Text, double& Value, const TFormatSettings& Settings) {
  std::string_view s = TrimBlanks(Text);
  // Check the shape first: from_chars alone would also take "inf" and "nan".
  size_t i = 0;
  const size_t n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  int digits = 0;
  while (i < n && IsDigit(s[i])) ++i, ++digits;
  size_t sepAt = std::string_view::npos;
  if (i < n && s[i] == Settings.DecimalSeparator) {
    sepAt = i++;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    int expDigits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;

  // from_chars takes no "+" and only "." as the separator.
  if (s.front() == '+') {
    s.remove_prefix(1);
    if (sepAt != std::string_view::npos) --sepAt;
  }
  std::string local;
  if (sepAt != std::string_view::npos && Settings.DecimalSeparator != '.') {
    local.assign(s);
    local[sepAt] = '.';
    s = local;
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  Value = v;
  return true;
}

bool TryTextToDateTime(std::string_view Text, TDateTime& Value, const TFormatSettings& Settings) {
  std::string_view s = TrimBlanks(Text);
  if (s.empty()) return false;
  std::string_view datePart = s, timePart;
  if (const size_t blank = s.find(' '); blank != std::string_view::npos) {
    datePart = s.substr(0, blank);
    timePart = TrimBlanks(s.substr(blank + 1));
  }
  // The order of year, month and day as the short-date format names them.
  std::string order;
  for (char c : Settings.ShortDateFormat) {
    const char l = LowerCaseAscii(c);
    if ((l == 'y' || l == 'm' || l == 'd') && order.find(l) == std::string::npos) order += l;
  }
  if (order.size() != 3) return false;
  std::vector<TNumber> numbers;
  if (!SplitNumbers(datePart, Separator(Settings.ShortDateFormat, '-'), numbers, 3) || numbers.size() != 3)
    return false;
  TParts p;
  for (size_t k = 0; k < 3; ++k) {
    int& part = order[k] == 'y' ? p.Year : order[k] == 'm' ? p.Month : p.Day;
    part = numbers[k].Value;
    // A year of one or two digits is taken in the window 1950..2049.
    if (order[k] == 'y' && numbers[k].Digits <= 2) part += part < 50 ? 2000 : 1900;
  }
  if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12 || p.Day < 1 ||
      p.Day > DaysInMonth(p.Year, p.Month))
    return false;
  double time = 0;
  if (!timePart.empty()) {
    if (!SplitNumbers(timePart, Separator(Settings.LongTimeFormat, ':'), numbers, 3) || numbers.size() < 2)
      return false;
    p.Hour = numbers[0].Value;
    p.Minute = numbers[1].Value;
    p.Second = numbers.size() > 2 ? numbers[2].Value : 0;
    if (p.Hour > 23 || p.Minute > 59 || p.Second > 59) return false;
    time = (p.Hour * 3600000.0 + p.Minute * 60000.0 + p.Second * 1000.0) / kMSecsPerDay;
  }
  Value = ComposeDateTime(EncodeDate(p.Year, p.Month, p.Day), time);
  return true;
}

bool TryTextToBoolean(std::string_view Text, bool& Value, const TFormatSettings& Settings) {
  double number = 0;
  if (TryTextToFloat(Text, number, Settings)) {
    Value = number != 0;
    return true;
  }
  if (SameText(Text, "true")) return Value = true, true;
  if (SameText(Text, "false")) return Value = false, true;
  return false;
}

std::int32_t TextToInteger(std::string_view Text) {
  std::int32_t v = 0;
  if (!TryTextToInteger(Text, v)) ConvertError(Text, "integer value");
  return v;
}

double TextToFloat(std::string_view Text, const TFormatSettings& Settings) {
  double v = 0;
  if (!TryTextToFloat(Text, v, Settings)) ConvertError(Text, "floating point value");
  return v;
}

TDateTime TextToDateTime(std::string_view Text, const TFormatSettings& Settings) {
  TDateTime v = 0;
  if (!TryTextToDateTime(Text, v, Settings)) ConvertError(Text, "date and time");
  return v;
}

bool TextToBoolean(std::string_view Text, const TFormatSettings& Settings) {
  bool v = false;
  if (!TryTextToBoolean(Text, v, Settings)) ConvertError(Text, "boolean value");
  return v;
}

std::int32_t RoundToInteger(double Value) {
  const double r = std::nearbyint(Value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) ConvertError(FloatToText(Value, TFormatSettings{}), "integer value");
  return static_cast<std::int32_t>(r);
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  return static_cast<TDateTime>(DaysFromCivil(Year, static_cast<unsigned>(Month), static_cast<unsigned>(Day)) -
                                kUnixDateDelta);
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
  CivilFromDays(static_cast<std::int64_t>(std::trunc(Value)) + kUnixDateDelta, Year, Month, Day);
}

TDateTime Date() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

// ---------------------------------------------------------------- writers

void TBooleanCell::SetAsBoolean(bool Value) {
  FValue = Value;
  TCell::SetAsBoolean(Value);
}
void TBooleanCell::SetAsDateTime(TDateTime Value) {
  FValue = false;
  TCell::SetAsDateTime(Value);
}
void TBooleanCell::SetAsFloat(double Value) {
  FValue = Value > 0;  // a NaN compares False
  TCell::SetAsFloat(Value);
}
void TBooleanCell::SetAsInteger(std::int32_t Value) {
  FValue = Value > 0;
  TCell::SetAsInteger(Value);
}
void TBooleanCell::SetAsString(const std::string& Value) {
  FValue = SameText(Value, "true");
  TCell::SetAsString(Value);
}

void TDateTimeCell::SetAsBoolean(bool Value) {
  FValue = Date();
  TCell::SetAsBoolean(Value);
}
void TDateTimeCell::SetAsDateTime(TDateTime Value) {
  FValue = Value;
  TCell::SetAsDateTime(Value);
}
void TDateTimeCell::SetAsFloat(double Value) {
  FValue = Value;
  TCell::SetAsFloat(Value);
}
void TDateTimeCell::SetAsInteger(std::int32_t Value) {
  FValue = Value;
  TCell::SetAsInteger(Value);
}
void TDateTimeCell::SetAsString(const std::string& Value) {
  TDateTime v = 0;
  FValue = !Value.empty() && TryTextToDateTime(Value, v, FormatSettings()) ? v : 0;
  TCell::SetAsString(Value);
}

void TFloatCell::SetAsBoolean(bool Value) {
  FValue = 0;
  TCell::SetAsBoolean(Value);
}
void TFloatCell::SetAsDateTime(TDateTime Value) {
  FValue = Value;
  TCell::SetAsDateTime(Value);
}
void TFloatCell::SetAsFloat(double Value) {
  FValue = Value;
  TCell::SetAsFloat(Value);
}
void TFloatCell::SetAsInteger(std::int32_t Value) {
  FValue = Value;
  TCell::SetAsInteger(Value);
}
void TFloatCell::SetAsString(const std::string& Value) {
  FValue = TextToFloat(Value, FormatSettings());
  TCell::SetAsString(Value);
}

void TIntegerCell::SetAsBoolean(bool Value) {
  FValue = 0;
  TCell::SetAsBoolean(Value);
}
void TIntegerCell::SetAsDateTime(TDateTime Value) {
  FValue = 0;
  TCell::SetAsDateTime(Value);
}
void TIntegerCell::SetAsFloat(double Value) {
  FValue = RoundToInteger(Value);
  TCell::SetAsFloat(Value);
}
void TIntegerCell::SetAsInteger(std::int32_t Value) {
  FValue = Value;
  TCell::SetAsInteger(Value);
}
void TIntegerCell::SetAsString(const std::string& Value) {
  FValue = Value.empty() ? 0 : TextToInteger(Value);
  TCell::SetAsString(Value);
}

void TStringCell::SetAsBoolean(bool Value) {
  FValue = BooleanToText(Value);
  TCell::SetAsBoolean(Value);
}
void TStringCell::SetAsDateTime(TDateTime Value) {
  FValue = DateTimeToText(Value, FormatSettings());
  TCell::SetAsDateTime(Value);
}
void TStringCell::SetAsFloat(double Value) {
  FValue = FloatToText(Value, FormatSettings());
  TCell::SetAsFloat(Value);
}
void TStringCell::SetAsInteger(std::int32_t Value) {
  FValue = IntegerToText(Value);
  TCell::SetAsInteger(Value);
}
void TStringCell::SetAsString(const std::string& Value) {
  FValue = Value;
  TCell::SetAsString(Value);
}
