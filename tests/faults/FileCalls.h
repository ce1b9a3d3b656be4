#pragma once

#include <QString>
#include <QStringList>

// The calls of this process that change something on disk (opening a file for writing, writing,
// flushing, renaming, removing, changing modes and owners, reserving space), seen below one
// folder: counted, told one by one, and one of them made to fail or to end the process at once,
// as a full disk or a power cut would. The program's code is not touched: the C library's
// functions are taken over by this test library's own, which pass the calls on.
namespace gvt::test::fileCalls {

// Watches the calls on what lies below `folders` (paths on this machine), from now on.
void watch(const QStringList& folders);
void stopWatching();

// How many write-side calls were seen, and how many of them were flushes (fsync, fdatasync).
int count();
int flushes();
// What each call was, in order: "rename <from> <to>", "fsync <file>", …
QStringList calls();

// The n-th write-side call (from 1) fails with `error` instead of happening.
void failAt(int n, int error);
// The n-th write-side call ends the process (SIGKILL) instead of happening.
void endAt(int n);
// Every call named `name` ("renameat2") fails with `error`, as where the file system lacks it.
void failAll(const char* name, int error);

} // namespace gvt::test::fileCalls
