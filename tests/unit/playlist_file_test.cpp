#include "rules/line_text.h"
#include "rules/playlist_file.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<QByteArray>;

TEST(LineText, LineEndsAndTheZeroByte) {
  const struct {
    QByteArray text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\rb\r", {"a", "", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {QByteArray("\0a\r\nb", 5), {}},
      {QByteArray("a\r\0\nb", 5), {"a"}},
      {"no line end", {"no line end"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(SplitLines(c.text), c.lines);
  }
}

TEST(PlaylistFile, EveryEntryEndsInCrLfAndEmptyLinesNeverComeBack) {
  EXPECT_EQ(FormatPlaylist({}), "");
  EXPECT_EQ(FormatPlaylist({"<random>", " /m/a b.wav", "bare"}),
            "<random>\r\n /m/a b.wav\r\nbare\r\n");
  EXPECT_EQ(ParsePlaylist("\r\n a\r\n\n\r b\n"), Lines({" a", " b"}));
}

} // namespace
