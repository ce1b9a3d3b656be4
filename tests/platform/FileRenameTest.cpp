#include "platform/FileRename.h"
#include "GameTree.h"

#include <gtest/gtest.h>

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
         {QStringLiteral("brume.BIK")},
         QStringLiteral("\\Movies\\Brume.bik"),
         QStringLiteral("\\movies\\Brume.bak"),
         std::nullopt,
         {QStringLiteral("Brume.bak")}},
        {"missing source",
         {QStringLiteral("Oxley.bik")},
         QStringLiteral("\\Movies\\Brume.bik"),
         QStringLiteral("\\Movies\\Brume.bak"),
         FileError::Kind::NotFound,
         {QStringLiteral("Oxley.bik")}},
        {"target exists in another case",
         {QStringLiteral("Intro.bik"), QStringLiteral("INTRO.BAK")},
         QStringLiteral("\\Movies\\Intro.bik"),
         QStringLiteral("\\Movies\\Intro.bak"),
         FileError::Kind::Exists,
         {QStringLiteral("INTRO.BAK"), QStringLiteral("Intro.bik")}},
        {"target exists in the same case",
         {QStringLiteral("A.mp3"), QStringLiteral("A.bak")},
         QStringLiteral("\\Movies\\A.mp3"),
         QStringLiteral("\\Movies\\A.bak"),
         FileError::Kind::Exists,
         {QStringLiteral("A.bak"), QStringLiteral("A.mp3")}},
        {"target folder missing",
         {QStringLiteral("Legal.bik")},
         QStringLiteral("\\Movies\\Legal.bik"),
         QStringLiteral("\\Gone\\Legal.bak"),
         FileError::Kind::NotFound,
         {QStringLiteral("Legal.bik")}},
    };
    for (const Case& c : cases) {
        GameTree tree;
        tree.addFolder(QStringLiteral("Movies"));
        for (const QString& file : c.files)
            tree.addFile(QStringLiteral("Movies/") + file, file.toUtf8());
        const auto error = renameFile(tree.gameFolder() + c.from, tree.gameFolder() + c.to);
        ASSERT_EQ(error.has_value(), c.error.has_value()) << c.name;
        if (error) {
            EXPECT_EQ(error->kind, *c.error) << c.name;
            EXPECT_TRUE(error->path.startsWith(tree.path(QStringLiteral("Movies/")))) << c.name;
        }
        EXPECT_EQ(tree.namesIn(QStringLiteral("Movies")), c.after) << c.name;
    }
}

TEST(FileRename, MovesContentAndFolders) {
    GameTree tree;
    tree.addFile(QStringLiteral("My Music/Song.MP3"), "song bytes");
    tree.addFolder(QStringLiteral("My Music/Extra.mp3"));
    EXPECT_FALSE(renameFile(tree.gameFolder() + QStringLiteral("\\My Music\\Song.mp3"),
                            tree.gameFolder() + QStringLiteral("\\My Music\\Song.bak")));
    EXPECT_FALSE(renameFile(tree.gameFolder() + QStringLiteral("\\My Music\\Extra.mp3"),
                            tree.gameFolder() + QStringLiteral("\\My Music\\Extra.bak")));
    EXPECT_EQ(tree.read(QStringLiteral("My Music/Song.bak")), QByteArray("song bytes"));
    EXPECT_EQ(tree.namesIn(QStringLiteral("My Music")),
              (QStringList{QStringLiteral("Extra.bak"), QStringLiteral("Song.bak")}));
}
