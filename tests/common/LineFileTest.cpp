// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LineFile.h"
#include "Fixtures.h"
#include "common/CodePage.h"
#include "common/LineDiff.h"

using gvt::common::Lines;
using gvt::test::GameTree;

TEST(LineFile, ReadsLinesAndRewritesThemKeepingTheTailByteForByte) {
    const QByteArray longLine = QByteArray(10 * 1024 * 1024, 'L') + "end";
    const QList<std::tuple<const char*, QByteArray, int, Lines, QByteArray>> cases = {
        // name, content, lines read, the lines, what follows them
        {"mixed ends", "one\r\ntwo\nthree\r\n", 2, {"one", "two"}, "three\r\n"},
        {"lone CR stays in the line", "a\rb\r\nc\r", 3, {"a\rb", "c\r", ""}, ""},
        {"NUL byte", QByteArray("n\0ul\r\nnext\r\n", 12), 1, {QByteArray("n\0ul", 4)}, "next\r\n"},
        {"invalid UTF-8", "\xff\xfe\x80\r\n\xc3(\n", 1, {"\xff\xfe\x80"}, "\xc3(\n"},
        {"no final line end", "one\r\ntwo", 2, {"one", "two"}, ""},
        {"fewer lines than asked", "one\n", 4, {"one", "", "", ""}, ""},
        {"10 MB line", longLine + "\ntail", 1, {longLine}, "tail"},
    };
    const gvt::platform::GameInstall game; // paths of this machine need no prefix
    for (const auto& [name, content, count, expected, tail] : cases) {
        GameTree tree;
        tree.addFile(u"Mods/GvTarsis/Init.con"_s, content);
        const QString path = tree.gameFolder + u"\\mods\\gvtarsis\\INIT.CON"_s;
        const auto lines = gvt::common::readLines(game, path, count);
        ASSERT_TRUE(lines) << name;
        EXPECT_EQ(*lines, expected) << name;
        Lines written = *lines;
        written[0] = "first";
        ASSERT_EQ(gvt::common::rewriteLeadingLines(game, path, written),
                  gvt::platform::RewriteResult::Rewritten)
            << name;
        EXPECT_EQ(tree.read(u"Mods/GvTarsis/Init.con"_s), gvt::test::crlf(written) + tail) << name;
    }
}

TEST(LineFile, TheDifferenceOfTwoContentsShowsEachChangeWithThreeLinesAround) {
    const QByteArray ten = gvt::test::crlf("1|2|3|4|5|6|7|8|9|10");
    const std::tuple<const char*, QByteArray, QByteArray, const char*> cases[] = {
        // name, before, after, the difference ("|" ends a line)
        {"one line", ten, gvt::test::crlf("1|2|3|4|five|6|7|8|9|10"),
         "@@ -2,7 +2,7 @@| 2| 3| 4|-5|+five| 6| 7| 8"},
        {"changes close enough share a hunk", ten, gvt::test::crlf("1|2|c|4|5|6|7|8|i|10"),
         "@@ -1,10 +1,10 @@| 1| 2|-3|+c| 4| 5| 6| 7| 8|-9|+i| 10"},
        {"changes far apart are hunks of their own", gvt::test::crlf("1|2|3|4|5|6|7|8|9|10|11|12"),
         gvt::test::crlf("one|2|3|4|5|6|7|8|9|10|11|twelve"),
         "@@ -1,4 +1,4 @@|-1|+one| 2| 3| 4|@@ -9,4 +9,4 @@| 9| 10| 11|-12|+twelve"},
        {"lines added after a last line without its end", "a\r\nb", "a\r\nb\r\nc\r\n",
         "@@ -1,2 +1,3 @@| a|-b  [no line end]|+b|+c"},
        {"line ends alone", "x\ny\n", "x\r\ny\r\n", "@@ -1,2 +1,2 @@|-x  [LF]|-y  [LF]|+x|+y"},
        {"from nothing", "", "new\r\n", "@@ -0,0 +1 @@|+new"},
        {"read in the game's code page", "game.setPlayerName \"\xb3\"\r\n",
         "game.setPlayerName \"\xa3\"\r\n",
         "@@ -1 +1 @@|-game.setPlayerName \"ł\"|+game.setPlayerName \"Ł\""},
    };
    gvt::common::useGameCodePage(1250);
    for (const auto& [name, before, after, difference] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(gvt::common::lineDifference(before, after),
                  QString::fromUtf8(difference).replace(u'|', u'\n'));
    }
    gvt::common::useGameCodePage(1252);
    // A difference beyond its limit is told as a count of the lines left out.
    EXPECT_EQ(gvt::common::lineDifference("a\r\nb\r\nc\r\n", "x\r\ny\r\nz\r\n", 4),
              u"@@ -1,3 +1,3 @@\n-a\n-b\n-c\n… and 3 more lines"_s);
}
