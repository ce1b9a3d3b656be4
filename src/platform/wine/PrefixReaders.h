// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UserPlaces.h"
#include "platform/wine/KnownPrefix.h"

#include <span>

// One reader a game manager: the prefixes it keeps, read from its own files, each with the
// Wine it starts programs with. A file that is missing, unreadable or garbled is skipped.
namespace gvt::platform {

using PrefixReader = QList<KnownPrefix> (*)(const UserPlaces& places);

QList<KnownPrefix> readLutrisPrefixes(const UserPlaces& places);
QList<KnownPrefix> readBottlesPrefixes(const UserPlaces& places);
QList<KnownPrefix> readSteamPrefixes(const UserPlaces& places);
QList<KnownPrefix> readHeroicPrefixes(const UserPlaces& places);

// Every manager's reader, in the order their prefixes are tried.
std::span<const PrefixReader> prefixReaders();

} // namespace gvt::platform
