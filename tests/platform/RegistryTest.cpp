#include "platform/Registry.h"
#include "SettingsHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        {"blanks and backslash kept", u"/games/Grimvale Tarsis\\"_s, u"/games/Grimvale Tarsis\\"_s},
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
    QDir().mkpath(home.path() + u"/Oxley Games"_s);
    QFile file(home.gameDirFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nGAMEDIR=/games/\xff\xfe"
               "bad\n");
    file.close();
    const QString value = gvt::platform::readGameDirValue();
    EXPECT_TRUE(value.startsWith(u"/games/"_s)) << value.toStdString();
    EXPECT_TRUE(value.endsWith(u"bad"_s));
}

TEST(Registry, ConfigValuesLiveInTheProgramsOwnSection) {
    SettingsHome home;
    EXPECT_EQ(gvt::platform::readConfigValue(u"Shadows"_s), QString());
    gvt::platform::writeConfigValue(u"Resolution"_s, u"1024 768 32 0"_s);
    gvt::platform::writeConfigValue(u"Path"_s, u"/games/a, b"_s);
    EXPECT_EQ(gvt::platform::readConfigValue(u"Resolution"_s), u"1024 768 32 0"_s);
    EXPECT_EQ(gvt::platform::readConfigValue(u"Path"_s), u"/games/a, b"_s);

    // Written at once, under the program's name, in the "Config" section.
    QFile file(home.configFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << home.configFile().toStdString();
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("[Config]\n")) << content.toStdString();
    EXPECT_TRUE(content.contains("Resolution=1024 768 32 0\n")) << content.toStdString();
}
