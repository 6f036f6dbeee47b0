#include "core/integrations/global_hotkeys.h"

#include <string>

namespace kivo {
namespace {

struct HotkeyRow {
  HotkeyAction action;
  const char* name;  // key of its code; "Enable_" + name enables it
  int default_key;
};

// Registration order.
constexpr std::array<HotkeyRow, 8> kTable = {{
    {HotkeyAction::kPlay, "Play", 88},
    {HotkeyAction::kStop, "Stop", 86},
    {HotkeyAction::kPrevious, "Previous", 90},
    {HotkeyAction::kNext, "Next", 66},
    {HotkeyAction::kRecord, "Record", 82},
    {HotkeyAction::kVolUp, "Vol_Up", 107},
    {HotkeyAction::kVolDown, "Vol_Down", 109},
    {HotkeyAction::kSearch, "Search", 83},
}};

// The order in which a fired id is compared.
constexpr std::array<HotkeyAction, 8> kDispatchOrder = {
    HotkeyAction::kPlay,    HotkeyAction::kStop,     HotkeyAction::kNext,
    HotkeyAction::kRecord,  HotkeyAction::kPrevious, HotkeyAction::kVolUp,
    HotkeyAction::kVolDown, HotkeyAction::kSearch};

}  // namespace

int HotkeyModifier(long long choice) {
  switch (choice) {
    case 0:
      return 0;
    case 2:
      return kModAlt;
    case 3:
      return kModShift;
    case 4:
      return kModWin;
    default:
      return kModControl;
  }
}

void GlobalHotkeys::RegisterHotkeys() {
  IniDocument ini = context_.settings.Snapshot();
  int modifier = HotkeyModifier(ini.GetInt("settings", "hotkey_key", 1));
  for (size_t i = 0; i < kTable.size(); ++i) {
    const HotkeyRow& row = kTable[i];
    if (!ReadBool(ini, "Hot_keys", std::string("Enable_") + row.name, true)) {
      continue;
    }
    int key =
        static_cast<int>(ini.GetInt("Hot_keys", row.name, row.default_key));
    // A key another program holds simply never fires.
    ids_[i] = static_cast<int>(i) + 1;
    context_.platform.hotkeys.Describe(ids_[i], row.name);
    context_.platform.hotkeys.Register(ids_[i], modifier, key);
  }
}

void GlobalHotkeys::UnregisterHotkeys() {
  for (size_t i = 0; i < kTable.size(); ++i) {
    context_.platform.hotkeys.Unregister(static_cast<int>(i) + 1);
    ids_[i] = 0;
  }
}

int GlobalHotkeys::IdOf(HotkeyAction action) const {
  for (size_t i = 0; i < kTable.size(); ++i) {
    if (kTable[i].action == action) return ids_[i];
  }
  return 0;
}

HotkeyAction GlobalHotkeys::Dispatch(int id) const {
  if (id == 0) return HotkeyAction::kNone;
  for (HotkeyAction action : kDispatchOrder) {
    if (IdOf(action) == id) return action;
  }
  return HotkeyAction::kNone;
}

void GlobalHotkeys::OptionClicked() {
  bool on = context_.menus.Checked("Globalehotkeys1");
  if (on) {
    RegisterHotkeys();
    TellIfUnavailable();
  } else {
    UnregisterHotkeys();
  }
  context_.settings.WriteBool("settings", "EnableHotKey", on);
}

void GlobalHotkeys::TellIfUnavailable() {
  if (told_unavailable_) return;
  std::string reason = context_.platform.hotkeys.UnavailableReason();
  if (reason.empty()) return;
  told_unavailable_ = true;
  context_.ShowMessage(reason);
}

}  // namespace kivo
