#include "rules/entry_rules.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

struct FormCase {
  const char* entry;
  bool unplayable;
  const char* playStepName;
  const char* clickName;
  const char* failed;
  const char* loadForm;
  const char* copyText;
};

TEST(EntryRules, EachFormReadsItsFirstByteOnly) {
  const FormCase cases[] = {
      {" /m/a.wav", false, "/m/a.wav", "/m/a.wav", "</m/a.wav>", " /m/a.wav", "/m/a.wav"},
      {"/m/a.wav", false, "/m/a.wav", "/m/a.wav", "<m/a.wav>", " /m/a.wav", "m/a.wav"},
      {"*/m/a.wav", false, "/m/a.wav", "*/m/a.wav", "</m/a.wav>", " */m/a.wav", "/m/a.wav"},
      {"  two", false, " two", " two", "< two>", "  two", " two"},
      {"\tx", false, "\tx", "\tx", "<x>", " \tx", "x"},
      {"<random>", true, "<random>", "<random>", "<random>>", "<random>", "random>"},
      {"<autoplay>", true, "<autoplay>", "<autoplay>", "<autoplay>>", "<autoplay>", "autoplay>"},
      {"<x.wav>", true, "<x.wav>", "<x.wav>", "<x.wav>>", "<x.wav>", "x.wav>"},
      {" ", false, "", "", "<>", " ", ""},
      {"a", false, "a", "a", "<>", " a", ""},
  };
  for (const FormCase& c : cases) {
    SCOPED_TRACE(c.entry);
    const QByteArray entry(c.entry);
    EXPECT_EQ(IsUnplayable(entry), c.unplayable);
    EXPECT_EQ(FileNameForPlayStep(entry), c.playStepName);
    EXPECT_EQ(FileNameForListClick(entry), c.clickName);
    EXPECT_EQ(FailedForm(entry), c.failed);
    EXPECT_EQ(LoadForm(entry), c.loadForm);
    EXPECT_EQ(CopyText(entry), c.copyText);
  }
}

TEST(EntryRules, LongEntriesAreCutByBytes) {
  for (int length : {1, 201, 202, 300}) {
    SCOPED_TRACE(length);
    const QByteArray entry = ' ' + QByteArray(length - 1, 'p');
    const QByteArray failed = FailedForm(entry);
    EXPECT_EQ(failed.size(), std::min(length, 201) + 1);
    EXPECT_TRUE(failed.startsWith('<') && failed.endsWith('>'));
    EXPECT_EQ(failed.mid(1, failed.size() - 2), entry.mid(1, 200));
  }
  EXPECT_EQ(StarReset('*' + QByteArray(299, 's')), ' ' + QByteArray(200, 's'));
  EXPECT_EQ(StarReset("*x"), " x");
  EXPECT_EQ(CopyText(' ' + QByteArray(150, 'c')), QByteArray(100, 'c'));
}

TEST(EntryRules, OnlyExactMarkersAreLeftUncounted) {
  const std::vector<QByteArray> list = {"<random>", "<autoplay>", "<autoplay>",
                                        "<Random>", "<random> ",  " <random>",
                                        "<x>",      "<y>",        " a"};
  EXPECT_EQ(CountPlayable(list), 6);
  EXPECT_EQ(CountPlayable({"<random>", "<autoplay>"}), 0);
  EXPECT_EQ(CountPlayable({}), 0);
  EXPECT_TRUE(IsModeMarker("<random>"));
  EXPECT_FALSE(IsModeMarker("<Random>"));
}

TEST(EntryRules, EmptyEntriesNeverEnterTheList) {
  EXPECT_FALSE(IsAcceptableEntry(""));
  EXPECT_TRUE(IsAcceptableEntry(" "));
}

TEST(EntryRules, CutsNeverSplitACharacter) {
  const QByteArray title = QString::fromUtf8("日本語の曲名").toUtf8(); // 3 bytes each
  EXPECT_EQ(CutToWholeCharacters(title, 7), title.left(6));
  EXPECT_EQ(CutToWholeCharacters(title, 9), title.left(9));
  EXPECT_EQ(CutToWholeCharacters("abc", 10), "abc");
  EXPECT_EQ(FileNamePart("/music/dir/a.mp3", 511), "a.mp3");
  EXPECT_EQ(FileNamePart("a.mp3", 511), "a.mp3");
  EXPECT_EQ(FileNamePart("/dir/", 511), "");
  EXPECT_EQ(FileNamePart('/' + QByteArray(600, 'n'), 511).size(), 511);
}

} // namespace
