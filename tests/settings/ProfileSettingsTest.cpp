#include "settings/ProfileSettings.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt::settings;

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
    EXPECT_EQ(levelLabel(LevelScale::Percent, u"5"_s), u"[100%]"_s);
    EXPECT_EQ(valueText("short", 16), QString());
}
