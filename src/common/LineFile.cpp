#include "common/LineFile.h"

#include "platform/FileReplace.h"
#include "platform/PathText.h"

#include <QFile>
#include <QFileInfo>

namespace gvt::common {

namespace {

QByteArray joinWithCrLf(const Lines& lines) {
    QByteArray out;
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const QByteArray& line : lines) {
        out.append(line);
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace

qsizetype endOfLine(const QByteArray& content, int count) {
    qsizetype position = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype newline = content.indexOf('\n', position);
        if (newline < 0)
            return content.size();
        position = newline + 1;
    }
    return position;
}

std::optional<Lines> readLines(const QString& pathText, int count) {
    const QString path = platform::resolvePath(pathText);
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Lines lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (file.atEnd()) {
            lines.append(QByteArray());
            continue;
        }
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
        }
        lines.append(std::move(line));
    }
    return lines;
}

bool rewriteLeadingLines(const QString& pathText, const Lines& lines) {
    const int count = int(lines.size());
    return platform::replaceExistingFile(
        platform::resolvePath(pathText), [&](const QByteArray& old) {
            return joinWithCrLf(lines) + old.mid(endOfLine(old, count));
        });
}

bool rewriteWholeFile(const QString& pathText, const Lines& lines) {
    return platform::replaceExistingFile(platform::resolvePath(pathText),
                                         [&](const QByteArray&) { return joinWithCrLf(lines); });
}

} // namespace gvt::common
