// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LineDiff.h"

#include "common/CodePage.h"

#include <QList>

#include <vector>

namespace gvt::common {

namespace {

constexpr int kContext = 3;
// The part between the common start and end is compared line by line up to this many pairs
// (a few hundred lines each way); beyond it, all of it counts as changed.
constexpr qsizetype kMaxPairs = qsizetype(4) * 1000 * 1000;

// A content's lines, each with its line end.
QList<QByteArrayView> linesOf(QByteArrayView content) {
    QList<QByteArrayView> lines;
    for (qsizetype at = 0; at < content.size();) {
        const qsizetype newline = content.indexOf('\n', at);
        const qsizetype end = newline < 0 ? content.size() : newline + 1;
        lines.append(content.sliced(at, end - at));
        at = end;
    }
    return lines;
}

enum class Op { Same, Removed, Added };

struct Step {
    Op op;
    qsizetype before, after; // the line's index on each side it is on
};

// The steps from `a` to `b`: their common start and end kept, the middle by the longest
// common sequence of lines.
std::vector<Step> stepsBetween(const QList<QByteArrayView>& a, const QList<QByteArrayView>& b) {
    qsizetype start = 0;
    while (start < a.size() && start < b.size() && a[start] == b[start])
        ++start;
    qsizetype endA = a.size(), endB = b.size();
    while (endA > start && endB > start && a[endA - 1] == b[endB - 1])
        --endA, --endB;
    std::vector<Step> steps;
    for (qsizetype i = 0; i < start; ++i)
        steps.push_back({Op::Same, i, i});
    const qsizetype n = endA - start, m = endB - start;
    if (n * m <= kMaxPairs && n > 0 && m > 0) {
        // lengths[i][j]: the longest common sequence of a[start+i..] and b[start+j..].
        std::vector<quint32> lengths(size_t((n + 1) * (m + 1)), 0);
        const auto at = [m](qsizetype i, qsizetype j) { return size_t(i * (m + 1) + j); };
        for (qsizetype i = n - 1; i >= 0; --i) {
            for (qsizetype j = m - 1; j >= 0; --j)
                lengths[at(i, j)] = a[start + i] == b[start + j]
                                        ? lengths[at(i + 1, j + 1)] + 1
                                        : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
        }
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[start + i] == b[start + j]) {
                steps.push_back({Op::Same, start + i++, start + j++});
            } else if (j < m && (i == n || lengths[at(i, j + 1)] > lengths[at(i + 1, j)])) {
                steps.push_back({Op::Added, start + i, start + j++});
            } else {
                steps.push_back({Op::Removed, start + i++, start + j});
            }
        }
    } else {
        for (qsizetype i = start; i < endA; ++i)
            steps.push_back({Op::Removed, i, start});
        for (qsizetype j = start; j < endB; ++j)
            steps.push_back({Op::Added, endA, j});
    }
    for (qsizetype i = endA, j = endB; i < a.size(); ++i, ++j)
        steps.push_back({Op::Same, i, j});
    return steps;
}

QString shown(QByteArrayView line, bool changed) {
    QString end;
    if (line.endsWith("\r\n"))
        line.chop(2);
    else if (line.endsWith('\n'))
        line.chop(1), end = QStringLiteral("  [LF]");
    else
        end = QStringLiteral("  [no line end]");
    return fromGameText(line) + (changed ? end : QString());
}

// "start,count" of a hunk's side, as unified differences number lines (from 1; a side
// without lines names the line before it).
QString range(qsizetype first, qsizetype count) {
    return count == 1 ? QString::number(first + 1)
                      : QStringLiteral("%1,%2").arg(count == 0 ? first : first + 1).arg(count);
}

} // namespace

QString lineDifference(QByteArrayView before, QByteArrayView after, int maxLines) {
    const QList<QByteArrayView> a = linesOf(before), b = linesOf(after);
    const std::vector<Step> steps = stepsBetween(a, b);
    QStringList out;
    qsizetype left = 0; // lines not shown for the limit
    for (size_t i = 0; i < steps.size();) {
        if (steps[i].op == Op::Same) {
            ++i;
            continue;
        }
        // A hunk: from the context before this change to the context after the last change
        // that lies within twice the context of the one before it.
        size_t first = i >= size_t(kContext) ? i - size_t(kContext) : 0;
        while (first < i && steps[first].op != Op::Same)
            ++first;
        size_t last = i;
        for (size_t j = i; j < steps.size() && j <= last + 2 * size_t(kContext); ++j) {
            if (steps[j].op != Op::Same)
                last = j;
        }
        const size_t end = std::min(steps.size(), last + 1 + size_t(kContext));
        qsizetype countA = 0, countB = 0;
        for (size_t j = first; j < end; ++j) {
            countA += steps[j].op != Op::Added ? 1 : 0;
            countB += steps[j].op != Op::Removed ? 1 : 0;
        }
        QStringList hunk{
            QStringLiteral("@@ -%1 +%2 @@")
                .arg(range(steps[first].before, countA), range(steps[first].after, countB))};
        for (size_t j = first; j < end; ++j) {
            const Step& step = steps[j];
            hunk.append(step.op == Op::Same      ? u' ' + shown(a[step.before], false)
                        : step.op == Op::Removed ? u'-' + shown(a[step.before], true)
                                                 : u'+' + shown(b[step.after], true));
        }
        const qsizetype room = std::max<qsizetype>(0, maxLines - out.size());
        out.append(hunk.mid(0, room));
        left += hunk.size() - std::min(room, hunk.size());
        i = end;
    }
    if (left > 0)
        out.append(QStringLiteral("… and %1 more lines").arg(left));
    return out.join(u'\n');
}

} // namespace gvt::common
