// SPDX-License-Identifier: GPL-3.0-or-later
// The game managers' files: any content of a Lutris or Bottles YAML file, a Steam
// libraryfolders.vdf or config_info, or a Heroic game file reads without a crash or a hang.
#include "platform/wine/ManagerParsers.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace gvt::platform;
    yamlScalar(bytes, {QStringLiteral("game"), QStringLiteral("prefix")});
    yamlScalar(bytes, {QStringLiteral("Runner")});
    steamLibraryFolders(bytes);
    protonFolderOf(bytes);
    heroicGames(bytes);
    return 0;
}
