// SPDX-License-Identifier: GPL-3.0-or-later
// Every save of the program, and a restore of each kind, with each of its write-side calls
// failing in turn and, in turn, the process ending at it: every file is left old or new, under
// one name, with nothing beside it that the program does not clean up, every file left old is
// reported, the rules that keep a save whole through a power cut hold, and the history stays
// readable, holding what each file changed had before. Each save runs in a child process of
// this program ("--child"), driven through its dialog as a user would.
#include "FileFaults.h"
#include "Fixtures.h"
#include "app/RestoreDialog.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "platform/files/FileHistory.h"
#include "platform/files/SaveJournal.h"
#include "settings/SettingsDialog.h"
#include "ui_MultiplayerDialog.h"
#include "ui_MusicDialog.h"
#include "ui_RestoreDialog.h"
#include "ui_SettingsDialog.h"

#include <QDirIterator>
#include <QProcess>

#include <cstdio>
#include <map>

using namespace gvt;

namespace {

// A game folder, a home and a settings home below one folder; every file's content is its own.
struct Installation {
    explicit Installation(const QString& folder) : root(folder) {}
    QString root;
    QString game() const { return root + u"/Grimvale Tarsis"_s; }
    QString home() const { return root + u"/home"_s; }
    QString state() const { return home() + u"/.local/state/gvtarsis-modmanager"_s; }

    void make() const {
        // LF line ends: every file the program rewrites comes out other than it was.
        const std::pair<const char*, QByteArray> files[] = {
            {"Mods/GvTarsis/settings/Profiles/Custom/GeneralOptions.con",
             "rem general\nrem\ngame.setPlayerName \"Old\"\n"},
            {"Mods/GvTarsis/settings/Profiles/Custom/Video.con",
             "rem video\n\ngame.setGameDisplayMode 800 600 32 0\n"},
            {"Mods/GvTarsis/settings/Profiles/Custom/Sound.con",
             "rem sound\n\ngame.soundEnable 1" + QByteArray(14, '\n') + "rem after the lines\n"},
            {"Mods/GvTarsis/settings/ServerSettings.con", "rem server" + QByteArray(40, '\n')},
            {"Mods/GvTarsis/settings/maplist.con", "game.addLevel Old\n"},
            {"Mods/GvTarsis/Archives/GvTarsis/Levels/Brume.rfa", "level Brume"},
            {"Mods/GvTarsis/Init.con", "1\n2\n3\n4\nGame.setMenuMusicFilename \"music/Theme\"\n\n"},
            {"Mods/GvTarsis/Music/Night.bik", "music Night"},
            {"My Music/A.mp3", "tune A"},
            {"My Music/B.bak", "tune B"},
            {"Movies/Brume.bik", "movie Brume"},
            {"Movies/Oxley.bik", "movie Oxley"},
            {"Movies/Intro.bik", "movie Intro"},
            {"Movies/Legal.bik", "movie Legal"},
            {"../config/Oxley Games/Grimvale Tarsis.conf",
             "[General]\nGAMEDIR=" + QFile::encodeName(game()) + '\n'},
        };
        for (const auto& [relative, content] : files)
            test::writeFile(game() + u'/' + QString::fromLatin1(relative), content);
        QDir().mkpath(home());
    }

    // Every file of the game folder and of the state folder, by path, with its content; the
    // history apart (its entries carry times), which is read as the program reads it.
    std::map<QString, QByteArray> files() const {
        std::map<QString, QByteArray> found;
        for (const QString& folder : {game(), state()}) {
            QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                // The locks that keep two instances from saving one file at once stay, empty,
                // named after the file's path of each walk; the history is read as the program
                // reads it.
                if (it.filePath().contains(u"/gvtarsis-modmanager/locks/"_s) ||
                    it.filePath().startsWith(state() + u"/history/"_s))
                    continue;
                file.open(QIODevice::ReadOnly);
                found[it.filePath().mid(root.size() + 1)] = file.readAll();
            }
        }
        return found;
    }

    // The history of the game folder, as the next start finds it.
    platform::History history() const {
        const test::EnvironmentScope stateHome{
            {{"XDG_STATE_HOME", QFile::encodeName(home() + u"/.local/state"_s)}}};
        return platform::History(game());
    }
};

// What a child printed: "message", "note" (of a recovery), "count" (of its calls) and "broken"
// (rules), and whether the fault ended it.
struct Outcome {
    bool ended = false;
    QMap<QString, QStringList> printed;
    QStringList operator[](const char* kind) const {
        return printed.value(QString::fromLatin1(kind));
    }
    int count() const { return (*this)["count"].value(0).toInt(); }
};

