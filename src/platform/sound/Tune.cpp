// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/Tune.h"

#include <QFile>
#include <QResource>
#include <QtEndian>

#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <mpg123.h>
#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <vector>

namespace gvt::platform {

namespace {
constexpr int kRate = 24000;
constexpr int kFrameBytes = 4; // two channels of 16-bit samples
} // namespace

// The sound of the tune, without end: at its end the decoder goes back to its start.
class TuneDecoder {
public:
    explicit TuneDecoder(const QString& path) {
        // The program's own tune is read where it lies in its resources; another is read whole.
        const QResource resource(path);
        if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
            m_wave = QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                             qsizetype(resource.size()));
        } else if (QFile file(path); file.open(QIODevice::ReadOnly)) {
            m_wave = file.readAll();
        }
        // The MPEG frames are the "data" chunk of the RIFF WAVE file.
        for (qsizetype at = 12; at + 8 <= m_wave.size();) {
            const quint32 size = qFromLittleEndian<quint32>(m_wave.constData() + at + 4);
            if (m_wave.sliced(at, 4) == "data") {
                m_frames = QByteArrayView(m_wave).sliced(at + 8).first(
                    std::min<qsizetype>(size, m_wave.size() - at - 8));
                break;
            }
            at += 8 + qsizetype(size) + (size & 1);
        }
        m_handle = mpg123_new(nullptr, nullptr);
        if (!m_handle || m_frames.isEmpty())
            return;
        mpg123_param(m_handle, MPG123_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(m_handle);
        mpg123_format(m_handle, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
        mpg123_replace_reader_handle(m_handle, &TuneDecoder::readFrames, &TuneDecoder::seekFrames,
                                     nullptr);
        m_ready = mpg123_open_handle(m_handle, this) == MPG123_OK;
    }
    ~TuneDecoder() {
        if (m_handle)
            mpg123_delete(m_handle);
    }

    bool ready() const { return m_ready; }
    int loops() const { return m_loops; }

    // Fills `data` with the next `size` bytes of sound (silence once decoding failed).
    void read(char* data, size_t size) {
        size_t done = 0;
        for (int emptyReads = 0; m_ready && done < size && emptyReads < 2;) {
            size_t got = 0;
            const int result = mpg123_read(m_handle, data + done, size - done, &got);
            done += got;
            emptyReads = got == 0 ? emptyReads + 1 : 0;
            if (result == MPG123_DONE) {
                mpg123_seek(m_handle, 0, SEEK_SET);
                ++m_loops;
            } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
                m_ready = false;
            }
        }
        std::memset(data + done, 0, size - done);
    }

private:
    static ssize_t readFrames(void* self, void* buffer, size_t size) {
        auto* decoder = static_cast<TuneDecoder*>(self);
        const qsizetype count =
            std::min<qsizetype>(qsizetype(size), decoder->m_frames.size() - decoder->m_at);
        std::memcpy(buffer, decoder->m_frames.data() + decoder->m_at, size_t(count));
        decoder->m_at += count;
        return count;
    }
    static off_t seekFrames(void* self, off_t offset, int whence) {
        auto* decoder = static_cast<TuneDecoder*>(self);
        const qsizetype base = whence == SEEK_SET   ? 0
                               : whence == SEEK_CUR ? decoder->m_at
                                                    : decoder->m_frames.size();
        if (base + offset < 0 || base + offset > decoder->m_frames.size())
            return -1;
        decoder->m_at = base + qsizetype(offset);
        return off_t(decoder->m_at);
    }

    QByteArray m_wave;
    QByteArrayView m_frames;
    qsizetype m_at = 0;
    mpg123_handle* m_handle = nullptr;
    bool m_ready = false;
    std::atomic<int> m_loops = 0;
};

// A playback stream of the sound server, fed from the decoder on the server library's own
// thread. The library is looked up when the first stream is made.
class TuneStream {
public:
    TuneStream(TuneDecoder& decoder, std::function<void()> failed)
        : m_decoder(decoder), m_failed(std::move(failed)) {
        if (!pulse().loaded)
            return;
        m_loop = pulse().loopNew();
        m_context = pulse().contextNew(pulse().loopApi(m_loop), "GVTarsis Mod Manager");
        pulse().contextSetStateCallback(m_context, &TuneStream::contextChanged, this);
        m_running =
            pulse().contextConnect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
            pulse().loopStart(m_loop) >= 0;
    }
    ~TuneStream() {
        if (!m_loop)
            return;
        pulse().loopStop(m_loop);
        if (m_stream) {
            pulse().streamDisconnect(m_stream);
            pulse().streamUnref(m_stream);
        }
        pulse().contextDisconnect(m_context);
        pulse().contextUnref(m_context);
        pulse().loopFree(m_loop);
    }
    bool running() const { return m_running; }

private:
    struct Library {
        bool loaded = false;
        decltype(&pa_threaded_mainloop_new) loopNew;
        decltype(&pa_threaded_mainloop_get_api) loopApi;
        decltype(&pa_threaded_mainloop_start) loopStart;
        decltype(&pa_threaded_mainloop_stop) loopStop;
        decltype(&pa_threaded_mainloop_free) loopFree;
        decltype(&pa_context_new) contextNew;
        decltype(&pa_context_set_state_callback) contextSetStateCallback;
        decltype(&pa_context_connect) contextConnect;
        decltype(&pa_context_get_state) contextState;
        decltype(&pa_context_disconnect) contextDisconnect;
        decltype(&pa_context_unref) contextUnref;
        decltype(&pa_stream_new) streamNew;
        decltype(&pa_stream_set_state_callback) streamSetStateCallback;
        decltype(&pa_stream_set_write_callback) streamSetWriteCallback;
        decltype(&pa_stream_connect_playback) streamConnect;
        decltype(&pa_stream_get_state) streamState;
        decltype(&pa_stream_write) streamWrite;
        decltype(&pa_stream_disconnect) streamDisconnect;
        decltype(&pa_stream_unref) streamUnref;
    };

