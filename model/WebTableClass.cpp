#include "model/WebTableClass.h"

#include "core/Exception.h"

TWebInput* TWebTable::GetInputListElement(int index) const {
  if (index < 0 || index >= GetInputListSize())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return InputList[static_cast<size_t>(index)].get();
}

void TWebTable::RemoveInputListElement(int index) {
  if (index < 0 || index >= GetInputListSize()) return;
  InputList.erase(InputList.begin() + index);
}
