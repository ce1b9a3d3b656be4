// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Programs found as the shell that started this one finds them.
namespace gvt::platform {

// A program name looked up on PATH as the shell does, the folders taken as their own bytes
// (an empty or relative entry is a folder below the current one); empty when none is there.
QString findOnPath(const QString& name);

// The current folder as the shell that started us spells it, links kept, when $PWD says so;
// else as the system has it.
QString currentFolderAsStarted();

} // namespace gvt::platform