Outcome runChild(const Installation& at, const QStringList& arguments) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, at.home());
    for (const char* name : {"XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "WINEPREFIX"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{u"--child"_s, at.root} + arguments);
    child.waitForFinished(60000);
    Outcome outcome{child.exitStatus() == QProcess::CrashExit, {}};
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n'))
        outcome.printed[line.section(u'\t', 0, 0)].append(line.section(u'\t', 1));
    return outcome;
}

// A file the save changed: its path before and after (the same unless it was renamed).
using Made = QList<QPair<QString, QString>>;

// What is wrong in `files` against the state before and after the save: a file neither old nor
// new, or under both its names, and anything else (crash litter stands when `litterAllowed`).
// The files left old are put in `old`, by their path before, and those made new in `made`.
QStringList problemsOf(const std::map<QString, QByteArray>& before,
                       const std::map<QString, QByteArray>& after,
                       const std::map<QString, QByteArray>& files, bool litterAllowed,
                       QStringList* old = nullptr, Made* made = nullptr) {
    const auto at = [&files](const QString& path) {
        const auto found = files.find(path);
        return found == files.end() ? std::optional<QByteArray>() : found->second;
    };
    QStringList problems;
    for (const auto& [path, content] : before) {
        // Where the save puts the file: at its path, or where its content went (a rename).
        QString moved = path;
        QByteArray now = after.count(path) ? after.at(path) : QByteArray();
        for (const auto& [other, otherContent] : after) {
            if (!after.count(path) && otherContent == content && !before.count(other))
                moved = other, now = otherContent;
        }
        const bool isOld = at(path) == content, isNew = at(moved) == now;
        if (moved == path ? !isOld && !isNew : isOld == isNew)
            problems.append(path + u": neither old nor new, or under both names"_s);
        if (isOld && !isNew && old)
            old->append(path);
        if (isNew && !isOld && made && !path.contains(u"/recovery/"_s))
            made->append({path, moved});
    }
    for (const auto& [path, content] : files) {
        if (!before.count(path) && !after.count(path) &&
            !(litterAllowed && path.contains(u".new-"_s)))
            problems.append(u"litter: "_s + path);
    }
    return problems;
}

// What is wrong in the history after a save that made `made`, when it held `entriesBefore`
// entries before: an entry whose contents are not kept, a save that made something and left
// no entry of it, or one that made nothing and left one; what a crash left of its sessions.
QStringList historyProblems(const Installation& at, const std::map<QString, QByteArray>& before,
                            const Made& made, qsizetype entriesBefore) {
    const platform::History history = at.history();
    const QList<platform::HistoryEntry>& entries = history.entries();
    QStringList problems;
    for (const platform::HistoryEntry& entry : entries) {
        for (const platform::HistoryChange& change : entry.changes) {
            if (!change.isRename() &&
                (!history.content(change.before) || !history.content(change.after)))
                problems.append(u"contents not kept: "_s + entry.what);
        }
    }
    if (entries.size() != entriesBefore + (made.isEmpty() ? 0 : 1))
        problems.append(u"entries: "_s + QString::number(entries.size()));
    // Paths as the history records them: their folders' links followed.
    const auto real = [&at](const QString& path) {
        const QString full = at.root + u'/' + path;
        return QFile::encodeName(QFileInfo(full.section(u'/', 0, -2)).canonicalFilePath() + u'/' +
                                 full.section(u'/', -1));
    };
    const QList<platform::HistoryChange> newest = entries.value(0).changes;
    for (const auto& change : made) {
        const QString& from = change.first;
        const QString& to = change.second;
        if (std::none_of(newest.begin(), newest.end(), [&](const platform::HistoryChange& c) {
                return c.path == real(from) &&
                       (from == to ? !c.isRename() && history.content(c.before) == before.at(from)
                                   : c.newPath == real(to));
            }))
            problems.append(u"not in the newest entry: "_s + from);
    }
    QDirIterator left(at.state() + u"/history"_s, {u"open-*"_s, u".journal.new-*"_s},
                      QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    if (left.hasNext())
        problems.append(u"left by a crash: "_s + left.next());
    return problems;
}

struct Operation {
    const char* name;
    const char* variant; // "", "in place" (its folder takes no new file), "links" (no renameat2),
                         // "no links" (neither renameat2 nor hard links, as on some FUSE mounts)
    bool stopsAtFirst;   // a failure ends it: what follows stays old, untold
};

QString nameOf(const QString& path) {
    return path.section(u'/', -1);
}

} // namespace

TEST(SaveWalk, EveryCallOfEverySaveFailingOrCutLeavesEachFileOldOrNewAndTold) {
    const Operation operations[] = {{"settings", "", false},
                                    {"settings", "in place", false},
                                    {"host", "", false},
                                    {"host", "in place", false},
                                    {"music", "", false},
                                    {"music", "in place", false},
                                    {"mp3", "", false},
                                    {"mp3", "links", false},
                                    {"mp3", "no links", false},
                                    {"movies", "", true},
                                    {"movies", "links", true},
                                    {"restore settings", "", false},
                                    {"restore settings", "in place", false},
                                    {"restore movies", "", true},
                                    {"restore movies", "links", true}};
    // Every call by default; GVT_WALK_STEP=n takes every n-th, for a quicker look.
    const int step = std::max(1, qEnvironmentVariableIntValue("GVT_WALK_STEP"));
    // GVT_WALK_PART=k/m walks the k-th of m shares of the saves, so that the shares run at once.
    const QStringList part = qEnvironmentVariable("GVT_WALK_PART", u"0/1"_s).split(u'/');
    int index = 0;
    for (const Operation& operation : operations) {
        if (index++ % std::max(1, part.value(1).toInt()) != part.value(0).toInt())
            continue;
        const QString name = QString::fromLatin1(operation.name);
        const QString variant = QString::fromLatin1(operation.variant);
        SCOPED_TRACE(name.toStdString() + " " + variant.toStdString());
        // A restore undoes a save made first, without faults.
        const auto make = [&name](const Installation& at) {
            at.make();
            if (name.startsWith(u"restore "_s))
                runChild(at, {name.section(u' ', 1), {}, u"none"_s, u"0"_s});
        };
        QTemporaryDir dry;
        const Installation clean(dry.path());
        make(clean);
        const auto before = clean.files();
        const qsizetype entriesBefore = clean.history().entries().size();
        const Outcome normal = runChild(clean, {name, variant, u"none"_s, u"0"_s});
        const auto after = clean.files();
        ASSERT_GT(normal.count(), 0);
        ASSERT_NE(before, after) << "the save changed nothing";
        EXPECT_EQ(normal["broken"], QStringList());
        EXPECT_EQ(normal["message"], QStringList());
        EXPECT_EQ(normal["question"], QStringList());

        for (int n = 1; n <= normal.count(); n += step) {
            SCOPED_TRACE(n);
            {
                // An error at call n: each file old or new, each old one told, nothing else.
                QTemporaryDir folder;
                const Installation at(folder.path());
                make(at);
                const Outcome failed = runChild(at, {name, variant, u"fail"_s, QString::number(n)});
                // What the error left in the state folder goes when the program starts again.
                if (QDir(at.state() + u"/recovery"_s).entryList(QDir::Files).size() > 0)
                    runChild(at, {u"start"_s, {}, u"none"_s, u"0"_s});
                QStringList old;
                Made made;
                EXPECT_EQ(problemsOf(before, after, at.files(), false, &old, &made), QStringList());
                EXPECT_EQ(historyProblems(at, before, made, entriesBefore), QStringList());
                const QStringList messages = failed["message"];
                const auto told = [&messages](const QString& path) {
                    return !messages.filter(nameOf(path)).isEmpty();
                };
                // Where a failure ends the save, what follows it stays old and untold.
                if (operation.stopsAtFirst) {
                    EXPECT_TRUE(old.isEmpty() || std::any_of(old.begin(), old.end(), told));
                }
                for (const QString& path : operation.stopsAtFirst ? QStringList() : old)
                    EXPECT_TRUE(told(path)) << path.toStdString() << " is old, untold";
                for (const QString& message : messages)
                    EXPECT_TRUE(std::any_of(
                        old.begin(), old.end(),
                        [&message](const QString& path) { return message.contains(nameOf(path)); }))
                        << "told, but not old: " << message.toStdString();
            }
            {
                // The process ends at call n: once the program starts again, each file is old
                // or new; the save made again leaves nothing but new files.
                QTemporaryDir folder;
                const Installation at(folder.path());
                make(at);
                ASSERT_TRUE(runChild(at, {name, variant, u"end"_s, QString::number(n)}).ended);
                const bool kept =
                    !QDir(at.state() + u"/recovery"_s).entryList({u"rewrite-*"_s}).isEmpty();
                const Outcome started = runChild(at, {u"start"_s, {}, u"none"_s, u"0"_s});
                Made made;
                EXPECT_EQ(problemsOf(before, after, at.files(), true, nullptr, &made),
                          QStringList());
                EXPECT_EQ(historyProblems(at, before, made, entriesBefore), QStringList());
                EXPECT_TRUE(!kept || !started["note"].isEmpty()) << "a recovery not told";
                runChild(at, {name, variant, u"none"_s, u"0"_s});
                const auto again = at.files();
                EXPECT_EQ(problemsOf(before, after, again, false), QStringList());
                if (!operation.stopsAtFirst) {
                    EXPECT_EQ(again, after);
                }
            }
        }
    }
}

namespace {

// The child: one save, with call n failing or ending the process, reported on standard output.
int runSave(const QStringList& arguments) {
    const Installation at(arguments.value(0));
    const QString operation = arguments.value(1), variant = arguments.value(2);
    const QString mode = arguments.value(3);
    const int n = arguments.value(4).toInt();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, at.root + u"/config"_s);
    const auto print = [](const char* kind, const QString& text) {
        std::printf("%s\t%s\n", kind, text.toUtf8().constData());
        std::fflush(stdout);
    };
    ui::setMessageCapture(
        [&](QWidget*, const QString& text, ui::MessageIcon) { print("message", text); });
    ui::setQuestionCapture([&](QWidget*, const QString& text) {
        print("question", text);
        return true;
    });
    platform::setRecoveryReporter([&](const QString& text) { print("note", text); });
    // As the program does when it starts.
    platform::recoverInterruptedSaves();
    platform::recoverInterruptedActions();
    if (operation == u"start")
        return 0;

    test::TestPlatform services(at.game());
    std::function<void()> save;
    settings::SettingsDialog settingsDialog(services.game);
    multiplayer::MultiplayerDialog multiplayerDialog(services.platform, services.game);
    music::MusicDialog musicDialog(services.game);
    std::unique_ptr<app::RestoreDialog> restore;
    if (operation.startsWith(u"restore"_s)) {
        restore = std::make_unique<app::RestoreDialog>(services.game, nullptr);
        restore->show();
        Ui::RestoreDialogUi& f = restore->controls();
        // The save made before, not a restore of it that an earlier run began.
        for (int row = f.savesList->count() - 1; row >= 0; --row) {
            if (!f.savesList->item(row)->text().contains(u"Restored: "_s))
                f.savesList->setCurrentRow(row);
        }
        save = [&f] { test::click(f.restoreButton); };
    } else if (operation == u"settings" || operation == u"movies") {
        settings::SettingsWindow& window = settingsDialog.open(nullptr);
        window.show();
        Ui::SettingsDialogUi& f = window.controls();
        test::type(f.nameEdit, u"Walker"_s);
        save = [&f, operation] {
            test::click(operation == u"movies" ? static_cast<QAbstractButton*>(f.disableMoviesCheck)
                                               : f.saveButton);
        };
    } else if (operation == u"host") {
        multiplayer::MultiplayerWindow& window = multiplayerDialog.open(nullptr);
        window.show();
        Ui::MultiplayerDialogUi& f = window.controls();
        test::type(f.serverNameEdit, u"Walk Server"_s);
        f.disabledList->setCurrentRow(0);
        test::click(f.enableMapButton);
        save = [&f] { test::click(f.startButton); };
    } else {
        music::MusicWindow& window = musicDialog.open(nullptr);
        window.show();
        Ui::MusicDialogUi& f = window.controls();
        test::choose(f.menuMusicCombo, u"Night.bik"_s);
        save = [&f, operation] {
            // Made again after a cut, a move that was done has nothing left to move.
            test::click(operation == u"music" ? f.saveButton : f.disableButton);
        };
    }
    faults::watch({at.game()}, at.state());
    faults::requireHistory();
    if (variant == u"in place")
        faults::failAll("mkostemp", EACCES, at.game());
    if (variant == u"links" || variant == u"no links")
        faults::failAll("renameat2", EINVAL);
    if (variant == u"no links")
        faults::failAll("link", EPERM);
    if (mode == u"fail")
        faults::failAt(n, EIO);
    if (mode == u"end")
        faults::endAt(n);
    save();
    faults::stopWatching();
    print("count", QString::number(faults::count()));
    for (const QString& broken : faults::brokenRules())
        print("broken", broken);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        QApplication application(argc, argv);
        return runSave(QCoreApplication::arguments().mid(2));
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
