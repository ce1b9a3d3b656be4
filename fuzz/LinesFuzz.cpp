// SPDX-License-Identifier: GPL-3.0-or-later
// The line reader and the rewrite with its kept tail: whatever a file holds, the lines read come
// back as written and what follows them is kept byte for byte; a single-byte code page keeps
// every byte of a text it reads and writes back, a double-byte one every text it reads whole.
#include "common/CodePage.h"
#include "common/LineFile.h"

#include <algorithm>
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
    // Every byte survives a reading and a writing in a single-byte code page; in a double-byte
    // one, a text read and written reads the same again.
    static const CodePage pages[] = {CodePage(1250), CodePage(1251), CodePage(1252), CodePage(1255),
                                     CodePage(1258), CodePage(874),  CodePage(932),  CodePage(936),
                                     CodePage(949),  CodePage(950)};
    const CodePage& page = pages[data[0] % std::size(pages)];
    const QString text = page.textOf(old);
    const QByteArray written = page.bytesOf(text);
    // A byte a double-byte code page leaves undefined may pair with the next when written back:
    // only texts it reads whole must read the same again.
    const bool whole = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
    });
    if (page.number() >= 1250 || page.number() == 874 ? written != old
                                                      : whole && page.textOf(written) != text)
        std::abort();
    return 0;
}
