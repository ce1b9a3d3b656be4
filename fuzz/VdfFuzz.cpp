// SPDX-License-Identifier: GPL-3.0-or-later
// Steam's files: any content of a text or binary KeyValues file, a config_info or the launch
// options they hold reads without a crash or a hang; and a word quoted for the start record's
// command splits back into itself.
#include "platform/files/FileName.h"
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ShellWords.h"
#include "platform/wine/VdfParser.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace gvt::platform;
    (void)parseVdfText(bytes).at({"manifest", "commandline"}).value();
    (void)parseVdfBinary(bytes)["shortcuts"].children();
    steamLibraryFolders(bytes);
    protonFolderOf(bytes);
    const QString options = steamLaunchOptions(bytes, QStringLiteral("4711")) +
                            shortcutLaunchOptions(bytes, QStringLiteral("3478032731"));
    splitShellWords(expandVariables(
        options + textOfFileName(bytes),
        [](const QString& name) -> std::optional<QString> { return name; }, UnknownVariable::Kept));
    const QByteArray word = bytes.toByteArray();
    const auto back = splitShellWords(textOfFileName(shellQuoted(word)));
    if (!word.contains('\0') &&
        (!back || back->size() != 1 || fileNameOfText(back->first()) != word))
        std::abort();
    return 0;
}
