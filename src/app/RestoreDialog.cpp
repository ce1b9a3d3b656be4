// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RestoreDialog.h"

#include "common/GameFiles.h"
#include "common/LineDiff.h"
#include "common/LineFile.h"
#include "platform/GameInstall.h"
#include "platform/files/FileHistory.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/FileRename.h"
#include "platform/files/FileReplace.h"
#include "platform/files/PathLookup.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_RestoreDialog.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QHash>

namespace gvt::app {

namespace {

constexpr qint64 kLargestCompared = qint64(4) * 1024 * 1024;

QString fileNameIn(const QByteArray& path) {
    return platform::shownFileName(platform::textOfFileName(path.mid(path.lastIndexOf('/') + 1)));
}

// "A", "A and B", "A, B and C".
QString namesTogether(const QStringList& names) {
    return names.size() == 1 ? names.first()
                             : names.mid(0, names.size() - 1).join(QStringLiteral(", ")) +
                                   QStringLiteral(" and ") + names.last();
}

// The files an entry rewrote, each once, in the order it first changed them.
QList<QByteArray> rewrittenPaths(const platform::HistoryEntry& entry) {
    QList<QByteArray> paths;
    for (const platform::HistoryChange& change : entry.changes) {
        if (!change.isRename() && !paths.contains(change.path))
            paths.append(change.path);
    }
    return paths;
}

// The renames that undo an entry's, in the order they are made: each entry named back,
// the last renamed first.
QList<platform::HistoryChange> renamesBack(const platform::HistoryEntry& entry) {
    QList<platform::HistoryChange> back;
    for (const platform::HistoryChange& change : entry.changes) {
        if (change.isRename())
            back.prepend({change.newPath, change.path, {}, {}});
    }
    return back;
}

// Why the renames back cannot all be made, as the usual file-error message; nothing when they
// can. Each is tried on the names as the ones before it leave them, so that nothing is renamed
// unless everything can be.
std::optional<QString> renameProblem(const QList<platform::HistoryChange>& renames) {
    QHash<QByteArray, bool> there; // what the renames before leave, by path
    QHash<QByteArray, QList<QByteArray>> folders;
    const auto namesOf = [&folders](const QByteArray& folder) -> const QList<QByteArray>& {
        if (!folders.contains(folder))
            folders.insert(folder, platform::namesIn(folder));
        return folders[folder];
    };
    // Whether a folder holds the name of `path` in any letter case.
    const auto taken = [&](const QByteArray& path) {
        const QByteArray folder = platform::folderOfPath(path);
        const QString name = platform::textOfFileName(path.mid(path.lastIndexOf('/') + 1));
        const auto sameName = [&](const QByteArray& other) {
            return platform::sameNameIgnoringCase(
                platform::textOfFileName(other.mid(other.lastIndexOf('/') + 1)), name);
        };
        for (auto it = there.constBegin(); it != there.constEnd(); ++it) {
            if (it.value() && platform::folderOfPath(it.key()) == folder && sameName(it.key()))
                return true;
        }
        const QList<QByteArray>& names = namesOf(folder);
        return std::any_of(names.begin(), names.end(), [&](const QByteArray& onDisk) {
            const QByteArray full = (folder.endsWith('/') ? folder : folder + '/') + onDisk;
            return there.value(full, true) && sameName(onDisk);
        });
    };
    for (const platform::HistoryChange& rename : renames) {
        const QString from = platform::textOfFileName(rename.path);
        if (!there.value(rename.path, platform::entryExists(rename.path)))
            return common::renameFailureMessage({platform::FileError::Kind::NotFound, from, {}});
        if (taken(rename.newPath))
            return common::renameFailureMessage({platform::FileError::Kind::Exists, from,
                                                 platform::textOfFileName(rename.newPath)});
        there.insert(rename.path, false);
        there.insert(rename.newPath, true);
    }
    return std::nullopt;
}

} // namespace

RestoreDialog::RestoreDialog(const platform::GameInstall& game, QWidget* owner)
    : ModalDialog(owner), m_game(game), m_ui(std::make_unique<Ui::RestoreDialogUi>()) {
    m_ui->setupUi(this);
    m_ui->changesText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui::keepOneSelected(m_ui->savesList);
    // Read again, as an editor does when it opens: its saves are kept under the text it read.
    m_gameFolder = m_game.readGameFolder();
    m_gameOnDisk = m_gameFolder.isEmpty() ? QByteArray()
                                          : platform::realFolderOf(m_game.resolve(m_gameFolder));
    showSaves();
    connect(m_ui->savesList, &QListWidget::currentRowChanged, this, &RestoreDialog::showChanges);
    connect(m_ui->restoreButton, &QPushButton::clicked, this, &RestoreDialog::restoreSelected);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->savesList->setFocus();
}

RestoreDialog::~RestoreDialog() = default;

void RestoreDialog::showSaves() {
    m_history = std::make_unique<platform::History>(m_gameFolder);
    QListWidget* list = m_ui->savesList;
    const QSignalBlocker block(list);
    list->clear();
    for (const platform::HistoryEntry& entry : m_history->entries())
        list->addItem(QDateTime::fromMSecsSinceEpoch(entry.time).toString(u"yyyy-MM-dd HH:mm") +
                      QStringLiteral(" — ") + entry.what);
    if (list->count() > 0)
        list->setCurrentRow(0);
    m_ui->restoreButton->setEnabled(list->count() > 0);
    showChanges(list->currentRow());
}

QString RestoreDialog::shownPath(const QByteArray& path) const {
    const QByteArray inside = m_gameOnDisk.endsWith('/') ? m_gameOnDisk : m_gameOnDisk + '/';
    return platform::shownFileName(platform::textOfFileName(
        !m_gameOnDisk.isEmpty() && path.startsWith(inside) ? path.mid(inside.size()) : path));
}

void RestoreDialog::showChanges(int row) {
    const QList<platform::HistoryEntry>& entries = m_history->entries();
    if (row < 0 || row >= entries.size()) {
        m_ui->changesText->clear();
        return;
    }
    const platform::HistoryEntry& entry = entries[row];
    QStringList parts;
    for (const QByteArray& path : rewrittenPaths(entry)) {
        // From what the file held before the first change to what it held after the last.
        QByteArray before, after;
        for (const platform::HistoryChange& change : entry.changes) {
            if (change.path == path && !change.isRename()) {
                before = before.isNull() ? change.before : before;
                after = change.after;
            }
        }
        // A file too large to read as lines is told by its sizes, and not read.
        const qint64 oldSize = m_history->contentSize(before),
                     newSize = m_history->contentSize(after);
        const auto old = std::max(oldSize, newSize) <= kLargestCompared ? m_history->content(before)
                                                                        : std::nullopt;
        const auto now = old ? m_history->content(after) : std::nullopt;
        parts.append(shownPath(path) + u'\n' +
                     (old && now ? common::lineDifference(*old, *now)
                      : oldSize < 0 || newSize < 0
                          ? QStringLiteral("(its content is no longer kept)")
                          : QStringLiteral("(%L1 bytes before, %L2 after: too large to show)")
                                .arg(oldSize)
                                .arg(newSize)));
    }
    QStringList renames;
    for (const platform::HistoryChange& change : entry.changes) {
        if (change.isRename())
            renames.append(shownPath(change.path) + QStringLiteral(" → ") +
                           shownPath(change.newPath));
    }
    if (!renames.isEmpty())
        parts.append(renames.join(u'\n'));
    m_ui->changesText->setPlainText(parts.join(QStringLiteral("\n\n")));
}

void RestoreDialog::restoreSelected() {
    const int row = m_ui->savesList->currentRow();
    if (row < 0 || row >= m_history->entries().size())
        return;
    const platform::HistoryEntry entry = m_history->entries()[row];
    // Another program's changes are not overwritten without asking.
    QStringList changed;
    for (const QByteArray& path : m_history->changedSince(entry))
        changed.append(fileNameIn(path));
    if (!changed.isEmpty() &&
        !ui::askYesNo(this, windowTitle(),
                      changed.size() == 1
                          ? QStringLiteral("%1 was changed by another program since. Restore it "
                                           "anyway?")
                                .arg(changed.first())
                          : QStringLiteral("%1 were changed by another program since. Restore "
                                           "them anyway?")
                                .arg(namesTogether(changed))))
        return;
    const QList<platform::HistoryChange> renames = renamesBack(entry);
    if (const auto problem = renameProblem(renames)) {
        ui::showMessage(this, *problem, ui::MessageIcon::Exclamation);
        return;
    }
    {
        platform::HistoryAction restore(m_gameFolder, QStringLiteral("Restored: ") + entry.what);
        for (const QByteArray& path : rewrittenPaths(entry)) {
            const auto first = std::find_if(entry.changes.begin(), entry.changes.end(),
                                            [&path](const platform::HistoryChange& change) {
                                                return change.path == path && !change.isRename();
                                            });
            const std::optional<QByteArray> old = m_history->content(first->before);
            if (!old) {
                ui::showMessage(this,
                                QStringLiteral("The earlier content of \"%1\" is no longer kept "
                                               "whole; the file was left as it is.")
                                    .arg(fileNameIn(path)),
                                ui::MessageIcon::Exclamation);
            } else if (const auto result = platform::replaceExistingFile(
                           path, [&old](const QByteArray&) { return *old; });
                       result != platform::RewriteResult::Rewritten) {
                ui::showMessage(this, common::writeFailedMessage(fileNameIn(path), result),
                                ui::MessageIcon::Exclamation);
            }
        }
        for (const platform::HistoryChange& rename : renames) {
            const QByteArray& to = rename.newPath;
            if (const auto error = platform::renameFile(
                    rename.path, platform::folderOfPath(to),
                    platform::textOfFileName(to.mid(to.lastIndexOf('/') + 1)))) {
                ui::showMessage(this, common::renameFailureMessage(*error),
                                ui::MessageIcon::Exclamation);
                break;
            }
        }
    }
    showSaves();
}

} // namespace gvt::app
