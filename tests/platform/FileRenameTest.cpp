#include "platform/FileRename.h"
#include "GameTree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::platform::FileError;
using gvt::platform::renameFile;
using gvt::test::GameTree;

TEST(FileRename, RenamesOrRefusesWithoutReplacingAnything) {
    struct Case {
        const char* name;
        QStringList files;
        QString from;
        QString to;
        std::optional<FileError::Kind> error;
        QStringList after;
    };
    const QList<Case> cases = {
        {"source found in another case, target spelled as given",
         {u"brume.BIK"_s},
         u"\\Movies\\Brume.bik"_s,
         u"\\movies\\Brume.bak"_s,
         std::nullopt,
         {u"Brume.bak"_s}},
        {"missing source",
         {u"Oxley.bik"_s},
         u"\\Movies\\Brume.bik"_s,
         u"\\Movies\\Brume.bak"_s,
         FileError::Kind::NotFound,
         {u"Oxley.bik"_s}},
        {"target exists in another case",
         {u"Intro.bik"_s, u"INTRO.BAK"_s},
         u"\\Movies\\Intro.bik"_s,
         u"\\Movies\\Intro.bak"_s,
         FileError::Kind::Exists,
         {u"INTRO.BAK"_s, u"Intro.bik"_s}},
        {"target exists in the same case",
         {u"A.mp3"_s, u"A.bak"_s},
         u"\\Movies\\A.mp3"_s,
         u"\\Movies\\A.bak"_s,
         FileError::Kind::Exists,
         {u"A.bak"_s, u"A.mp3"_s}},
        {"target folder missing",
         {u"Legal.bik"_s},
         u"\\Movies\\Legal.bik"_s,
         u"\\Gone\\Legal.bak"_s,
         FileError::Kind::NotFound,
         {u"Legal.bik"_s}},
    };
    for (const Case& c : cases) {
        GameTree tree;
        tree.addFolder(u"Movies"_s);
        for (const QString& file : c.files)
            tree.addFile(u"Movies/"_s + file, file.toUtf8());
        const auto error = renameFile(tree.gameFolder() + c.from, tree.gameFolder() + c.to);
        ASSERT_EQ(error.has_value(), c.error.has_value()) << c.name;
        if (error) {
            EXPECT_EQ(error->kind, *c.error) << c.name;
            EXPECT_TRUE(error->path.startsWith(tree.path(u"Movies/"_s))) << c.name;
        }
        EXPECT_EQ(tree.namesIn(u"Movies"_s), c.after) << c.name;
    }
}

TEST(FileRename, MovesContentAndFolders) {
    GameTree tree;
    tree.addFile(u"My Music/Song.MP3"_s, "song bytes");
    tree.addFolder(u"My Music/Extra.mp3"_s);
    EXPECT_FALSE(renameFile(tree.gameFolder() + u"\\My Music\\Song.mp3"_s,
                            tree.gameFolder() + u"\\My Music\\Song.bak"_s));
    EXPECT_FALSE(renameFile(tree.gameFolder() + u"\\My Music\\Extra.mp3"_s,
                            tree.gameFolder() + u"\\My Music\\Extra.bak"_s));
    EXPECT_EQ(tree.read(u"My Music/Song.bak"_s), QByteArray("song bytes"));
    EXPECT_EQ(tree.namesIn(u"My Music"_s), (QStringList{u"Extra.bak"_s, u"Song.bak"_s}));
}
