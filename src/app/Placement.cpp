// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Placement.h"

#include "common/GameLaunch.h"
#include "platform/Platform.h"
#include "platform/ProgramSettings.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace gvt::app {

namespace {

// The game folders the user chose not to place the Mod Manager in, one a line.
const QString kDeclined = QStringLiteral("NotPlacedIn");

QString describe(const platform::InstalledGame& game) {
    const QString folder = platform::shownFileName(game.place);
    if (game.prefix.isEmpty())
        return folder + QStringLiteral(" (named in the settings file)");
    return folder + QStringLiteral(" (the %1 prefix %2)")
                        .arg(game.manager, platform::shownFileName(game.prefix));
}

// Makes the link `link` to the program `real`; why it could not be made, or nothing.
QString placementProblem(const char* real, const QByteArray& link) {
    // A folder mounted without the right to run programs takes a link that cannot start.
    struct statvfs disk {};
    if (::statvfs(platform::folderOfPath(link).constData(), &disk) == 0 &&
        (disk.f_flag & ST_NOEXEC))
        return QStringLiteral("its file system does not let programs run from it (noexec)");
    if (::symlink(real, link.constData()) == 0)
        return {};
    switch (const int error = errno) {
    case EEXIST:
        return QStringLiteral("\"gvtarsis-modmanager\" is there already, and is left as it is");
    case EACCES:
    case EROFS:
        return QStringLiteral("the folder is write-protected");
    case EPERM:
    case EOPNOTSUPP:
        return QStringLiteral("its file system takes no links");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("the disk is full");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace

platform::GameInstall placeLauncher(platform::Platform& platform,
                                    const platform::UserPlaces& places,
                                    const PlacementQuestion& ask, QWidget* owner) {
    const platform::GameInstall lookup =
        platform::findGameInstall(platform.program.programPath(), places);
    if (!lookup.gameFolder.isEmpty() &&
        common::isPlacedInGameFolder(platform, lookup, lookup.gameFolder))
        return lookup;
    // Going on as a link in a game folder, the launcher finds that folder's game.
    const auto goOnAs = [&](const QString& link, const QString& place) {
        platform.program.startAs(link);
        [[maybe_unused]] const int entered = ::chdir(platform::fileNameOfText(place).constData());
        return platform::findGameInstall(link, places);
    };
    // Links lead to the program itself, wherever it was started from.
    char real[PATH_MAX];
    const QByteArray self = platform::fileNameOfText(platform.program.programPath());
    if (!::realpath(self.constData(), real))
        return lookup;
    QList<platform::InstalledGame> games = platform::findInstalledGames(places);
    games.removeIf([](const platform::InstalledGame& game) { return game.place.isEmpty(); });
    // Put in a game folder by hand, it stays where it is: the placement message tells the rest.
    const QString folder = platform::programFolderOf(platform.program.programPath());
    for (const platform::InstalledGame& game : games) {
        if (platform::sameEntryOnDisk(platform::fileNameOfText(folder),
                                      platform::fileNameOfText(game.place)))
            return lookup;
    }
    const auto linkIn = [](const platform::InstalledGame& game) {
        return game.place + QStringLiteral("/gvtarsis-modmanager");
    };
    // A game folder with a link to this program: placed at an earlier start. One that holds
    // another launcher (copied there by hand or by the install script), or that the user said
    // no to, is not offered again.
    const QStringList declined = platform::readConfigValue(kDeclined).split(u'\n');
    QList<platform::InstalledGame> offered;
    for (const platform::InstalledGame& game : games) {
        struct stat st {};
        if (::lstat(platform::fileNameOfText(linkIn(game)).constData(), &st) != 0) {
            if (!declined.contains(game.place))
                offered.append(game);
        } else if (S_ISLNK(st.st_mode) &&
                   platform::sameEntryOnDisk(platform::fileNameOfText(linkIn(game)), real)) {
            return goOnAs(linkIn(game), game.place);
        }
    }
    games = offered;
    if (games.isEmpty())
        return lookup;
    // Folders not to offer again: those the user said no to, and where placing failed.
    const auto remember = [&](const QStringList& notAgain) {
        QStringList folders = declined + notAgain;
        folders.removeAll(QString());
        platform::setConfigValue(kDeclined, folders.join(u'\n'));
        platform::saveConfigValues();
    };
    const PlacementAnswer answer = ask(games);
    if (answer.kind == PlacementAnswer::Kind::NotNow)
        return lookup;
    if (answer.kind == PlacementAnswer::Kind::DontPlace || answer.game < 0 ||
        answer.game >= games.size()) {
        QStringList offeredPlaces;
        for (const platform::InstalledGame& game : games)
            offeredPlaces.append(game.place);
        remember(offeredPlaces);
        return lookup;
    }
    const platform::InstalledGame& game = games[answer.game];
    const QByteArray link = platform::fileNameOfText(linkIn(game));
    if (const QString why = placementProblem(real, link); !why.isEmpty()) {
        // Another launcher may just have made the very same link: then it is this one's too.
        if (QFileInfo(linkIn(game)).isSymLink() && platform::sameEntryOnDisk(link, real))
            return goOnAs(linkIn(game), game.place);
        ui::showMessage(owner,
                        QStringLiteral("The Mod Manager could not be placed in \"%1\": %2.\n\n"
                                       "It does not ask again for this folder. To place it by "
                                       "hand, make the link in a terminal:\nln -s \"%3\" \"%1/\"")
                            .arg(platform::shownFileName(game.place), why,
                                 platform::shownFileName(platform::textOfFileName(real))),
                        ui::MessageIcon::Exclamation);
        remember({game.place});
        return lookup;
    }
    return goOnAs(linkIn(game), game.place);
}

PlacementAnswer askWhereToPlace(const QList<platform::InstalledGame>& games) {
    ui::ModalDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Place the Mod Manager"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(
        games.size() == 1
            ? QStringLiteral("Grimvale Tarsis is installed in %1.\n\nThe Mod Manager starts the "
                             "game from the game folder. Place it there? A link to it, "
                             "\"gvtarsis-modmanager\", is made in that folder; later starts go "
                             "there at once. Choose \"Don't Place It\" and it does not ask again; "
                             "close this question and it asks at the next start.")
                  .arg(describe(games.first()))
            : QStringLiteral(
                  "Grimvale Tarsis is installed in several places. The Mod Manager "
                  "starts the game from the game folder: in which shall it be "
                  "placed? A link to it, \"gvtarsis-modmanager\", is made in that "
                  "folder; later starts go there at once. Choose \"Don't Place It\" and it does "
                  "not ask again; close this question and it asks at the next start."),
        &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* list = new QListWidget(&dialog);
    for (const platform::InstalledGame& game : games)
        list->addItem(describe(game));
    list->setCurrentRow(0);
    // Wide enough for the folders, as high as their rows (up to eight).
    const int frame = 2 * list->frameWidth() + 4;
    list->setMinimumWidth(std::min(list->sizeHintForColumn(0) + frame, 960));
    list->setFixedHeight(list->sizeHintForRow(0) * int(std::min<qsizetype>(games.size(), 8)) +
                         frame);
    list->setAccessibleName(QStringLiteral("Game folders"));
    list->setVisible(games.size() > 1);
    text->setBuddy(list);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Place It"), QDialogButtonBox::AcceptRole);
    // "Don't Place It" is an answer of its own; Escape and the close box answer nothing.
    QPushButton* dontPlace =
        buttons->addButton(QStringLiteral("Don't Place It"), QDialogButtonBox::DestructiveRole);
    constexpr int kDontPlace = 2;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(dontPlace, &QPushButton::clicked, &dialog,
                     [&dialog] { dialog.done(kDontPlace); });
    layout->addWidget(buttons);
    const int result = dialog.exec();
    if (result == QDialog::Accepted)
        return {PlacementAnswer::Kind::Place, list->currentRow()};
    return {result == kDontPlace ? PlacementAnswer::Kind::DontPlace : PlacementAnswer::Kind::NotNow,
            -1};
}

} // namespace gvt::app
