#pragma once
/** Cells whose values live outside the store (kind 9). */

#include "grid/Cells.h"

#include <cstdint>
#include <functional>
#include <string>

class TVirtualCell;

/** Asks the host for the text of the cell addressed by the two tags. */
using TGetVirtualValueEvent =
    std::function<void(const TVirtualCell& Sender, std::int32_t FirstTag, std::int32_t SecondTag, std::string& Value)>;
/** Hands the host the text written to the cell addressed by the two tags. */
using TSetVirtualValueEvent = std::function<void(TVirtualCell& Sender, std::int32_t FirstTag,
                                                 std::int32_t SecondTag, const std::string& Value)>;

/** A cell that keeps no value: AsString asks the get-value callback, writing
 *  AsString calls the set-value callback, and the other forms convert
 *  through that text as a text cell does. */
class TVirtualCell : public TCell {
public:
  using TCell::TCell;

  std::int32_t FirstTag() const { return FFirstTag; }
  void SetFirstTag(std::int32_t Value) { FFirstTag = Value; }
  std::int32_t SecondTag() const { return FSecondTag; }
  void SetSecondTag(std::int32_t Value) { FSecondTag = Value; }
  void SetOnGetValue(TGetVirtualValueEvent Value) { FOnGetValue = std::move(Value); }
  void SetOnSetValue(TSetVirtualValueEvent Value) { FOnSetValue = std::move(Value); }

  bool AsBoolean() const override;
  TDateTime AsDateTime() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  /** The get-value callback's text; empty without one. */
  std::string AsString() const override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(std::int32_t Value) override;
  void SetAsString(const std::string& Value) override;

private:
  void PutText(const std::string& text);
  std::int32_t FFirstTag = 0;
  std::int32_t FSecondTag = 0;
  TGetVirtualValueEvent FOnGetValue;
  TSetVirtualValueEvent FOnSetValue;
};
