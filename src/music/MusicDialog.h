#pragma once

class QWidget;

namespace gvt::music {

class MusicDialog {
public:
    void run(QWidget* owner);
};

} // namespace gvt::music
