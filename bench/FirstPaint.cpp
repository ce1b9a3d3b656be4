// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into a program, this reports when its first window paints (nanoseconds of the real
// time clock on standard output) and ends the program there, so that a script can time exec to
// first paint. With GVT_REPORT_RESIDENT=<ms> it waits that long after the first paint instead,
// reports the resident memory in kB, and ends.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || !widget || !widget->isWindow() || m_seen)
            return false;
        m_seen = true;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const qint64 wait = qEnvironmentVariableIntValue("GVT_REPORT_RESIDENT");
        if (wait <= 0) {
            std::printf("%lld\n", qint64(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            ::_exit(0);
        }
        QTimer::singleShot(int(wait), [] {
            QFile status(QStringLiteral("/proc/self/status"));
            status.open(QIODevice::ReadOnly);
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    std::printf("%s\n", line.mid(6).trimmed().split(' ').first().constData());
            }
            std::fflush(stdout);
            ::_exit(0);
        });
        return false;
    }

private:
    bool m_seen = false;
};

void reportFirstPaint() {
    qApp->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(reportFirstPaint)
