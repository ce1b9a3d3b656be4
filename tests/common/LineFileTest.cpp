#include "common/LineFile.h"
#include "GameTree.h"

#include <gtest/gtest.h>

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
        tree.addFile(QStringLiteral("Mods/GvTarsis/Init.con"), c.content);
        const QString path = tree.gameFolder() + QStringLiteral("\\mods\\gvtarsis\\INIT.CON");
        const auto lines = readLines(path, c.count);
        ASSERT_TRUE(lines) << c.name;
        EXPECT_EQ(*lines, c.expectedLines) << c.name;

        Lines written = *lines;
        written[0] = "first";
        ASSERT_TRUE(rewriteLeadingLines(path, written)) << c.name;
        EXPECT_EQ(tree.read(QStringLiteral("Mods/GvTarsis/Init.con")),
                  gvt::test::crlf(written) + c.expectedTail)
            << c.name;
    }
}

TEST(LineFile, RewriteWholeLeavesNothingOfTheOldContent) {
    GameTree tree;
    tree.addFile(QStringLiteral("maplist.con"), "game.addLevel A\r\ngame.addLevel B\r\nold\r\n");
    ASSERT_TRUE(rewriteWholeFile(tree.gameFolder() + QStringLiteral("\\maplist.con"),
                                 {"game.setCurrentLevel "}));
    EXPECT_EQ(tree.read(QStringLiteral("maplist.con")), QByteArray("game.setCurrentLevel \r\n"));
}

TEST(LineFile, MissingOrUnwritableFilesFailAndStayUnchanged) {
    GameTree tree;
    tree.addFile(QStringLiteral("ro.con"), "keep\n");
    tree.setMode(QStringLiteral("ro.con"), 0444);
    tree.addFolder(QStringLiteral("dir.con"));
    const QString root = tree.gameFolder();
    EXPECT_FALSE(readLines(root + QStringLiteral("\\missing.con"), 3));
    EXPECT_FALSE(readLines(root + QStringLiteral("\\dir.con"), 3));
    EXPECT_FALSE(rewriteLeadingLines(root + QStringLiteral("\\missing.con"), {"x"}));
    EXPECT_FALSE(rewriteLeadingLines(root + QStringLiteral("\\dir.con"), {"x"}));
    EXPECT_FALSE(rewriteLeadingLines(root + QStringLiteral("\\ro.con"), {"x"}));
    EXPECT_FALSE(rewriteWholeFile(root + QStringLiteral("\\gone\\missing.con"), {"x"}));
    EXPECT_EQ(tree.read(QStringLiteral("ro.con")), QByteArray("keep\n"));
    EXPECT_EQ(tree.namesIn(QString()),
              (QStringList{QStringLiteral("dir.con"), QStringLiteral("ro.con")}));
}
