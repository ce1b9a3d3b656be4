// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/LineFile.h"

#include <QString>
#include <QStringList>

namespace gvt::settings {

// The settings of one player profile, read by line position from its three files. Value texts
// are the lines without their key; lines that carry no setting are kept to be written back.
struct ProfileSettings {
    QString currentProfile;
    QString gameFolder;
    QString playerName;

    QString displayMode; // "width height depth 0"
    QString width, height, depth;
    QString texture, shadows, graphics, lightmaps, geometry;

    QString soundEnable, musicEnable, inGameMusicEnable, proximityEnable;
    QString masterVolume, menuMusicVolume, channels, quality, occlusion;

    // Whole files as last read; only the positions that carry no setting are written back.
    common::Lines generalRead = common::Lines(27);
    common::Lines videoRead = common::Lines(12);
    common::Lines soundRead = common::Lines(15);
};

// "<game folder>\Mods\GvTarsis\settings\Profiles\<profile>\<file>"
QString profileFilePath(const QString& gameFolder, const QString& profile, const char* file);

// The line without its first `keyLength` characters (empty when shorter).
QString valueText(const QByteArray& line, int keyLength);

// Splits "width height depth refresh" into the record's display mode fields.
void splitDisplayMode(ProfileSettings& settings, const QString& value);

// "widthxheight@depth", as the Resolution box shows a display mode.
QString resolutionText(const ProfileSettings& settings);

// "1024x768@32" -> "1024 768 32 0".
QString displayModeFromEntry(const QString& entry);

// The twelve display modes the Resolution box offers, in order.
QStringList resolutionList();

// A value text read as the C library's atoi would.
int numberOf(const QString& text);

enum class LevelScale { Quality, Percent, Occlusion };
// The bracketed level label for a value text, or nothing when the text is none of its digits.
QString levelLabel(LevelScale scale, const QString& value);

} // namespace gvt::settings
