// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QTimer>

#include <memory>

namespace gvt::platform {

class TuneDecoder;
class TuneStream;

// Plays the program's tune, MPEG Layer-3 audio inside a RIFF WAVE file, in a loop: decoded a
// little at a time by libmpg123 and played by the sound server (PulseAudio, or PipeWire in its
// place), whose library is loaded only when the tune starts, after the window is on screen.
// Without a sound server it goes on in silence at the same pace, so that starting, looping and
// stopping stay the same.
class Tune final : public Sound {
public:
    // `path` names the tune, in the program's resources (":/...") or not.
    explicit Tune(QString path);
    ~Tune() override;
    void startTune() override;
    void stopAll() override;
    // True while the tune plays, aloud or in silence.
    bool isPlaying() const;
    // How many times the tune has come back to its start.
    int loops() const;

private:
    QString m_path;
    std::unique_ptr<TuneDecoder> m_decoder;
    std::unique_ptr<TuneStream> m_stream;
    QTimer m_silence; // takes the sound from the decoder where no server plays it
    int m_starts = 0;
};

} // namespace gvt::platform
