#include "platform/FolderSearch.h"
#include "GameTree.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::platform::findEntries;
using gvt::platform::FoundEntry;
using gvt::test::GameTree;

namespace {
QStringList describe(const QList<FoundEntry>& entries) {
    QStringList out;
    for (const FoundEntry& e : entries)
        out.append(e.name + (e.isFolder ? u"/"_s : QString()));
    return out;
}
} // namespace

TEST(FolderSearch, ReportsEveryEntryInUpperCasedOrdinalOrder) {
    GameTree tree;
    tree.addFolder(u"Mods/zulu"_s);
    tree.addFolder(u"Mods/.hidden"_s);
    tree.addFolder(u"Mods/_under"_s);
    tree.addFolder(u"Mods/Alpha"_s);
    tree.addFile(u"Mods/alpha"_s);
    tree.addFile(u"Mods/beta.txt"_s);
    tree.addFile(u"Mods/README"_s);
    ASSERT_TRUE(QFile::link(tree.path(u"Mods/zulu"_s), tree.path(u"Mods/Linked"_s)));

    // "_" sorts after the letters once they are upper-cased; "." and ".." come first.
    EXPECT_EQ(describe(findEntries(tree.gameFolder() + u"\\mods\\*.*"_s)),
              (QStringList{u"./"_s, u"../"_s, u".hidden/"_s, u"Alpha/"_s, u"alpha"_s, u"beta.txt"_s,
                           u"Linked/"_s, u"README"_s, u"zulu/"_s, u"_under/"_s}));
}

TEST(FolderSearch, MatchesPatternsWithoutRegardToCase) {
    GameTree tree;
    for (const char* name : {"Alpha.rfa", "BRAVO.RFA", "charlie.Rfa", "delta.rfa.txt", "echo.rf",
                             "rfa", "Foxtrot.rfa"})
        tree.addFile(u"Levels/"_s + QString::fromLatin1(name));
    tree.addFolder(u"Levels/Folder.rfa"_s);
    const QString levels = tree.gameFolder() + u"\\LEVELS\\"_s;

    struct Case {
        const char* pattern;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"*.rfa",
         {u"Alpha.rfa"_s, u"BRAVO.RFA"_s, u"charlie.Rfa"_s, u"Folder.rfa/"_s, u"Foxtrot.rfa"_s}},
        {"?????.RFA", {u"Alpha.rfa"_s, u"BRAVO.RFA"_s}},
        {"*.rf", {u"echo.rf"_s}},
        {"RFA", {u"rfa"_s}},
        {"*a*.*", {u"Alpha.rfa"_s, u"BRAVO.RFA"_s, u"charlie.Rfa"_s, u"delta.rfa.txt"_s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(findEntries(levels + QString::fromLatin1(c.pattern))), c.expected)
            << c.pattern;

    // "*.*" also matches names without a dot.
    EXPECT_TRUE(describe(findEntries(levels + u"*.*"_s)).contains(u"rfa"_s));
    EXPECT_TRUE(findEntries(tree.gameFolder() + u"\\NoSuchFolder\\*.*"_s).isEmpty());
}
