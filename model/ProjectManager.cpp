#include "model/ProjectManager.h"

#include "core/Exception.h"
#include "model/General.h"

#include <algorithm>

std::vector<std::string> SiteSettingsCells(const TWebTable& t) {
  return {t.DB, t.Name, t.Caption, t.InsertRight, t.UpdateRight, t.DeleteRight, t.DetailRight, t.ListRight,
          BoolToText(t.SendMail)};
}

TProjectManager::TProjectManager() : DBManager(std::make_unique<TDBManager>()) {}

void TProjectManager::AddTable(std::unique_ptr<TWebTable> table) {
  if (!table) return;
  Tables.push_back(std::move(table));
  const TWebTable& added = *Tables.back();
  for (ITableListener* l : FListeners) l->TableAdded(added);
}

void TProjectManager::RemoveTable(const std::string& database, const std::string& tableName) {
  for (size_t i = 0; i < Tables.size(); ++i) {
    if (Tables[i]->DB != database || Tables[i]->Name != tableName) continue;
    // The last table takes the slot; callers that walk by index re-examine it.
    if (i + 1 != Tables.size()) Tables[i] = std::move(Tables.back());
    Tables.pop_back();
    for (ITableListener* l : FListeners) l->TableRemoved(database, tableName);
    return;
  }
}

TWebTable* TProjectManager::FindTable(const std::string& database, const std::string& tableName) const {
  for (const auto& t : Tables)
    if (t->DB == database && t->Name == tableName) return t.get();
  return nullptr;
}

TWebTable* TProjectManager::GetCurrentTable() const { return FindTable(CurrentDatabase, CurrentTable); }

TWebTable* TProjectManager::GetTable(int index) const {
  if (index < 0) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return static_cast<size_t>(index) < Tables.size() ? Tables[static_cast<size_t>(index)].get() : nullptr;
}

void TProjectManager::AddListener(ITableListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TProjectManager::RemoveListener(ITableListener* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}
