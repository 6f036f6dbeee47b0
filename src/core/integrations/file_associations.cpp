#include "core/integrations/file_associations.h"

#include <string>
#include <vector>

namespace kivo {
namespace {

// The type names of an item: its caption, except "AAC", which is M4A and AAC.
std::vector<std::string> TypesOf(const MenuItem& item) {
  if (item.name == "M4A1") return {"M4A", "AAC"};
  return {item.caption};
}

std::vector<MenuItem*> TypeItems(MenuModel& menus) {
  std::vector<MenuItem*> items;
  for (auto& child : menus.Item("Association1").children) {
    if (child->IsSeparator() || child->name == "SelectAll1") continue;
    items.push_back(child.get());
  }
  return items;
}

}  // namespace

void RestoreAssociationChecks(MenuModel& menus, const IniDocument& ini) {
  bool all = true;
  for (MenuItem* item : TypeItems(menus)) {
    item->checked =
        ReadBool(ini, "FileAssociation", TypesOf(*item).front(), false);
    all = all && item->checked;
  }
  if (all) menus.SetChecked("SelectAll1", true);
}

void FileAssociations::Wire() {
  for (MenuItem* item : TypeItems(context_.menus)) {
    std::string name = item->name;
    item->on_click = [this, name] { TypeClicked(name); };
  }
  context_.menus.OnClick("SelectAll1", [this] { SelectAllClicked(); });
}

bool FileAssociations::Apply(const std::string& type_name, bool on) {
  std::string failed_value;
  Associations& associations = context_.platform.associations;
  bool ok = on ? associations.Register(type_name, &failed_value)
               : associations.Restore(type_name, &failed_value);
  if (!ok) {
    context_.ShowMessage("Failed to set data for '" + failed_value + "'");
  }
  return ok;
}

bool FileAssociations::TypeClicked(const std::string& item_name) {
  MenuItem& item = context_.menus.Item(item_name);
  bool on = item.checked;
  for (const std::string& type : TypesOf(item)) {
    if (!Apply(type, on)) return false;
  }
  for (const std::string& type : TypesOf(item)) {
    context_.settings.WriteBool("FileAssociation", type, on);
  }
  return true;
}

void FileAssociations::SelectAllClicked() {
  bool on = context_.menus.Checked("SelectAll1");
  for (MenuItem* item : TypeItems(context_.menus)) {
    item->checked = on;
    if (!TypeClicked(item->name)) return;
  }
}

}  // namespace kivo
