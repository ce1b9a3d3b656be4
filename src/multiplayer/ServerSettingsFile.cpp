// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiplayer/ServerSettingsFile.h"

#include "common/CodePage.h"
#include "common/LineFile.h"
#include "ui/MessageBox.h"

namespace gvt::multiplayer {

namespace {

QByteArray keyed(const char* key, const QByteArray& value) {
    return key + (' ' + value);
}

QByteArray quoted(const QString& text) {
    return '"' + common::toGameText(text) + '"';
}

QByteArray flag(bool value) {
    return value ? "1" : "0";
}

QByteArray number(int value) {
    return QByteArray::number(value);
}

} // namespace

QString serverSettingsPath(const QString& gameFolder) {
    return gameFolder + QStringLiteral("\\Mods\\gvtarsis\\Settings\\ServerSettings.con");
}

void readServerSettings(const platform::GameInstall& game, MultiplayerForm& form, QWidget* owner) {
    const auto lines =
        common::readLines(game, serverSettingsPath(form.gameFolder), kServerSettingsLineCount);
    if (!lines) {
        ui::showMessage(owner,
                        QStringLiteral("The file \"ServerSettings.con\" is missing or corrupt"),
                        ui::MessageIcon::Exclamation);
        return;
    }
    form.serverSettingsLines = *lines;
}

common::Lines serverSettingsLines(const MultiplayerForm& form) {
    common::Lines lines = form.serverSettingsLines;
    lines.resize(kServerSettingsLineCount);
    const auto set = [&lines](int position, QByteArray line) {
        lines[position - 1] = std::move(line);
    };
    set(1, keyed("game.serverName", quoted(form.serverName)));
    set(2, keyed("game.serverDedicated", flag(form.dedicated)));
    set(3, keyed("game.serverGamePlayMode", form.coop ? "GPM_COOP" : "GPM_CQ"));
    set(4, keyed("game.serverGameTime", common::toGameText(form.roundTime)));
    set(5, keyed("game.serverMaxPlayers", common::toGameText(form.maxPlayers)));
    set(7, keyed("game.serverInternet", flag(form.serverInternet)));
    set(8, keyed("game.serverNumberOfRounds", common::toGameText(form.numberOfRounds)));
    set(10, keyed("game.serverSpawnDelay", common::toGameText(form.spawnTime)));
    set(11, keyed("game.serverGameStartDelay", common::toGameText(form.startDelay)));
    set(13, keyed("game.serverSoldierFriendlyFire", number(form.friendlyFireSoldiers)));
    set(14, keyed("game.serverVehicleFriendlyFire", number(form.friendlyFireVehicles)));
    set(15, keyed("game.serverTicketRatio", number(form.ticketRatio)));
    set(18, keyed("game.serverCoopAiSkill", number(form.aiSkill)));
    set(20, keyed("game.serverPassword", quoted(form.serverPassword)));
    return lines;
}

void writeServerSettings(const platform::GameInstall& game, const MultiplayerForm& form,
                         QWidget* owner) {
    if (const auto result = common::rewriteLeadingLines(game, serverSettingsPath(form.gameFolder),
                                                        serverSettingsLines(form));
        result != platform::RewriteResult::Rewritten)
        ui::showMessage(owner,
                        common::writeFailedMessage(QStringLiteral("ServerSettings.con"), result),
                        ui::MessageIcon::Exclamation);
}

} // namespace gvt::multiplayer
