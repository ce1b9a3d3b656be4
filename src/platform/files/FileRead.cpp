// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileRead.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileReplace.h"
#include "platform/files/SaveJournal.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace gvt::platform {

bool readWholeFile(const QByteArray& path, QByteArray& content) {
    // A link to a file of another name is read as it is: nothing of the save records follows it.
    char real[PATH_MAX];
    if (::realpath(path.constData(), real) && leadsToItsOwnName(path, real))
        recoverInterruptedRewrite(real);
    // A game file is read as it is, however large: only a pipe or a device is not waited on.
    struct stat st {};
    const Descriptor fd = openRegularFile(path, st);
    return fd.valid() && readFully(fd.get(), content);
}

} // namespace gvt::platform
