#include "settings/ProfileFiles.h"

#include "common/Cp1252.h"

namespace gvt::settings {

namespace {

QByteArray line(const char* key, const QString& value) {
    return QByteArray(key) + common::toCp1252(value);
}

QByteArray line(const char* key, int value) {
    return QByteArray(key) + QByteArray::number(value);
}

} // namespace

bool readGeneralOptions(ProfileSettings& settings, const QString& path) {
    const auto lines = common::readLines(path, kGeneralLineCount);
    if (!lines)
        return false;
    settings.generalLines = *lines;
    settings.playerName = playerNameFrom(lines->at(2));
    return true;
}

bool readVideo(ProfileSettings& settings, const QString& path) {
    const auto lines = common::readLines(path, kVideoLineCount);
    if (!lines)
        return false;
    const common::Lines& l = *lines;
    settings.videoLines = l;
    splitDisplayMode(settings, valueText(l[2], 24));
    settings.texture = valueText(l[3], 22);
    settings.shadows = valueText(l[4], 16);
    settings.graphics = valueText(l[5], 24);
    settings.lightmaps = valueText(l[6], 18);
    settings.geometry = valueText(l[7], 24);
    return true;
}

bool readSound(ProfileSettings& settings, const QString& path) {
    const auto lines = common::readLines(path, kSoundLineCount);
    if (!lines)
        return false;
    const common::Lines& l = *lines;
    settings.soundLines = l;
    settings.soundEnable = valueText(l[2], 17);
    settings.musicEnable = valueText(l[3], 17);
    settings.inGameMusicEnable = valueText(l[4], 23);
    settings.proximityEnable = valueText(l[5], 26);
    settings.masterVolume = valueText(l[7], 18);
    settings.menuMusicVolume = valueText(l[8], 21);
    settings.channels = valueText(l[10], 14);
    settings.quality = valueText(l[11], 13);
    settings.occlusion = valueText(l[12], 20);
    return true;
}

common::Lines generalOptionsLines(const ProfileSettings& settings) {
    common::Lines lines = settings.generalLines;
    lines.resize(kGeneralLineCount);
    lines[2] = "game.setPlayerName \"" + common::toCp1252(settings.playerName) + '"';
    return lines;
}

common::Lines soundLines(const ProfileSettings& settings, const SavedValues& v) {
    common::Lines kept = settings.soundLines;
    kept.resize(kSoundLineCount);
    return {"rem *** Generated ***",
            QByteArray(),
            line("game.soundEnable ", v.allSounds),
            line("game.musicEnable ", v.menuMusic),
            line("game.ingameMusicEnable ", v.inGameMusic),
            line("game.proximitySoundEnable ", v.proximitySounds),
            QByteArray(),
            line("game.masterVolume ", v.masterVolume),
            line("game.menuMusicVolume ", v.menuMusicVolume),
            QByteArray(),
            line("game.channels ", v.channels),
            line("game.quality ", v.highPlayback),
            line("game.soundOcclusion ", v.occlusion),
            kept[13],
            kept[14]};
}

common::Lines videoLines(const ProfileSettings& settings, const SavedValues& v) {
    common::Lines kept = settings.videoLines;
    kept.resize(kVideoLineCount);
    return {"rem *** Generated ***",
            QByteArray(),
            line("game.setGameDisplayMode ", v.displayMode),
            line("game.setDetailTexture ", v.texture),
            line("game.setShadows ", v.shadows),
            line("game.setGraphicsQuality ", v.graphics),
            line("game.setLightmaps ", v.lightmaps),
            line("game.setGeometryQuality ", v.geometry),
            kept[8],
            kept[9],
            kept[10],
            kept[11]};
}

} // namespace gvt::settings
