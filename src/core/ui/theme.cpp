#include "core/ui/theme.h"

#include <charconv>

#include "core/ini/ini_file.h"
#include "core/ui/folder_menu.h"
#include "core/util/case_path.h"

namespace kivo {
namespace {

constexpr const char kSection[] = "Theme";

// Reads the keys of one theme file in order and remembers the first colour
// it could not read; every read after that does nothing.
class ThemeReader {
 public:
  explicit ThemeReader(const IniDocument& theme) : theme_(theme) {}

  bool Color(const char* key, const char* fallback, ColorValue* out) {
    if (failure_) return false;
    std::string text = theme_.GetText(kSection, key, fallback);
    std::optional<ColorValue> value = ParseColor(text);
    if (!value) {
      failure_ = ReorderColorText(text);
      return false;
    }
    *out = *value;
    return true;
  }
  long long Int(const char* key, long long fallback) const {
    return theme_.GetInt(kSection, key, fallback);
  }
  std::string Text(const char* key, const char* fallback) const {
    return theme_.GetText(kSection, key, fallback);
  }
  const std::optional<std::string>& failure() const { return failure_; }

 private:
  const IniDocument& theme_;
  std::optional<std::string> failure_;
};

bool ReadWindowLooks(ThemeReader& reader, ThemeLooks* looks,
                     ThemeColors* colors) {
  PlaylistLook& list = looks->playlist;
  if (!reader.Color("background_color", "#000000", &list.background)) {
    return false;
  }
  colors->background = list.background;
  if (!reader.Color("item_color", "#00FF00", &list.font_color)) return false;
  list.font_size = static_cast<int>(reader.Int("font_size", 8));
  list.font_name = reader.Text("font_name", "MS Sans Serif");
  return reader.Color("seekbar_background_color", "#D4D0C8",
                      &looks->seekbar.background) &&
         reader.Color("seekbar_progress_color", "#0A246A",
                      &looks->seekbar.bar) &&
         reader.Color("VU-Left_background_color", "#D4D0C8",
                      &looks->level_left.background) &&
         reader.Color("VU-Left_color", "#0A246A", &looks->level_left.bar) &&
         reader.Color("VU-Right_background_color", "#D4D0C8",
                      &looks->level_right.background) &&
         reader.Color("VU-Right_color", "#0A246A", &looks->level_right.bar);
}

bool ReadLineColors(ThemeReader& reader, ThemeColors* colors) {
  if (!reader.Color("item_color", "#00FF00", &colors->item_color) ||
      !reader.Color("Selected_Item_Color", "#0A246A",
                    &colors->selected_item_color) ||
      !reader.Color("Playing_item_color", "#00FF00",
                    &colors->playing_item_color) ||
      !reader.Color("Queued_Item_Color", "#FF0000",
                    &colors->queued_item_color)) {
    return false;
  }
  colors->volume_progress_color =
      reader.Text("volume_progress_color", "#000000");
  colors->seekbar_progress_color =
      reader.Text("seekbar_progress_color", "#0A246A");
  colors->playing_item_bold = reader.Int("Playing_item_bold", 1) != 0;
  return true;
}

}  // namespace

std::string ReorderColorText(std::string_view text) {
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  std::string reordered;
  for (size_t start : {size_t{4}, size_t{2}, size_t{0}}) {
    if (start < text.size()) reordered.append(text.substr(start, 2));
  }
  return reordered;
}

std::optional<ColorValue> ParseColor(std::string_view text) {
  std::string hex = ReorderColorText(text);
  if (hex.empty()) return std::nullopt;
  ColorValue value = 0;
  auto [end, error] =
      std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
  if (error != std::errc() || end != hex.data() + hex.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> LineHeightForFontSize(long long font_size) {
  struct Band {
    long long from, to;
    int height;
  };
  static constexpr Band kBands[] = {
      {8, 8, 13},   {9, 9, 15},   {10, 10, 16}, {11, 11, 17}, {12, 13, 20},
      {14, 16, 24}, {17, 17, 26}, {18, 19, 29}, {20, 22, 32}, {23, 24, 37}};
  for (const Band& band : kBands) {
    if (font_size >= band.from && font_size <= band.to) return band.height;
  }
  return std::nullopt;
}

std::optional<std::string> ReadTheme(const IniDocument& theme,
                                     ThemeLooks* looks, ThemeColors* colors) {
  ThemeReader reader(theme);
  if (!ReadWindowLooks(reader, looks, colors)) return reader.failure();
  if (auto height = LineHeightForFontSize(reader.Int("font_size", 8))) {
    looks->playlist.line_height = *height;
  }
  if (!ReadLineColors(reader, colors)) return reader.failure();
  return std::nullopt;
}

void ApplyTheme(Context& context, PlayerState& state, const std::string& path) {
  std::optional<std::string> failure =
      ReadTheme(IniFile(path).Load(), &state.ui.looks, &state.theme_colors);
  MainWindow& window = context.platform.window;
  const ThemeLooks& looks = state.ui.looks;
  window.SetPlaylistLook(looks.playlist);
  window.SetSeekbarLook(looks.seekbar);
  window.SetLevelBarLooks(looks.level_left, looks.level_right);
  window.PlaylistChanged();
  if (failure) {
    context.platform.dialogs.MessageBox(
        "'$" + *failure + "' is not a valid integer value", kPlayerName,
        MessageIcon::kError, MessageButtons::kOk);
  }
}

namespace {

LayeredFolder ThemeFolders(const Context& context) {
  return LayeredFolder(ResolveIgnoringCase(context.program_dir, "Theme"),
                       context.shipped.theme, /*ignore_case=*/true);
}

}  // namespace

std::string ThemeFile(const Context& context, const std::string& name) {
  return ThemeFolders(context).FileOf(name + ".ini");
}

void BuildThemeMenu(Context& context, PlayerState& state) {
  std::vector<std::string> captions;
  for (const std::string& entry : ThemeFolders(context).Entries()) {
    size_t dot = entry.rfind('.');
    if (dot != std::string::npos && entry.substr(dot) == ".ini") {
      captions.push_back(entry.substr(0, dot));
    }
  }
  FillRadioSubmenu(context.menus, "Theme1", captions,
                   [&context, &state](const std::string& item) {
                     SelectTheme(context, state, item);
                   });
}

void MarkCurrentTheme(Context& context) {
  CheckItemsCaptioned(
      context.menus, "Theme1",
      context.settings.ReadSettingText("settings", "Theme", "Default"));
}

void SelectTheme(Context& context, PlayerState& state,
                 const std::string& item_name) {
  MenuItem& item = context.menus.Item(item_name);
  context.menus.SetChecked(item, true);
  std::string name = item.caption;
  context.settings.WriteText("settings", "Theme", name);
  ApplyTheme(context, state, ThemeFile(context, name));
}

}  // namespace kivo
