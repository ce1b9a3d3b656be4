#pragma once

class QWidget;

namespace gvt::platform {
struct Platform;
}

namespace gvt::multiplayer {

class MultiplayerDialog {
public:
    explicit MultiplayerDialog(platform::Platform& platform) : m_platform(platform) {}
    void run(QWidget* owner);

private:
    platform::Platform& m_platform;
};

} // namespace gvt::multiplayer
