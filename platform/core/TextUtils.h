#pragma once
/** Locale-free text and number helpers. Letters are compared and converted
 *  only in the ASCII range, so UTF-8 text passes through unchanged. */

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char LowerCaseAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
constexpr char UpperCaseAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

/** Removes leading and trailing bytes with codes 0 to 32. */
std::string Trim(std::string_view text);

/** Parses an optional sign and decimal digits filling the whole text, within
 *  the 32-bit range. Nothing else (blanks, "+", hex) is accepted. */
bool TryStrToInt(std::string_view text, int32_t& value);
int32_t StrToIntDef(std::string_view text, int32_t def);
/** As TryStrToInt, raising EConvertError with the text when it fails. */
int32_t StrToInt(std::string_view text);
std::string IntToStr(int64_t value);

std::vector<std::string> SplitString(std::string_view text, char separator);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
