// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProfileSettings.h"

#include "common/CodePage.h"

#include <algorithm>
#include <climits>

namespace gvt::settings {

QString profileFilePath(const QString& gameFolder, const QString& profile, const char* file) {
    return gameFolder + QStringLiteral("\\Mods\\GvTarsis\\settings\\Profiles\\") + profile + u'\\' +
           QString::fromLatin1(file);
}

QString valueText(const QByteArray& line, int keyLength) {
    return common::fromGameText(line.mid(keyLength));
}

void splitDisplayMode(ProfileSettings& settings, const QString& value) {
    QString rest = value;
    const auto take = [&rest](bool consume) {
        const qsizetype blank = rest.indexOf(u' ');
        if (blank < 0)
            return QString();
        QString part = rest.left(blank);
        if (consume)
            rest = rest.mid(blank + 1);
        return part;
    };
    settings.width = take(true);
    settings.height = take(true);
    settings.depth = take(false);
    settings.displayMode =
        settings.width + u' ' + settings.height + u' ' + settings.depth + QStringLiteral(" 0");
}

QString resolutionText(const ProfileSettings& settings) {
    return settings.width + u'x' + settings.height + u'@' + settings.depth;
}

QString displayModeFromEntry(const QString& entry) {
    QString mode = entry;
    mode.replace(u'x', u' ').replace(u'@', u' ');
    return mode + QStringLiteral(" 0");
}

QStringList resolutionList() {
    return {QStringLiteral("640x480@16"),   QStringLiteral("640x480@32"),
            QStringLiteral("800x600@16"),   QStringLiteral("800x600@32"),
            QStringLiteral("1024x768@16"),  QStringLiteral("1024x768@32"),
            QStringLiteral("1152x864@16"),  QStringLiteral("1152x864@32"),
            QStringLiteral("1280x960@16"),  QStringLiteral("1280x960@32"),
            QStringLiteral("1600x1200@16"), QStringLiteral("1600x1200@32")};
}

int numberOf(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 2147483648LL)
            value = 2147483648LL;
    }
    value = negative ? -value : value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

QString levelLabel(LevelScale scale, const QString& value) {
    static const QStringList quality = {QString(), QStringLiteral("[Low]"),
                                        QStringLiteral("[Medium]"), QStringLiteral("[High]")};
    static const QStringList percent = {QString(),
                                        QStringLiteral("[20%]"),
                                        QStringLiteral("[40%]"),
                                        QStringLiteral("[60%]"),
                                        QStringLiteral("[80%]"),
                                        QStringLiteral("[100%]")};
    static const QStringList occlusion = {QStringLiteral("[Off]"), QStringLiteral("[Low]"),
                                          QStringLiteral("[High]")};
    const QStringList& labels = scale == LevelScale::Quality   ? quality
                                : scale == LevelScale::Percent ? percent
                                                               : occlusion;
    if (value.size() != 1 || value[0] < u'0' || value[0] > u'9')
        return {};
    const int digit = value[0].unicode() - u'0';
    return digit < labels.size() ? labels[digit] : QString();
}

} // namespace gvt::settings
