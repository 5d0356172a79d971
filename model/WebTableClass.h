#pragma once

#include "model/WebInputClass.h"

#include <memory>
#include <string>
#include <vector>

/** One table of the project, identified by (DB, Name), with its page rights,
 *  caption, mail flag and its columns in column order. */
class TWebTable {
public:
  void ClearInputList() { InputList.clear(); }
  void AddToInputList(std::unique_ptr<TWebInput> input) { InputList.push_back(std::move(input)); }
  int GetInputListSize() const { return static_cast<int>(InputList.size()); }
  /** Column at index; outside the list raises EListError. */
  TWebInput* GetInputListElement(int index) const;
  /** Removes the column at index; the ones behind it keep their order.
   *  An index outside the list is ignored. */
  void RemoveInputListElement(int index);

  std::string DB;
  std::string Name;
  std::string Caption;
  std::string InsertRight;
  std::string UpdateRight;
  std::string DeleteRight;
  std::string DetailRight;
  std::string ListRight;
  bool SendMail = false;
  std::vector<std::unique_ptr<TWebInput>> InputList;
};
