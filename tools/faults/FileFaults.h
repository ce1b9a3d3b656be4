// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The calls of a process that change something on disk (opening a file for writing, writing,
// reserving space, flushing, renaming, linking, removing, making folders, changing modes and
// owners), seen below some folders: counted, told one by one, one of them made to fail or to
// end the process at once, as a full disk or a crash would, and held to the rules that keep a
// save whole through a power cut. The program's code is not touched: this library's functions
// take the C library's place, and pass the calls on.
//
// Linked into a test program, it is driven by the functions below. Preloaded into the program
// itself (LD_PRELOAD=libgvt-faults.so), by variables: GVT_FAULTS_WATCH (folders, separated by
// ":"), GVT_FAULTS_STATE (the program's state folder), GVT_FAULTS_FAIL_AT (a call's number) with
// GVT_FAULTS_ERROR (its errno, 5 unless set), GVT_FAULTS_END_AT (a call's number), and
// GVT_FAULTS_REPORT (a file that gets the calls and the rules broken when the process ends).
namespace gvt::faults {

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

// From now on, the rules also ask for the history: before a watched file that was there before
// is replaced or written in place, its content lies in a flushed file of the state folder's
// "history", in flushed folders; before an entry is renamed, its two paths do.
void requireHistory();

// The n-th write-side call (from 1) fails with `error` instead of happening.
void failAt(int n, int error);
// The n-th write-side call ends the process (SIGKILL) instead of happening.
void endAt(int n);
// Every call named `name` ("renameat2") below `folder` (anywhere when empty) fails with
// `error`, as where the file system lacks it or the folder is write-protected.
void failAll(const char* name, int error, const QString& folder = {});

} // namespace gvt::faults
