// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProfileFiles.h"

#include "common/CodePage.h"

#include <cstring>
#include <span>

namespace gvt::settings {

namespace {

// One line the profile model knows. Reading drops the key text (whatever stands there) and
// keeps the rest; Save writes the key text, the value and `after`. A line with no value read
// is set aside when read and written as its key text alone. Every other line is kept.
struct LineRule {
    int line;
    const char* key;
    QString ProfileSettings::*read = nullptr;
    QString SavedValues::*written = nullptr;
    const char* after = "";
};

using S = ProfileSettings;
using V = SavedValues;

constexpr LineRule kGeneralRules[] = {
    {3, "game.setPlayerName \"", &S::playerName, &V::playerName, "\""},
};

constexpr LineRule kVideoRules[] = {
    {1, "rem *** Generated ***"},
    {2, ""},
    {3, "game.setGameDisplayMode ", &S::displayMode, &V::displayMode},
    {4, "game.setDetailTexture ", &S::texture, &V::texture},
    {5, "game.setShadows ", &S::shadows, &V::shadows},
    {6, "game.setGraphicsQuality ", &S::graphics, &V::graphics},
    {7, "game.setLightmaps ", &S::lightmaps, &V::lightmaps},
    {8, "game.setGeometryQuality ", &S::geometry, &V::geometry},
};

constexpr LineRule kSoundRules[] = {
    {1, "rem *** Generated ***"},
    {2, ""},
    {3, "game.soundEnable ", &S::soundEnable, &V::allSounds},
    {4, "game.musicEnable ", &S::musicEnable, &V::menuMusic},
    {5, "game.ingameMusicEnable ", &S::inGameMusicEnable, &V::inGameMusic},
    {6, "game.proximitySoundEnable ", &S::proximityEnable, &V::proximitySounds},
    {7, ""},
    {8, "game.masterVolume ", &S::masterVolume, &V::masterVolume},
    {9, "game.menuMusicVolume ", &S::menuMusicVolume, &V::menuMusicVolume},
    {10, ""},
    {11, "game.channels ", &S::channels, &V::channels},
    {12, "game.quality ", &S::quality, &V::highPlayback},
    {13, "game.soundOcclusion ", &S::occlusion, &V::occlusion},
};

struct FileModel {
    const char* name;
    int lineCount;
    common::Lines ProfileSettings::*linesRead;
    std::span<const LineRule> rules;
};

FileModel modelOf(ProfileFile file) {
    switch (file) {
    case ProfileFile::GeneralOptions:
        return {"GeneralOptions.con", 27, &S::generalRead, kGeneralRules};
    case ProfileFile::Sound:
        return {"Sound.con", 15, &S::soundRead, kSoundRules};
    case ProfileFile::Video:
        break;
    }
    return {"Video.con", 12, &S::videoRead, kVideoRules};
}

} // namespace

const char* fileNameOf(ProfileFile file) {
    return modelOf(file).name;
}

bool readProfileFile(const platform::GameInstall& game, ProfileSettings& settings, ProfileFile file,
                     const QString& path) {
    const FileModel model = modelOf(file);
    const auto lines = common::readLines(game, path, model.lineCount);
    if (!lines)
        return false;
    settings.*model.linesRead = *lines;
    for (const LineRule& rule : model.rules) {
        if (rule.read)
            settings.*rule.read = valueText(lines->at(rule.line - 1), int(std::strlen(rule.key)));
    }
    if (file == ProfileFile::GeneralOptions)
        settings.playerName.remove(u'"');
    if (file == ProfileFile::Video)
        splitDisplayMode(settings, settings.displayMode);
    return true;
}

common::Lines linesToWrite(const ProfileSettings& settings, ProfileFile file,
                           const SavedValues& values) {
    const FileModel model = modelOf(file);
    common::Lines lines = settings.*model.linesRead;
    lines.resize(model.lineCount);
    for (const LineRule& rule : model.rules) {
        QByteArray& line = lines[rule.line - 1];
        line = rule.key;
        if (rule.written)
            line += common::toGameText(values.*rule.written) + rule.after;
    }
    return lines;
}

} // namespace gvt::settings
