// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LineFile.h"
#include "Fixtures.h"

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
