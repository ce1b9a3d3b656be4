// The line reader and the rewrite with its kept tail: whatever a file holds, the lines read come
// back as written, what follows them is kept byte for byte, and the game's code page keeps
// every byte.
#include "common/Cp1252.h"
#include "common/LineFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size == 0)
        return 0;
    const int count = data[0] % 40;
    const QByteArrayView old(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    using namespace gvt::common;
    Lines lines = splitLines(old, count);
    if (lines.size() != count)
        std::abort();
    if (!lines.isEmpty())
        lines[0] = "first";
    const QByteArray rewritten = replaceLeadingLines(old, lines);
    if (splitLines(rewritten, count) != lines ||
        rewritten.sliced(endOfLine(rewritten, count)) != old.sliced(endOfLine(old, count)))
        std::abort();
    if (toCp1252(fromCp1252(old.toByteArray())) != old)
        std::abort();
    return 0;
}
