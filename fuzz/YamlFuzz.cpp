// SPDX-License-Identifier: GPL-3.0-or-later
// YAML as Lutris and Bottles write it: any content parses into a tree without a crash or a hang,
// and every path through it can be walked.
#include "platform/wine/YamlParser.h"

namespace {

int walk(const gvt::platform::YamlNode& node, int depth) {
    int seen = 1;
    for (const auto& [key, value] : node.entries())
        seen += walk(node[key], depth + 1) + walk(value, depth + 1);
    for (const auto& item : node.items())
        seen += walk(item, depth + 1);
    (void)node.scalar();
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace gvt::platform;
    walk(parseYaml(bytes), 0);
    yamlScalar(bytes, {QStringLiteral("game"), QStringLiteral("prefix")});
    (void)parseYaml(bytes).at({"system", "env"}).entries();
    return 0;
}
