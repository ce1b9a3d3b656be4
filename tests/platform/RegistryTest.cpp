#include "platform/Registry.h"
#include "Fixtures.h"
#include "platform/wine/WineRegistry.h"

namespace {
const QByteArray kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
const QByteArray kWow = "[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";
const QByteArray kPlain = "[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";
} // namespace

TEST(Registry, ReadsTextsOfWineRegistryFiles) {
    const QList<std::tuple<const char*, QByteArray, std::optional<QString>>> cases = {
        // what, the file after its header, the GAMEDIR found
        {"32-bit view first",
         kPlain + "\"GAMEDIR\"=\"C:\\\\Plain\"\n\n" + kWow +
             "#time=1d\n\"GAMEDIR\"=\"C:\\\\Wow\"\n",
         u"C:\\Wow"_s},
        {"other case, CR LF, last value wins",
         "[SOFTWARE\\\\oxley games\\\\GRIMVALE "
         "TARSIS]\r\n\"gamedir\"=\"C:\\\\A\"\r\n\"GameDir\"=\"C:\\\\B\"\r\n",
         u"C:\\B"_s},
        {"escapes",
         kWow + "\"GAMEDIR\"=\"\\xc9mile \\x2211\\xd83d\\xde00 \\\"q\\\" \\101\\t\\x\\]\"\n",
         u"Émile ∑😀 \"q\" A\tx]"_s},
        {"expandable text", kWow + "\"GAMEDIR\"=str(2):\"%ProgramFiles%\\\\GT\"\n",
         u"%ProgramFiles%\\GT"_s},
        {"typed values are not texts",
         kWow + "\"GAMEDIR\"=hex:43,00\n" + kPlain + "\"GAMEDIR\"=dword:1\n", std::nullopt},
        {"a continued value is no new line",
         kWow + "\"Data\"=hex:01,\\\n\"GAMEDIR\"=\"C:\\\\Wrong\"\n" + kPlain +
             "\"GAMEDIR\"=\"C:\\\\Right\"\n",
         u"C:\\Right"_s},
        {"a subkey is another key",
         kPlain + "[Software\\\\Oxley Games\\\\Grimvale Tarsis\\\\Sub]\n\"GAMEDIR\"=\"C:\\\\S\"\n",
         std::nullopt},
    };
    const QStringList keys = {u"Software\\Wow6432Node\\Oxley Games\\Grimvale Tarsis"_s,
                              u"Software\\Oxley Games\\Grimvale Tarsis"_s};
    for (const auto& [what, file, expected] : cases)
        EXPECT_EQ(gvt::platform::findRegistryText(kHeader + file, keys, u"GAMEDIR"_s), expected)
            << what;
    EXPECT_EQ(
        gvt::platform::findRegistryText(kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n", keys, u"GAMEDIR"_s),
        std::nullopt); // no header line
}

TEST(Registry, GameDirComesFromTheSettingsFileElseFromThePrefix) {
    const QByteArray longest(499, 'x');
    const QByteArray prefixGameDir = kHeader + kWow + "\"GAMEDIR\"=\"C:\\\\GT\\0junk\"\n";
    const QList<std::tuple<QByteArray, QByteArray, QString>> cases = {
        // the settings file's line, the prefix's system.reg, the game folder
        {{}, {}, QString()},
        {"GAMEDIR=/games/Grimvale,Tarsis; Gold\\", {}, u"/games/Grimvale,Tarsis; Gold\\"_s},
        {"GAMEDIR=\"/games/a, b\\\\c\"", {}, u"/games/a, b\\c"_s}, // quoted by a Qt program
        {"GAMEDIR=/games/GT", prefixGameDir, u"/games/GT"_s},
        {"GAMEDIR=", prefixGameDir, u"C:\\GT"_s}, // up to a NUL
        {"GAMEDIR=" + longest, {}, QString::fromLatin1(longest)},
        // Texts stored as other types: a multiple text, and UTF-16 bytes over several lines
        // without a final NUL, or with one.
        {{}, kHeader + kWow + "\"GAMEDIR\"=str(7):\"C:\\\\GT\\0C:\\\\Other\\0\"\n", u"C:\\GT"_s},
        {{},
         kHeader + kWow +
             "\"GAMEDIR\"=hex(1):43,00,3a,00,5c,00,\\\n  c9,00,5c,00,3d,d8,\\\n  00,de\n",
         u"C:\\É\\😀"_s},
        {{}, kHeader + kWow + "\"GAMEDIR\"=hex(2):25,00,41,00,25,00,00,00,42,00\n", u"%A%"_s},
        {"GAMEDIR=x" + longest, {}, QString()},
    };
    for (const auto& [line, systemReg, expected] : cases) {
        gvt::test::SettingsHome home;
        if (!line.isNull())
            home.setGameDirLine(line);
        QDir().mkpath(home.prefix());
        QFile reg(home.prefix() + u"/system.reg"_s);
        if (!systemReg.isNull() && reg.open(QIODevice::WriteOnly))
            reg.write(systemReg);
        reg.close();
        EXPECT_EQ(gvt::platform::lookUpGameDir(u"/nowhere/gvtarsis-modmanager"_s).gameFolder,
                  expected)
            << line.toStdString();
    }
}
