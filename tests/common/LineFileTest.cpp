#include "common/LineFile.h"
#include "Fixtures.h"
#include "common/Cp1252.h"

#include <gtest/gtest.h>

using gvt::common::Lines;
using gvt::test::GameTree;

TEST(LineFile, ReadsLinesAndRewritesThemKeepingTheTailByteForByte) {
    const QByteArray longLine = QByteArray(10 * 1024 * 1024, 'L') + "end";
    const QList<std::tuple<const char*, QByteArray, int, Lines, QByteArray>> cases = {
        // name, content, lines read, the lines, what follows them
        {"LF only", "one\ntwo\nthree\nfour\n", 2, {"one", "two"}, "three\nfour\n"},
        {"mixed ends", "one\r\ntwo\nthree\r\n", 2, {"one", "two"}, "three\r\n"},
        {"lone CR stays in the line", "a\rb\r\nc\r", 3, {"a\rb", "c\r", ""}, ""},
        {"NUL byte", QByteArray("n\0ul\r\nnext\r\n", 12), 1, {QByteArray("n\0ul", 4)}, "next\r\n"},
        {"invalid UTF-8", "\xff\xfe\x80\r\n\xc3(\n", 1, {"\xff\xfe\x80"}, "\xc3(\n"},
        {"no final line end", "one\r\ntwo", 2, {"one", "two"}, ""},
        {"fewer lines than asked", "one\n", 4, {"one", "", "", ""}, ""},
        {"10 MB line", longLine + "\ntail", 1, {longLine}, "tail"},
    };
    for (const auto& [name, content, count, expected, tail] : cases) {
        GameTree tree;
        tree.addFile(u"Mods/GvTarsis/Init.con"_s, content);
        const QString path = tree.gameFolder + u"\\mods\\gvtarsis\\INIT.CON"_s;
        const auto lines = gvt::common::readLines(path, count);
        ASSERT_TRUE(lines) << name;
        EXPECT_EQ(*lines, expected) << name;
        Lines written = *lines;
        written[0] = "first";
        ASSERT_TRUE(gvt::common::rewriteLeadingLines(path, written)) << name;
        EXPECT_EQ(tree.read(u"Mods/GvTarsis/Init.con"_s), gvt::test::crlf(written) + tail) << name;
    }
}

TEST(LineFile, MissingOrUnwritableFilesFailAndStayUnchanged) {
    GameTree tree;
    tree.addFile(u"ro.con"_s, "keep\n");
    tree.setMode(u"ro.con"_s, 0444);
    tree.addFolder(u"dir.con"_s);
    for (const char* name : {"missing.con", "dir.con", "ro.con"}) {
        const QString path = tree.gameFolder + u'\\' + QString::fromLatin1(name);
        EXPECT_EQ(gvt::common::readLines(path, 3).has_value(), name[0] == 'r') << name;
        EXPECT_FALSE(gvt::common::rewriteLeadingLines(path, {"x"})) << name;
    }
    EXPECT_EQ(tree.read(u"ro.con"_s), QByteArray("keep\n"));
    EXPECT_EQ(tree.namesIn(QString()), (QStringList{u"dir.con"_s, u"ro.con"_s}));
}

TEST(Cp1252, ConvertsBothWaysAndReplacesWhatItCannotHold) {
    using gvt::common::fromCp1252;
    using gvt::common::toCp1252;
    EXPECT_EQ(toCp1252(QString::fromUtf8("Émile €5 – “ok” ÿ")),
              QByteArray("\xc9mile \x80"
                         "5 \x96 \x93ok\x94 \xff"));
    // Beyond the code page: "?", one per character; a file name's stray byte: that byte.
    EXPECT_EQ(toCp1252(QString::fromUtf8("Ж 😀 x") + QChar(0xDCE9)), QByteArray("? ? x\xe9"));
    // Every byte survives a trip through the text the user sees.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}
