#pragma once

#include "core/app/context.h"

namespace kivo {

// The File Association items: each makes the player the handler of its type
// (or gives the type back) and stores the choice in section `FileAssociation`.
class FileAssociations {
 public:
  explicit FileAssociations(Context& context) : context_(context) {}

  // Attaches the click handlers of the 26 type items and `SelectAll1`.
  void Wire();
  // A type item's click after its mark toggled; false when a write failed
  // (the user was told, and the key was not stored).
  bool TypeClicked(const std::string& item_name);
  void SelectAllClicked();

 private:
  bool Apply(const std::string& type_name, bool on);

  Context& context_;
};

// The type items' marks from section `FileAssociation` (the AAC item from
// "M4A"), then `SelectAll1` when all of them are checked. Nothing is
// registered.
void RestoreAssociationChecks(MenuModel& menus, const IniDocument& ini);

}  // namespace kivo
