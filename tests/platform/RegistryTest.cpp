// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixtures.h"
#include "platform/GameInstall.h"

namespace {
const QByteArray kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
const QByteArray kWow = "[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";
const QByteArray kPlain = "[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n";
} // namespace

TEST(Registry, GameDirComesFromTheSettingsFileElseFromThePrefixsRegistry) {
    const QByteArray longest(499, 'x');
    const QList<std::tuple<QByteArray, QByteArray, QString>> cases = {
        // the settings file's line, the prefix's system.reg, the game folder
        {{}, {}, QString()},
        {"GAMEDIR=/games/Grimvale,Tarsis; Gold\\", {}, u"/games/Grimvale,Tarsis; Gold\\"_s},
        {"GAMEDIR=\"/games/a, b\\\\c\"", {}, u"/games/a, b\\c"_s}, // quoted by a Qt program
        {"GAMEDIR=/games/GT", kHeader + kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n", u"/games/GT"_s},
        {"GAMEDIR=" + longest, {}, QString::fromLatin1(longest)},
        {"GAMEDIR=x" + longest, {}, QString()},
        // The 32-bit view first; keys in any case, CR LF, the last value wins; up to a NUL.
        {"GAMEDIR=",
         kHeader + kPlain + "\"GAMEDIR\"=\"C:\\\\Plain\"\n\n" + kWow +
             "#time=1d\n\"GAMEDIR\"=\"C:\\\\W\\0j\"\n",
         u"C:\\W"_s},
        {{},
         kHeader + "[SOFTWARE\\\\oxley games\\\\GRIMVALE "
                   "TARSIS]\r\n\"gamedir\"=\"C:\\\\A\"\r\n\"GameDir\"=\"C:\\\\B\"\r\n",
         u"C:\\B"_s},
        {{},
         kHeader + kWow +
             "\"GAMEDIR\"=\"\\xc9mile \\x2211\\xd83d\\xde00 \\\"q\\\" \\101\\t\\x\\]\"\n",
         u"Émile ∑😀 \"q\" A\tx]"_s},
        // Texts stored as other types: expandable, a multiple text, and UTF-16 bytes over
        // several lines without a final NUL, or with one; typed values are not texts.
        {{},
         kHeader + kWow + "\"GAMEDIR\"=str(2):\"%ProgramFiles%\\\\GT\"\n",
         u"%ProgramFiles%\\GT"_s},
        {{}, kHeader + kWow + "\"GAMEDIR\"=str(7):\"C:\\\\GT\\0C:\\\\Other\\0\"\n", u"C:\\GT"_s},
        {{},
         kHeader + kWow +
             "\"GAMEDIR\"=hex(1):43,00,3a,00,5c,00,\\\n  c9,00,5c,00,3d,d8,\\\n  00,de\n",
         u"C:\\É\\😀"_s},
        {{}, kHeader + kWow + "\"GAMEDIR\"=hex(2):25,00,41,00,25,00,00,00,42,00\n", u"%A%"_s},
        {{},
         kHeader + kWow + "\"GAMEDIR\"=hex:43,00\n" + kPlain + "\"GAMEDIR\"=dword:1\n",
         QString()},
        // A continued value is no new line; a subkey is another key.
        {{},
         kHeader + kWow + "\"Data\"=hex:01,\\\n\"GAMEDIR\"=\"C:\\\\Wrong\"\n" + kPlain +
             "\"GAMEDIR\"=\"C:\\\\Right\"\n",
         u"C:\\Right"_s},
        {{},
         kHeader + kPlain +
             "[Software\\\\Oxley Games\\\\Grimvale Tarsis\\\\Sub]\n\"GAMEDIR\"=\"C:\\\\S\"\n",
         QString()},
        {{}, kWow + "\"GAMEDIR\"=\"C:\\\\GT\"\n", QString()}, // no header line
    };
    for (const auto& [line, systemReg, expected] : cases) {
        gvt::test::SettingsHome home;
        if (!line.isNull())
            home.setGameDirLine(line);
        if (!systemReg.isNull())
            home.addFile(u"prefix/system.reg"_s, systemReg);
        EXPECT_EQ(gvt::platform::findGameInstall(u"/nowhere/gvtarsis-modmanager"_s,
                                                 gvt::platform::UserPlaces::ofThisUser())
                      .gameFolder,
                  expected)
            << line.toStdString() << systemReg.toStdString();
    }
}
