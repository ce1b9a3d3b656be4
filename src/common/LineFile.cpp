// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LineFile.h"

#include "platform/GameInstall.h"
#include "platform/files/FileRead.h"
#include "platform/files/FileReplace.h"

namespace gvt::common {

qsizetype endOfLine(QByteArrayView content, int count) {
    qsizetype position = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype newline = content.indexOf('\n', position);
        if (newline < 0)
            return content.size();
        position = newline + 1;
    }
    return position;
}

Lines splitLines(QByteArrayView content, int count) {
    Lines lines;
    lines.reserve(count);
    qsizetype position = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype end = endOfLine(content.sliced(position), 1) + position;
        QByteArrayView line = content.sliced(position, end - position);
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
        }
        lines.append(line.toByteArray());
        position = end;
    }
    return lines;
}

QByteArray replaceLeadingLines(QByteArrayView old, const Lines& lines) {
    const QByteArrayView tail = old.sliced(endOfLine(old, int(lines.size())));
    qsizetype size = tail.size();
    for (const QByteArray& line : lines)
        size += line.size() + 2;
    QByteArray content;
    content.reserve(size);
    for (const QByteArray& line : lines)
        content.append(line).append("\r\n", 2);
    return content.append(tail);
}

QString writeFailedMessage(const QString& fileName, platform::RewriteResult result) {
    QString text = QStringLiteral("The file \"%1\" is missing or write protected").arg(fileName);
    if (result == platform::RewriteResult::LinkToOtherName)
        text += QStringLiteral(": it is a link to a file of another name, outside the game, "
                               "which is left as it is");
    return text;
}

std::optional<Lines> readLines(const platform::GameInstall& game, const QString& pathText,
                               int count) {
    QByteArray content;
    if (!platform::readWholeFile(game.resolve(pathText), content))
        return std::nullopt;
    return splitLines(content, count);
}

platform::RewriteResult rewriteLeadingLines(const platform::GameInstall& game,
                                            const QString& pathText, const Lines& lines) {
    return platform::replaceExistingFile(game.resolve(pathText), [&](const QByteArray& old) {
        return replaceLeadingLines(old, lines);
    });
}

platform::RewriteResult rewriteWholeFile(const platform::GameInstall& game, const QString& pathText,
                                         const Lines& lines) {
    return platform::replaceExistingFile(game.resolve(pathText), [&](const QByteArray&) {
        return replaceLeadingLines(QByteArrayView(), lines);
    });
}

} // namespace gvt::common
