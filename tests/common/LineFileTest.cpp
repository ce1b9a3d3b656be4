#include "common/LineFile.h"
#include "GameTree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::common::Lines;
using gvt::common::readLines;
using gvt::common::rewriteLeadingLines;
using gvt::common::rewriteWholeFile;
using gvt::test::GameTree;

namespace {
const QByteArray kLongLine = QByteArray(10 * 1024 * 1024, 'L') + "end";
}

TEST(LineFile, ReadsLinesAndRewritesThemKeepingTheTailByteForByte) {
    struct Case {
        const char* name;
        QByteArray content;
        int count;
        Lines expectedLines;
        QByteArray expectedTail; // what follows the count-th line
    };
    const QList<Case> cases = {
        {"LF only", "one\ntwo\nthree\nfour\n", 2, {"one", "two"}, "three\nfour\n"},
        {"mixed ends", "one\r\ntwo\nthree\r\n", 2, {"one", "two"}, "three\r\n"},
        {"lone CR stays in the line", "a\rb\r\nc\r", 3, {"a\rb", "c\r", ""}, ""},
        {"NUL byte", QByteArray("n\0ul\r\nnext\r\n", 12), 1, {QByteArray("n\0ul", 4)}, "next\r\n"},
        {"invalid UTF-8", "\xff\xfe\x80\r\n\xc3(\n", 1, {"\xff\xfe\x80"}, "\xc3(\n"},
        {"no final line end", "one\r\ntwo", 2, {"one", "two"}, ""},
        {"fewer lines than asked", "one\n", 4, {"one", "", "", ""}, ""},
        {"empty file", "", 2, {"", ""}, ""},
        {"10 MB line", kLongLine + "\ntail", 1, {kLongLine}, "tail"},
    };
    for (const Case& c : cases) {
        GameTree tree;
        tree.addFile(u"Mods/GvTarsis/Init.con"_s, c.content);
        const QString path = tree.gameFolder() + u"\\mods\\gvtarsis\\INIT.CON"_s;
        const auto lines = readLines(path, c.count);
        ASSERT_TRUE(lines) << c.name;
        EXPECT_EQ(*lines, c.expectedLines) << c.name;

        Lines written = *lines;
        written[0] = "first";
        ASSERT_TRUE(rewriteLeadingLines(path, written)) << c.name;
        EXPECT_EQ(tree.read(u"Mods/GvTarsis/Init.con"_s), gvt::test::crlf(written) + c.expectedTail)
            << c.name;
    }
}

TEST(LineFile, RewriteWholeLeavesNothingOfTheOldContent) {
    GameTree tree;
    tree.addFile(u"maplist.con"_s, "game.addLevel A\r\ngame.addLevel B\r\nold\r\n");
    ASSERT_TRUE(
        rewriteWholeFile(tree.gameFolder() + u"\\maplist.con"_s, {"game.setCurrentLevel "}));
    EXPECT_EQ(tree.read(u"maplist.con"_s), QByteArray("game.setCurrentLevel \r\n"));
}

TEST(LineFile, MissingOrUnwritableFilesFailAndStayUnchanged) {
    GameTree tree;
    tree.addFile(u"ro.con"_s, "keep\n");
    tree.setMode(u"ro.con"_s, 0444);
    tree.addFolder(u"dir.con"_s);
    const QString root = tree.gameFolder();
    EXPECT_FALSE(readLines(root + u"\\missing.con"_s, 3));
    EXPECT_FALSE(readLines(root + u"\\dir.con"_s, 3));
    EXPECT_FALSE(rewriteLeadingLines(root + u"\\missing.con"_s, {"x"}));
    EXPECT_FALSE(rewriteLeadingLines(root + u"\\dir.con"_s, {"x"}));
    EXPECT_FALSE(rewriteLeadingLines(root + u"\\ro.con"_s, {"x"}));
    EXPECT_FALSE(rewriteWholeFile(root + u"\\gone\\missing.con"_s, {"x"}));
    EXPECT_EQ(tree.read(u"ro.con"_s), QByteArray("keep\n"));
    EXPECT_EQ(tree.namesIn(QString()), (QStringList{u"dir.con"_s, u"ro.con"_s}));
}
