// The window on the simulated mainframe, offscreen (or on the display QT_QPA_PLATFORM names):
//  - its cost per card of a full 256-card scan + verify at zero latency, repaints
//    included, against the same two passes with no window, as the command line runs them;
//  - the longest gap between two paints during a pass at 20 ms a transaction, while a
//    timer asks for a repaint every 10 ms as an uncovered area would;
//  - how long Esc takes to stop a pass at that latency.

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "CChannelView.h"
#include "CMainFrame.h"
#include "CVerifierApp.h"
#include "ChannelScan.h"
#include "IChannelRows.h"
#include "IPassObserver.h"
#include "OperatorMessages.h"
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
double CorePerCardMs(int runs)
{
    SimScenario scenario(Cards(256, 0));
    CountingMessages messages;
    CInstrument instrument;
    instrument.SetMessageSink(&messages);
    ChannelTable channels{};
    CNoChannelRows rows;
    CNoPassObserver observer;
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        ScanChannels(instrument, channels, rows, observer);
        VerifyAllChannels(instrument, channels, rows, observer);
        best = std::min(best, MsSince(start) / 256);
    }
    return messages.count == 0 ? best : -1;
}

double WindowPerCardMs(CVerifierApp& app, CountingMessages& messages, int runs)
{
    SimScenario scenario(Cards(256, 0));
    CChannelView& view = *app.MainFrame()->View();
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        view.ScanChannels();
        view.VerifyAllChannels();
        Drain();
        best = std::min(best, MsSince(start) / 256);
    }
    return messages.count == 0 ? best : -1;
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
    CountingMessages messages;
    CVerifierApp app;
    app.m_instrument.SetMessageSink(&messages);
    {
        // Nobody answers while the window starts, so no startup prompt opens.
        SimScenario off({{"off_bus", true}});
        app.InitInstance();
        Drain();
    }
    CMainFrame& frame = *app.MainFrame();
    CChannelView& view = *frame.View();

    const double core = CorePerCardMs(3);
    const double window = WindowPerCardMs(app, messages, 3);
    std::printf("256-card scan + verify at zero latency, per card:\n");
    std::printf("  without a window (command line)   %8.3f ms\n", core);
    std::printf("  window, repaints included         %8.3f ms\n", window);
    std::printf("  the window's own share            %8.3f ms\n", window - core);

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
