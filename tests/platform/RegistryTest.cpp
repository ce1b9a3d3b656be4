#include "platform/Registry.h"
#include "SettingsHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using gvt::test::SettingsHome;

TEST(Registry, GameDirIsReadAsStoredOrEmpty) {
    struct Case {
        const char* name;
        std::optional<QString> stored;
        QString expected;
    };
    const QString longest(499, u'x');
    const QList<Case> cases = {
        {"missing", std::nullopt, QString()},
        {"empty", QString(), QString()},
        {"blanks and backslash kept", QStringLiteral("/games/Grimvale Tarsis\\"),
         QStringLiteral("/games/Grimvale Tarsis\\")},
        {"499 bytes", longest, longest},
        {"500 bytes", longest + u'x', QString()},
        {"498 bytes and a two-byte character", QString(498, u'x') + QChar(0xE9), QString()},
    };
    for (const Case& c : cases) {
        SettingsHome home;
        if (c.stored)
            home.setGameDir(*c.stored);
        EXPECT_EQ(gvt::platform::readGameDirValue(), c.expected) << c.name;
        EXPECT_EQ(QFile::exists(home.gameDirFile()), c.stored.has_value()) << c.name;
    }
}

TEST(Registry, GameDirWithInvalidUtf8ReadsWithoutCrash) {
    SettingsHome home;
    QDir().mkpath(home.path() + QStringLiteral("/Oxley Games"));
    QFile file(home.gameDirFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nGAMEDIR=/games/\xff\xfe"
               "bad\n");
    file.close();
    const QString value = gvt::platform::readGameDirValue();
    EXPECT_TRUE(value.startsWith(QStringLiteral("/games/"))) << value.toStdString();
    EXPECT_TRUE(value.endsWith(QStringLiteral("bad")));
}

TEST(Registry, ConfigValuesLiveInTheProgramsOwnSection) {
    SettingsHome home;
    EXPECT_EQ(gvt::platform::readConfigValue(QStringLiteral("Shadows")), QString());
    gvt::platform::writeConfigValue(QStringLiteral("Resolution"), QStringLiteral("1024 768 32 0"));
    gvt::platform::writeConfigValue(QStringLiteral("Path"), QStringLiteral("/games/a, b"));
    EXPECT_EQ(gvt::platform::readConfigValue(QStringLiteral("Resolution")),
              QStringLiteral("1024 768 32 0"));
    EXPECT_EQ(gvt::platform::readConfigValue(QStringLiteral("Path")),
              QStringLiteral("/games/a, b"));

    // Written at once, under the program's name, in the "Config" section.
    QFile file(home.configFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << home.configFile().toStdString();
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("[Config]\n")) << content.toStdString();
    EXPECT_TRUE(content.contains("Resolution=1024 768 32 0\n")) << content.toStdString();
}
