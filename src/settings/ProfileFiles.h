// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/ProfileSettings.h"

namespace gvt::platform {
struct GameInstall;
}

namespace gvt::settings {

// A profile's three files, in the order Save writes them.
enum class ProfileFile { GeneralOptions, Sound, Video };
inline constexpr ProfileFile kProfileFiles[] = {ProfileFile::GeneralOptions, ProfileFile::Sound,
                                                ProfileFile::Video};

// "GeneralOptions.con", "Sound.con", "Video.con".
const char* fileNameOf(ProfileFile file);

// Reads one profile file into the record; false when it cannot be opened (the record's fields
// for that file then stay as they were).
bool readProfileFile(const platform::GameInstall& game, ProfileSettings& settings, ProfileFile file,
                     const QString& path);

// What Save writes behind the keys besides the kept lines: the Name field, the slider
// positions and the "Config" values, as texts.
struct SavedValues {
    QString playerName, displayMode, texture, shadows, graphics, lightmaps, geometry;
    QString allSounds, menuMusic, inGameMusic, proximitySounds;
    QString masterVolume, menuMusicVolume, channels, highPlayback, occlusion;
};

// The lines Save writes to one profile file.
common::Lines linesToWrite(const ProfileSettings& settings, ProfileFile file,
                           const SavedValues& values);

} // namespace gvt::settings
