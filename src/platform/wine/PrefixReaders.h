// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProcessEnvironment.h"
#include "platform/UserPlaces.h"
#include "platform/wine/KnownPrefix.h"
#include "platform/wine/LaunchDescription.h"

#include <span>

// One reader a game manager: the prefixes it keeps, read from its own files, and how it starts
// a program in one of them. A file that is missing, unreadable or garbled is skipped.
namespace gvt::platform {

struct PrefixReader {
    const char* manager;
    QList<KnownPrefix> (*prefixes)(const UserPlaces& places);
    // `environment`: the launcher's own, which the launch is laid over.
    LaunchDescription (*describe)(const KnownPrefix& prefix, const UserPlaces& places,
                                  const Environment& environment);
};

QList<KnownPrefix> readLutrisPrefixes(const UserPlaces& places);
QList<KnownPrefix> readBottlesPrefixes(const UserPlaces& places);
QList<KnownPrefix> readSteamPrefixes(const UserPlaces& places);
QList<KnownPrefix> readHeroicPrefixes(const UserPlaces& places);
LaunchDescription describeLutrisLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                       const Environment& environment);
LaunchDescription describeBottlesLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                        const Environment& environment);
LaunchDescription describeSteamLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                      const Environment& environment);
LaunchDescription describeHeroicLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                       const Environment& environment);

// Every manager's reader, in the order their prefixes are tried.
std::span<const PrefixReader> prefixReaders();

// How a program starts in a prefix: as its manager starts one there, else with $WINE or the
// wine on PATH. $WINE, when set, is the user's choice for every prefix.
LaunchDescription describeLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                 const Environment& environment);

} // namespace gvt::platform
