// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProcessEnvironment.h"

#include <QString>
#include <QStringList>

// How a game manager starts a Windows program in its prefix, as read from its files once: the
// program, the words around the game, the variables, the wrappers, each with where it came
// from. What a manager does to the prefix itself before a run is never repeated.
namespace gvt::platform {

// A value of a launch and where it came from: the manager's file and the key in it, or the
// manager's own default.
struct LaunchVariable {
    QString name;
    QString value;
    QString source;
};

// Words of a launch with their source.
struct LaunchWords {
    QStringList words;
    QString source;
};

struct LaunchDescription {
    QString manager;             // "Wine", "Lutris", "Bottles", "Steam", "Heroic"
    QString prefix;              // the Wine prefix (WINEPREFIX)
    QList<LaunchWords> wrappers; // before the program, outermost first
    QString program;             // the Wine, Proton or umu-run to run; empty: none
    QString programSource;
    QStringList programWords; // between the program and the game ("waitforexitandrun")
    // The game named by its path on this machine instead of its Windows text (umu-run wants
    // a file it can find).
    bool gameAsLocalPath = false;
    QList<LaunchWords> afterGame;    // after the game's own words
    QList<LaunchVariable> variables; // set, in this order, over the launcher's environment
    QList<LaunchVariable> removed;   // taken out of it (their values are empty)
    // Why nothing can start: the manager's Wine, Proton or umu-run that is missing.
    QString missing;
    QStringList notes; // what was left out or chosen, for the record

    void set(const QString& name, const QString& value, const QString& source);
    // The value set for a name, or nothing.
    const LaunchVariable* variable(const QString& name) const;
    // Every word before the game: wrappers, program, program words.
    QStringList wordsBeforeGame() const;
};

// The environment a game gets: `base` with the description's variables set and removed.
Environment environmentFor(const LaunchDescription& launch, const Environment& base);

// One line that, run by "sh -c" from the same folder with the launcher's environment, starts
// `argv` with `environment`: "env -u NAME … NAME=value … program words…", every word quoted.
QByteArray commandLine(const QList<QByteArray>& argv, const Environment& base,
                       const Environment& environment);

} // namespace gvt::platform
