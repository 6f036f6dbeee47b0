#include "desktop/shell/file_filters.h"

#include <gtest/gtest.h>

namespace kivo::desktop {
namespace {

TEST(FileFiltersTest, WindowsFilterBecomesQtNameFilters) {
  const QStringList filters =
      QtNameFilters("Playlists|*.kpp;*.m3u|All Files (*.*)|*.*");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], QStringLiteral("Playlists (*.kpp *.KPP *.m3u *.M3U)"));
  EXPECT_EQ(filters[1], QStringLiteral("All Files (*.*) (*)"));
}

TEST(FileFiltersTest, EmptyPatternsAndDanglingDescriptionsAreDropped) {
  // The media filter ends its pattern list with ";" and the text with "|".
  const QStringList filters = QtNameFilters("Media|*.mp3;*.fla;|");
  ASSERT_EQ(filters.size(), 1);
  EXPECT_EQ(filters[0], QStringLiteral("Media (*.mp3 *.MP3 *.fla *.FLA)"));
  EXPECT_EQ(QtNameFilters("Anything|"),
            QStringList{QStringLiteral("Anything (*)")});
  EXPECT_TRUE(QtNameFilters("").isEmpty());
}

TEST(FileFiltersTest, SelectedFilterIsFoundByItsTextOrDescription) {
  const QStringList filters = QtNameFilters("A|*.a|All Files (*.*)|*.*");
  EXPECT_EQ(NameFilterIndex(filters, filters[1]), 1);
  // Dialogs that hide the patterns report the description alone.
  EXPECT_EQ(NameFilterIndex(filters, QStringLiteral("A")), 0);
  EXPECT_EQ(NameFilterIndex(filters, QStringLiteral("All Files (*.*)")), 1);
  EXPECT_EQ(NameFilterIndex(filters, QStringLiteral("All")), -1);
  EXPECT_EQ(NameFilterIndex(filters, QString()), -1);
}

TEST(FileFiltersTest, EachTypeGivesTheExtensionOfItsFirstPattern) {
  const std::string filter = "KPP|*.kpp|Lists|;*.m3u;*.pls|All|*.*|Odd|*.a?c";
  EXPECT_EQ(TypeExtension(filter, 0, "kpp"), "kpp");
  EXPECT_EQ(TypeExtension(filter, 1, "kpp"), "m3u");
  EXPECT_EQ(TypeExtension(filter, 2, "kpp"), "kpp");
  EXPECT_EQ(TypeExtension(filter, 3, "kpp"), "kpp");
  EXPECT_EQ(TypeExtension(filter, 4, "kpp"), "kpp");
  EXPECT_EQ(TypeExtension(filter, -1, "kpp"), "kpp");
  EXPECT_EQ(TypeExtension(filter, 1, ""), "");
}

TEST(FileFiltersTest, DefaultExtensionOnlyForNamesWithout) {
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/home/u/list"), "kpp"),
            QStringLiteral("/home/u/list.kpp"));
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/home/u/list.m3u"), "kpp"),
            QStringLiteral("/home/u/list.m3u"));
  // A dot in a folder name does not count.
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/home/u.v/list"), "kpp"),
            QStringLiteral("/home/u.v/list.kpp"));
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/home/u/list"), ""),
            QStringLiteral("/home/u/list"));
}

}  // namespace
}  // namespace kivo::desktop
