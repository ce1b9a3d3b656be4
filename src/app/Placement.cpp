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
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
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
    const std::optional<qsizetype> chosen = ask(games);
    if (!chosen || *chosen < 0 || *chosen >= games.size()) {
        QStringList folders = declined;
        for (const platform::InstalledGame& game : games)
            folders.append(game.place);
        folders.removeAll(QString());
        platform::setConfigValue(kDeclined, folders.join(u'\n'));
        platform::saveConfigValues();
        return lookup;
    }
    const platform::InstalledGame& game = games[*chosen];
    const QByteArray link = platform::fileNameOfText(linkIn(game));
    if (::symlink(real, link.constData()) != 0) {
        const int error = errno;
        ui::showMessage(
            owner,
            QStringLiteral("The Mod Manager could not be placed in \"%1\": %2.")
                .arg(platform::shownFileName(game.place),
                     error == EEXIST
                         ? QStringLiteral("\"gvtarsis-modmanager\" is there already, and is "
                                          "left as it is")
                         : QString::fromLocal8Bit(std::strerror(error))),
            ui::MessageIcon::Exclamation);
        return lookup;
    }
    return goOnAs(linkIn(game), game.place);
}

std::optional<qsizetype> askWhereToPlace(const QList<platform::InstalledGame>& games) {
    ui::ModalDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Place the Mod Manager"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(
        games.size() == 1
            ? QStringLiteral("Grimvale Tarsis is installed in %1.\n\nThe Mod Manager starts the "
                             "game from the game folder. Place it there? A link to it, "
                             "\"gvtarsis-modmanager\", is made in that folder; later starts go "
                             "there at once. Choose \"Don't Place It\" and it does not ask again.")
                  .arg(describe(games.first()))
            : QStringLiteral(
                  "Grimvale Tarsis is installed in several places. The Mod Manager "
                  "starts the game from the game folder: in which shall it be "
                  "placed? A link to it, \"gvtarsis-modmanager\", is made in that "
                  "folder; later starts go there at once. Choose \"Don't Place It\" and it does "
                  "not ask again."),
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
    buttons->addButton(QStringLiteral("Don't Place It"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return list->currentRow();
}

} // namespace gvt::app
