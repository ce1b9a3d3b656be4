#include "platform/Registry.h"
#include "Fixtures.h"
#include "platform/WineRegistry.h"

using gvt::test::SettingsHome;

namespace {

QByteArray registry(const QByteArray& body) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" + body;
}

const QByteArray kWow = "[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";
const QByteArray kPlain = "[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";

} // namespace

TEST(Registry, ReadsTextsOfWineRegistryFiles) {
    struct Case {
        const char* name;
        QByteArray content;
        std::optional<QString> expected;
    };
    const QList<Case> cases = {
        {"32-bit view first",
         registry(kPlain + "\"GAMEDIR\"=\"C:\\\\Plain\"\n\n" + kWow +
                  "#time=1dd84e56e24fdee\n\"GAMEDIR\"=\"C:\\\\Wow\"\n"),
         u"C:\\Wow"_s},
        {"other case, CR LF, last value wins",
         registry("[SOFTWARE\\\\oxley games\\\\GRIMVALE TARSIS]\r\n\"gamedir\"=\"C:\\\\A\"\r\n"
                  "\"GameDir\"=\"C:\\\\B\"\r\n"),
         u"C:\\B"_s},
        {"escapes",
         registry(kWow + "\"GAMEDIR\"=\"\\xc9mile \\x2211\\xd83d\\xde00 \\\"q\\\" "
                         "\\101\\t\\x\\]\"\n"),
         u"Émile ∑😀 \"q\" A\tx]"_s},
        {"expandable text", registry(kWow + "\"GAMEDIR\"=str(2):\"%ProgramFiles%\\\\GT\"\n"),
         u"%ProgramFiles%\\GT"_s},
        {"typed values are not texts: the next key counts",
         registry(kWow + "\"GAMEDIR\"=str(7):\"C:\\\\Multi\\0\"\n" + kPlain +
                  "\"GAMEDIR\"=dword:00000001\n"),
         std::nullopt},
        {"a continued value is not read as a new line",
         registry(kWow + "\"Data\"=hex:01,02,\\\n\"GAMEDIR\"=\"C:\\\\Wrong\"\n" + kPlain +
                  "\"GAMEDIR\"=\"C:\\\\Right\"\n"),
         u"C:\\Right"_s},
        {"key name escapes",
         registry("[Software\\\\Oxley Games\\\\Grimvale\\x20Tarsis]\n@=\"d\"\n"
                  "\"GAMEDIR\"=\"C:\\\\GT\"\n"),
         u"C:\\GT"_s},
        {"subkey is another key",
         registry(kWow + "[Software\\\\Oxley Games\\\\Grimvale Tarsis\\\\"
                         "Sub]\n\"GAMEDIR\"=\"C:\\\\Sub\"\n"),
         std::nullopt},
        {"unterminated text", registry(kWow + "\"GAMEDIR\"=\"C:\\\\Games\n"), std::nullopt},
        {"unterminated key",
         registry("[Software\\\\Oxley Games\\\\Grimvale Tarsis\n"
                  "\"GAMEDIR\"=\"C:\\\\GT\"\n"),
         std::nullopt},
        {"no header line", kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n", std::nullopt},
        {"binary garbage", registry(QByteArray("[\0\\\xff]\n\"\\", 9)), std::nullopt},
    };
    const QStringList keys = {u"Software\\Wow6432Node\\Oxley Games\\Grimvale Tarsis"_s,
                              u"Software\\Oxley Games\\Grimvale Tarsis"_s};
    for (const Case& c : cases)
        EXPECT_EQ(gvt::platform::findRegistryText(c.content, keys, u"GAMEDIR"_s), c.expected)
            << c.name;
}

TEST(Registry, GameDirComesFromTheSettingsFileElseFromThePrefix) {
    struct Case {
        const char* name;
        std::optional<QByteArray> settingsLine;
        std::optional<QByteArray> systemReg;
        QString expected;
    };
    const QString longest(499, u'x');
    const QList<Case> cases = {
        {"nothing anywhere", std::nullopt, std::nullopt, QString()},
        {"settings file as written", "GAMEDIR=/games/Grimvale,Tarsis; Gold\\", std::nullopt,
         u"/games/Grimvale,Tarsis; Gold\\"_s},
        {"quoted by a Qt program", "GAMEDIR=\"/games/a, b\\\\c\"", std::nullopt,
         u"/games/a, b\\c"_s},
        {"settings file first", "GAMEDIR=/games/GT", registry(kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n"),
         u"/games/GT"_s},
        {"empty value: the prefix", "GAMEDIR=", registry(kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n"),
         u"C:\\GT"_s},
        {"499 bytes", "GAMEDIR=" + longest.toLatin1(), std::nullopt, longest},
        {"500 bytes", "GAMEDIR=" + longest.toLatin1() + 'x', std::nullopt, QString()},
        {"500 characters in the prefix", std::nullopt,
         registry(kWow + "\"GAMEDIR\"=\"" + longest.toLatin1() + "x\"\n"), QString()},
        {"up to a NUL", std::nullopt, registry(kWow + "\"GAMEDIR\"=\"C:\\\\GT\\0junk\"\n"),
         u"C:\\GT"_s},
    };
    for (const Case& c : cases) {
        SettingsHome home;
        if (c.settingsLine)
            home.setGameDirLine(*c.settingsLine);
        if (c.systemReg) {
            QDir().mkpath(home.prefix());
            QFile reg(home.prefix() + u"/system.reg"_s);
            ASSERT_TRUE(reg.open(QIODevice::WriteOnly));
            reg.write(*c.systemReg);
        }
        EXPECT_EQ(gvt::platform::readGameDirValue(), c.expected) << c.name;
    }
}
