#include "ui/window/StartupTiming.h"

#include "ui/window/EditorCanvas.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <unistd.h>
#include <cstdio>
#include <ctime>

namespace startup_timing {

double msSinceProcessStart() {
    // Field 22 of /proc/self/stat is the start time in clock ticks since boot;
    // the command name (field 2) may hold blanks, so count after its ')'.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    if (close < 0) return -1;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    constexpr int kStartTimeAfterName = 19;  // field 22 counted from field 3
    if (fields.size() <= kStartTimeAfterName) return -1;
    bool ok = false;
    const double startTicks = fields[kStartTimeAfterName].toDouble(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(ticksPerSecond);
}

bool requested() { return qEnvironmentVariableIntValue("ZINDLE_EXIT_AFTER_FIRST_PAINT") == 1; }

void exitAfterFirstPaint(EditorCanvas& canvas) {
    QObject::connect(&canvas, &EditorCanvas::firstPainted, &canvas, [&canvas] {
        std::printf("first paint: %.0f ms after process start\n", msSinceProcessStart());
        std::printf("title: %s\n", canvas.window()->windowTitle().toUtf8().constData());
        std::fflush(stdout);
        // Leave the paint handler first.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
}

}  // namespace startup_timing