    static const Library& pulse() {
        static const Library library = [] {
            Library l;
            void* handle = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
            const auto find = [handle](auto& function, const char* name) {
                function = handle ? reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                                        ::dlsym(handle, name))
                                  : nullptr;
                return function != nullptr;
            };
            l.loaded = find(l.loopNew, "pa_threaded_mainloop_new") &&
                       find(l.loopApi, "pa_threaded_mainloop_get_api") &&
                       find(l.loopStart, "pa_threaded_mainloop_start") &&
                       find(l.loopStop, "pa_threaded_mainloop_stop") &&
                       find(l.loopFree, "pa_threaded_mainloop_free") &&
                       find(l.contextNew, "pa_context_new") &&
                       find(l.contextSetStateCallback, "pa_context_set_state_callback") &&
                       find(l.contextConnect, "pa_context_connect") &&
                       find(l.contextState, "pa_context_get_state") &&
                       find(l.contextDisconnect, "pa_context_disconnect") &&
                       find(l.contextUnref, "pa_context_unref") &&
                       find(l.streamNew, "pa_stream_new") &&
                       find(l.streamSetStateCallback, "pa_stream_set_state_callback") &&
                       find(l.streamSetWriteCallback, "pa_stream_set_write_callback") &&
                       find(l.streamConnect, "pa_stream_connect_playback") &&
                       find(l.streamState, "pa_stream_get_state") &&
                       find(l.streamWrite, "pa_stream_write") &&
                       find(l.streamDisconnect, "pa_stream_disconnect") &&
                       find(l.streamUnref, "pa_stream_unref");
            return l;
        }();
        return library;
    }

    // On the library's thread.
    static void contextChanged(pa_context* context, void* self) {
        auto* stream = static_cast<TuneStream*>(self);
        const pa_context_state_t state = pulse().contextState(context);
        if (state == PA_CONTEXT_READY && !stream->m_stream) {
            const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 2};
            stream->m_stream = pulse().streamNew(context, "Tune", &format, nullptr);
            pulse().streamSetStateCallback(stream->m_stream, &TuneStream::streamChanged, self);
            pulse().streamSetWriteCallback(stream->m_stream, &TuneStream::write, self);
            if (pulse().streamConnect(stream->m_stream, nullptr, nullptr, PA_STREAM_NOFLAGS,
                                      nullptr, nullptr) < 0)
                stream->m_failed();
        } else if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
            stream->m_failed();
        }
    }
    static void streamChanged(pa_stream* stream, void* self) {
        if (pulse().streamState(stream) == PA_STREAM_FAILED)
            static_cast<TuneStream*>(self)->m_failed();
    }
    static void write(pa_stream* stream, size_t bytes, void* self) {
        std::vector<char>& buffer = static_cast<TuneStream*>(self)->m_buffer;
        buffer.resize(bytes - bytes % kFrameBytes);
        static_cast<TuneStream*>(self)->m_decoder.read(buffer.data(), buffer.size());
        pulse().streamWrite(stream, buffer.data(), buffer.size(), nullptr, 0, PA_SEEK_RELATIVE);
    }

    TuneDecoder& m_decoder;
    std::function<void()> m_failed;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    std::vector<char> m_buffer;
    bool m_running = false;
};

Tune::Tune(QString path) : m_path(std::move(path)) {
    // Where no server takes the sound, a quarter of a second of it every quarter of a second.
    m_silence.setInterval(250);
    QObject::connect(&m_silence, &QTimer::timeout, [this] {
        std::vector<char> quarter(kRate * kFrameBytes / 4);
        m_decoder->read(quarter.data(), quarter.size());
    });
}

Tune::~Tune() {
    stopAll();
}

void Tune::startTune() {
    stopAll();
    m_decoder = std::make_unique<TuneDecoder>(m_path);
    if (!m_decoder->ready())
        return;
    // A server that fails, now or later, leaves the tune to go on in silence, from the window's
    // thread.
    m_stream = std::make_unique<TuneStream>(*m_decoder, [this, start = ++m_starts] {
        QMetaObject::invokeMethod(
            &m_silence,
            [this, start] {
                if (start != m_starts || !m_decoder)
                    return; // a failure of a stream stopped since
                m_stream.reset();
                m_silence.start();
            },
            Qt::QueuedConnection);
    });
    if (!m_stream->running()) {
        m_stream.reset();
        m_silence.start();
    }
}

void Tune::stopAll() {
    m_stream.reset();
    m_silence.stop();
    m_decoder.reset();
}

bool Tune::isPlaying() const {
    return m_decoder && m_decoder->ready() && (m_stream || m_silence.isActive());
}

int Tune::loops() const {
    return m_decoder ? m_decoder->loops() : 0;
}

} // namespace gvt::platform
