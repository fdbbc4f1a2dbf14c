// The window on the simulated mainframe, offscreen (or on the display QT_QPA_PLATFORM names):
//  - its cost per card of a full 256-card scan + verify at zero latency, repaints
//    included, against the same two passes with no window, as the command line runs them;
//  - the longest gap between two paints during a pass at 20 ms a transaction, while a
//    timer asks for a repaint every 10 ms as an uncovered area would;
//  - how long Esc takes to stop a pass at that latency.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <nlohmann/json.hpp>

#include "CChannelView.h"
#include "CMainFrame.h"
#include "CVerifierApp.h"
#include "ChannelScan.h"
#include "IChannelRows.h"
#include "IPassObserver.h"
#include "IOperatorMessages.h"
#include "SimScenario.h"
#include "VerifyAll.h"

using valdina::test::SimScenario;
using Clock = std::chrono::steady_clock;

namespace {

class CountingMessages final : public IOperatorMessages {
public:
    void ShowMessage(const std::string&, MessageIcon) override { ++count; }
    int count = 0;
};

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double MsSince(Clock::time_point start)
{
    return Ms(start, Clock::now());
}

// Processor time of the whole process (the simulator runs in it too): a busy
// machine stretches the wall time, hardly this.
double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct PerCard {
    double wallMs = 1e9;
    double cpuMs = 1e9;
};

// Runs `passes` `runs` times over 256 cards and keeps the best per-card times.
template <typename Passes>
PerCard BestPerCard(int runs, Passes passes)
{
    PerCard best;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        const double cpu = CpuMs();
        passes();
        best.cpuMs = std::min(best.cpuMs, (CpuMs() - cpu) / 256);
        best.wallMs = std::min(best.wallMs, MsSince(start) / 256);
    }
    return best;
}

// Times of every paint of a widget of one window.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintClock() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && object->isWidgetType()
            && static_cast<QWidget*>(object)->window() == m_window)
            times.push_back(Clock::now());
        return false;
    }
    double LongestGapMs(Clock::time_point from, Clock::time_point to) const
    {
        Clock::time_point last = from;
        double longest = 0;
        for (Clock::time_point t : times) {
            if (t < from || t > to)
                continue;
            longest = std::max(longest, Ms(last, t));
            last = t;
        }
        return std::max(longest, Ms(last, to));
    }
    std::vector<Clock::time_point> times;

private:
    QWidget* m_window;
};

nlohmann::json Cards(int count, int latencyUs)
{
    nlohmann::json cards = nlohmann::json::array();
    for (int n = 0; n < count; ++n)
        cards.push_back({{"channel", n}});
    return {{"base", "empty"}, {"cards", cards}, {"latency_us", latencyUs}};
}

void Drain()
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Per card of scan + verify over 256 cards with no window: the command line's work.
PerCard CorePerCard(int runs, CountingMessages& messages)
{
    SimScenario scenario(Cards(256, 0));
    ::unsetenv("ZENTRA_SIM_TRACE");   // timed passes run without the bus log
    CInstrument instrument;
    instrument.SetMessageSink(&messages);
    ChannelTable channels{};
    CNoChannelRows rows;
    CNoPassObserver observer;
    return BestPerCard(runs, [&] {
        ScanChannels(instrument, channels, rows, observer);
        VerifyAllChannels(instrument, channels, rows, observer);
    });
}

PerCard WindowPerCard(CVerifierApp& app, int runs)
{
    SimScenario scenario(Cards(256, 0));
    ::unsetenv("ZENTRA_SIM_TRACE");
    CChannelView& view = *app.MainFrame()->View();
    return BestPerCard(runs, [&] {
        view.ScanChannels();
        view.VerifyAllChannels();
        Drain();
    });
}

// The offscreen platform cannot fix a window's size and says so every time.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QApplication application(argc, argv);
    // The window records its passes, as it does for the operator, into a card history
    // of the bench's own.
    const QTemporaryDir history;
    qputenv("VALDINA_HISTORY", QFile::encodeName(history.filePath(QStringLiteral("history.sqlite"))));
    CountingMessages messages;
    CVerifierApp app(&messages);
    {
        // Nobody answers while the window starts, so no startup prompt opens.
        SimScenario off({{"off_bus", true}});
        app.InitInstance();
        Drain();
    }
    CMainFrame& frame = *app.MainFrame();
    CChannelView& view = *frame.View();

    const PerCard core = CorePerCard(5, messages);
    const PerCard window = WindowPerCard(app, 5);
    std::printf("256-card scan + verify at zero latency, per card (best of 5):    wall        cpu\n");
    std::printf("  without a window (command line)                           %8.3f ms %8.3f ms\n", core.wallMs, core.cpuMs);
    std::printf("  window, repaints included                                 %8.3f ms %8.3f ms\n", window.wallMs, window.cpuMs);
    std::printf("  the window's own share                                    %8.3f ms %8.3f ms\n",
                window.wallMs - core.wallMs, window.cpuMs - core.cpuMs);

    {
        SimScenario slow(Cards(2, 20000));
        view.ScanChannels();
        Drain();
        PaintClock paints(&frame);
        QTimer expose;
        QObject::connect(&expose, &QTimer::timeout, &frame, [&frame] { frame.update(); });
        expose.start(10);
        const Clock::time_point start = Clock::now();
        view.VerifyAllChannels();
        const Clock::time_point end = Clock::now();
        expose.stop();
        std::printf("verify of 2 cards at 20 ms a transaction (%.0f ms):\n", Ms(start, end));
        std::printf("  longest gap between two paints    %8.1f ms\n", paints.LongestGapMs(start, end));
    }
    {
        SimScenario slow(Cards(3, 20000));
        view.ScanChannels();
        Drain();
        Clock::time_point pressed{};
        QTimer::singleShot(300, &view, [&] {
            pressed = Clock::now();
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&view, &esc);
        });
        const Clock::time_point start = Clock::now();
        view.VerifyAllChannels();
        const Clock::time_point end = Clock::now();
        std::printf("Esc 300 ms into a verify of 3 cards at 20 ms a transaction:\n");
        if (pressed == Clock::time_point{})
            std::printf("  Esc was never delivered during the pass (%.0f ms)\n", Ms(start, end));
        else
            std::printf("  pass ended %.0f ms after Esc (whole pass %.0f ms)\n",
                        Ms(pressed, end), Ms(start, end));
    }
    app.ExitInstance();
    return messages.count == 0 ? 0 : 1;
}
