#include <gtest/gtest.h>

#include <cstring>

#include "app/command_words.h"
#include "app/paths.h"
#include "app/version_number.h"
#include "uninstall/restart_section.h"

TEST(ParentFolder, Cases) {
  struct Case { const char* path; const char* parent; } cases[] = {
      {"C:\\A\\B\\x.lnk", "C:\\A\\B"},
      {"C:\\A\\B\\", "C:\\A"},
      {"x.lnk", ""},
      {"\\x.lnk", ""},
      {"\\", ""},
      {"", ""},
      {"C:\\x", "C:"},
  };
  for (const Case& c : cases) EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
}

TEST(Version, PackingAndText) {
  VersionNumber v{6, 10, 3, 1};
  EXPECT_EQ(FormatVersionFull(v), "6.10.03.01");
  EXPECT_EQ(FormatVersionShort(v), "6.10.03");
  EXPECT_GT(PackVersion(v), PackVersion({6, 10, 3, 0}));
  EXPECT_LT(PackVersion(v), PackVersion({6, 10, 3, 2}));
  // A part of 100 or more carries into the next one.
  EXPECT_EQ(PackVersion({6, 9, 100, 0}), PackVersion({6, 10, 0, 0}));
  EXPECT_EQ(FormatVersionShort({6, 70, 1, 9}), "6.70.01");
  EXPECT_EQ(FormatVersionFull({65535, 65535, 65535, 65535}), "65535.65535.65535.65535");
}

TEST(CommandWords, CaseAndPosition) {
  std::vector<std::string> args = {"setup.exe", "-S", "-install", "/S"};
  EXPECT_TRUE(HasWordFrom(args, 1, {"-s"}));
  EXPECT_TRUE(HasWordFrom(args, 2, {"/s", "-s"}));
  EXPECT_FALSE(HasWordFrom(args, 4, {"/s", "-s"}));
  EXPECT_FALSE(HasWordFrom({"setup.exe", "-ss", "s"}, 1, {"-s"}));
  EXPECT_TRUE(EqualsNoCase("-NoDeskIco", "-nodeskico"));
  EXPECT_FALSE(EqualsNoCase("-nodeskic", "-nodeskico"));
  // Only ASCII letters fold: a byte above 127 matches only itself.
  EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));
}

namespace {
std::string Entries(const std::vector<char>& block) {
  std::string all;
  for (size_t i = 0; i < block.size() && block[i]; i += std::strlen(block.data() + i) + 1)
    all += std::string(block.data() + i) + ";";
  return all;
}
}  // namespace

TEST(RestartSection, AppendsAfterExistingEntries) {
  std::vector<char> block = {'a', '=', 'b', '\0', 'c', '=', 'd', '\0', '\0'};
  ASSERT_TRUE(AppendSectionEntry(block, 8, "NUL=C:\\x.tmp"));
  EXPECT_EQ(Entries(block), "a=b;c=d;NUL=C:\\x.tmp;");
  EXPECT_EQ(block[8 + 12], '\0');
  EXPECT_EQ(block[8 + 13], '\0');

  std::vector<char> empty;
  ASSERT_TRUE(AppendSectionEntry(empty, 0, "NUL=C:\\y"));
  ASSERT_TRUE(AppendSectionEntry(empty, 9, "NUL=C:\\z"));
  EXPECT_EQ(Entries(empty), "NUL=C:\\y;NUL=C:\\z;");
}

TEST(RestartSection, RefusesWhatDoesNotFit) {
  const std::string entry = "NUL=C:\\x";  // 8 bytes, 10 with both zeros
  std::vector<char> block(100, 'k');
  block[89] = '\0';
  std::vector<char> before = block;
  EXPECT_TRUE(AppendSectionEntry(block, 90, entry, 100));     // exactly fills 100 bytes
  block = before;
  EXPECT_FALSE(AppendSectionEntry(block, 91, entry, 100));    // one byte short
  EXPECT_EQ(block, before);
  EXPECT_FALSE(AppendSectionEntry(block, 200, entry, 100));   // offset outside
  EXPECT_FALSE(AppendSectionEntry(block, 0, "", 100));
}
