// One QApplication for the whole test run, made only when tests run: listing the
// tests at build time must not need a display platform.

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {
// The offscreen platform cannot fix a dialog's size and says so every time.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    qt_message_output(type, context, message);
}

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "valdina_ui_tests";
        static char* argv[] = {name, nullptr};
        // Real widgets without a display, whatever the caller's environment says.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietMessages);
        m_app = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);
}
