#pragma once

namespace gvt::app {

// Start-up and shut-down: runs the main window modally; the program ends when it closes.
class ModManagerApp {
public:
    int run();
};

} // namespace gvt::app
