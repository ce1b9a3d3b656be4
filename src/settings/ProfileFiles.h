#pragma once

#include "settings/ProfileSettings.h"

namespace gvt::settings {

// Read one profile file into the record; false when it cannot be opened (the record's fields
// for that file then stay as they were).
bool readGeneralOptions(ProfileSettings& settings, const QString& path);
bool readVideo(ProfileSettings& settings, const QString& path);
bool readSound(ProfileSettings& settings, const QString& path);

// What Save writes besides the record: slider positions and the "Config" values.
struct SavedValues {
    int texture = 0, graphics = 0, geometry = 0;
    int masterVolume = 0, menuMusicVolume = 0, channels = 0, occlusion = 0;
    QString displayMode, shadows, lightmaps;
    QString allSounds, menuMusic, inGameMusic, proximitySounds, highPlayback;
};

common::Lines generalOptionsLines(const ProfileSettings& settings);
common::Lines soundLines(const ProfileSettings& settings, const SavedValues& values);
common::Lines videoLines(const ProfileSettings& settings, const SavedValues& values);

} // namespace gvt::settings
