#pragma once

#include "core/StringList.h"

#include <cstdint>
#include <string>

/** The options of the HTML form control that the generated pages use for one
 *  column: validation, sizes, default value, lookup source and fixed item list,
 *  text-area, radio, hidden and upload options. */
class TBaseHtmlInput {
public:
  explicit TBaseHtmlInput(const std::string& name);

  /** Kept for the generators' interface; it produces nothing. */
  void getHtmlString() {}

  std::string iName;
  std::string iId;
  std::string iCss;
  std::string iCheckType = "No";
  bool iRequired = false;
  std::string iErrorText;
  std::string iCheckMin = "0";
  std::string iCheckMax = "100";
  bool iReadOnly = false;
  int32_t iLength = 35;
  int32_t iMax = 50;
  std::string iValue;
  bool iLElementFromDb = false;
  std::string iLDb;
  std::string iLTable;
  std::string iLDisplayField;
  std::string iLValueField;
  std::string iLWhereField;
  std::string iLRelation;
  std::string iLValue;
  std::string iLShort;
  bool iLDistinct = true;
  std::string iLSQL;
  int32_t iLSource = 0;
  TStringList ItemList;
  int32_t iTAWidth = 0;
  int32_t iTALines = 0;
  bool iTAWrap = false;
  std::string iTADefault;
  bool iTARequired = false;
  std::string iTAErrorText;
  std::string iHiValue;
  bool iRaHorizontal = false;
  std::string iFileUpDir;
  std::string iFileUpSize;

  bool operator==(const TBaseHtmlInput&) const = default;
};
