// SPDX-License-Identifier: GPL-3.0-or-later
// What our folder search and sorted lists cost over the bare Qt and standard library calls they
// stand on, at 1,000, 10,000 and 100,000 entries.
#include "platform/files/FolderSearch.h"
#include "ui/SortedList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

QStringList makeNames(int count) {
    QStringList names;
    names.reserve(count);
    QRandomGenerator random(count);
    for (int i = 0; i < count; ++i) {
        const quint32 r = random.generate();
        names.append(QStringLiteral("%1 Track %2.%3")
                         .arg(QChar(u'A' + int(r % 26)))
                         .arg(r, 8, 16, QChar(u'0'))
                         .arg(i % 3 == 0 ? QStringLiteral("MP3") : QStringLiteral("mp3")));
    }
    return names;
}

// One folder per size, filled once for the whole run.
QString folderWith(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[count];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        for (const QString& name : makeNames(count)) {
            const int fd = ::open(QFile::encodeName(dir->path() + u'/' + name).constData(),
                                  O_CREAT | O_WRONLY, 0644);
            ::close(fd);
        }
    }
    return dir->path();
}

void FolderSearch(benchmark::State& state) {
    const QByteArray folder = QFile::encodeName(folderWith(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(gvt::platform::findEntries(folder, QStringLiteral("*.mp3")));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void FolderSearchBaselineQDir(benchmark::State& state) {
    const QString folder = folderWith(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(QDir(folder).entryList(
            {QStringLiteral("*.mp3")}, QDir::AllEntries | QDir::Hidden, QDir::Unsorted));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SortedListFill(benchmark::State& state) {
    const QStringList names = makeNames(int(state.range(0)));
    QListWidget list;
    list.setUniformItemSizes(true);
    for (auto _ : state)
        gvt::ui::fillSorted(&list, names);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SortedListBaselineStdSort(benchmark::State& state) {
    const QStringList names = makeNames(int(state.range(0)));
    for (auto _ : state) {
        QStringList copy = names;
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(FolderSearch)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(FolderSearchBaselineQDir)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SortedListFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortedListBaselineStdSort)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
