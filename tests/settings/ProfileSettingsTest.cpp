#include "settings/ProfileSettings.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace gvt::settings;

TEST(ProfileSettings, DisplayModeSplitsAtTheFirstThreeBlanks) {
    struct Case {
        QString value;
        QString shown;
        QString held;
    };
    const QList<Case> cases = {
        {QStringLiteral("1024 768 32 85"), QStringLiteral("1024x768@32"),
         QStringLiteral("1024 768 32 0")},
        {QStringLiteral("800 600 32"), QStringLiteral("800x600@"), QStringLiteral("800 600  0")},
        {QStringLiteral("640"), QStringLiteral("x@"), QStringLiteral("   0")},
        {QString(), QStringLiteral("x@"), QStringLiteral("   0")},
    };
    for (const Case& c : cases) {
        ProfileSettings settings;
        splitDisplayMode(settings, c.value);
        EXPECT_EQ(resolutionText(settings), c.shown) << c.value.toStdString();
        EXPECT_EQ(settings.displayMode, c.held) << c.value.toStdString();
    }
    EXPECT_EQ(displayModeFromEntry(QStringLiteral("1600x1200@32")),
              QStringLiteral("1600 1200 32 0"));
    EXPECT_EQ(resolutionList().size(), 12);
}

TEST(ProfileSettings, NumbersAndLevelLabelsReadValueTextsLikeTheGame) {
    struct Case {
        const char* text;
        int number;
        const char* quality;
        const char* occlusion;
    };
    const QList<Case> cases = {
        {"2", 2, "[Medium]", "[High]"},
        {"2 ", 2, "", ""},
        {" 3x", 3, "", ""},
        {"", 0, "", ""},
        {"0", 0, "", "[Off]"},
        {"-7", -7, "", ""},
        {"+5", 5, "", ""},
        {"99999999999", 2147483647, "", ""},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(numberOf(text), c.number) << c.text;
        EXPECT_EQ(levelLabel(LevelScale::Quality, text), QString::fromLatin1(c.quality)) << c.text;
        EXPECT_EQ(levelLabel(LevelScale::Occlusion, text), QString::fromLatin1(c.occlusion))
            << c.text;
    }
    EXPECT_EQ(levelLabel(LevelScale::Percent, QStringLiteral("5")), QStringLiteral("[100%]"));
    EXPECT_EQ(playerNameFrom("game.setPlayerName \"a\"b\"\""), QStringLiteral("ab"));
    EXPECT_EQ(valueText("short", 16), QString());
}
