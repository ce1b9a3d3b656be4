// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProcessEnvironment.h"

namespace gvt::platform {

// The locale a Windows program of the game gets: the user's, with a UTF-8 character set where
// theirs has none (Wine needs one for names beyond ASCII), keeping its language and territory
// when that locale is installed, else C.UTF-8. Changes the locale variables of `environment`
// to that (LC_ALL gives way to LANG, so that only the character set changes) and returns the
// character-type locale in effect (LC_ALL, else LC_CTYPE, else LANG).
QByteArray useGameLocale(Environment& environment);

// What useGameLocale() makes of an environment, which it leaves as it is.
QByteArray gameLocaleOf(Environment environment);

// True when the C library has the locale (C and POSIX always).
bool isLocaleInstalled(const QByteArray& name);

} // namespace gvt::platform
