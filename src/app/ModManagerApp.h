#pragma once

#include <QByteArray>

namespace gvt::app {

// Start-up and shut-down: runs the main window modally; the program ends when it closes.
class ModManagerApp {
public:
    // `startedAs`: the program's first argument, the path it was started by, as its bytes.
    int run(const QByteArray& startedAs);
};

} // namespace gvt::app
