#pragma once

#include <QString>
#include <QStringList>

// The calls of this process that change something on disk (opening a file for writing, writing,
// flushing, renaming, linking, removing, changing modes and owners, reserving space), seen below
// some folders: counted, told one by one, one of them made to fail or to end the process at
// once, as a full disk or a crash would, and held to the rules that keep a save whole through a
// power cut. The program's code is not touched: the C library's functions are taken over by
// this test library's own, which pass the calls on.
namespace gvt::test::fileCalls {

// Watches the calls on what lies below `folders` (paths on this machine), and below the
// program's state folder, from now on.
void watch(const QStringList& folders, const QString& stateFolder = {});
void stopWatching();

// How many write-side calls were seen, and how many of them were flushes (fsync, fdatasync).
int count();
int flushes();
// What each call was, in order: "rename <from> <to>", "fsync <file>", …
QStringList calls();

// The rules a power cut at any instant would show broken: a file renamed over another before
// it was flushed, a folder whose names changed and that was not flushed since (the state
// folder aside), a file that was there before changed before a copy of its whole content lay
// flushed in the state folder's "recovery".
QStringList brokenRules();

// The n-th write-side call (from 1) fails with `error` instead of happening.
void failAt(int n, int error);
// The n-th write-side call ends the process (SIGKILL) instead of happening.
void endAt(int n);
// Every call named `name` ("renameat2") below `folder` (anywhere when empty) fails with
// `error`, as where the file system lacks it or the folder is write-protected.
void failAll(const char* name, int error, const QString& folder = {});

} // namespace gvt::test::fileCalls
