#include "UiHarness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPaintEvent>
#include <QTest>

void CRecordingMessages::ShowMessage(const std::string& text, MessageIcon icon)
{
    shown.push_back({text, icon, QApplication::activeModalWidget() != nullptr});
}

CModalDriver::CModalDriver(std::function<void(QWidget*)> action) : m_action(std::move(action))
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        // Shown is not yet active: on a busy machine the timer can come before the
        // activation, and keys and focus would still go to the main window.
        if (!modal || !modal->isVisible() || QApplication::activeWindow() != modal)
            return;
        m_timer.stop();
        m_fired = true;
        m_action(modal);
    });
    m_timer.start();
}

CModalDriver::~CModalDriver() = default;

PaintWatcher::PaintWatcher(std::function<void(QObject*, const QRegion&)> seen) : m_seen(std::move(seen))
{
    qApp->installEventFilter(this);
}

PaintWatcher::~PaintWatcher()
{
    qApp->removeEventFilter(this);
}

bool PaintWatcher::eventFilter(QObject* target, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        m_seen(target, static_cast<QPaintEvent*>(event)->region());
    return false;
}

void DrainEvents()
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void ClickOk(QWidget* dialog)
{
    dialog->findChild<QAbstractButton*>(QStringLiteral("IDOK"))->click();
}

void ClickCancel(QWidget* dialog)
{
    dialog->findChild<QAbstractButton*>(QStringLiteral("IDCANCEL"))->click();
}

CTestHistory::CTestHistory(std::optional<std::filesystem::path> path)
    : m_path(path ? *path : m_folder.path() / "history.sqlite")
{
    if (qEnvironmentVariableIsSet("VALDINA_HISTORY"))
        m_old = qgetenv("VALDINA_HISTORY");
    qputenv("VALDINA_HISTORY", QFile::encodeName(QString::fromStdU16String(m_path.u16string())));
}

CTestHistory::~CTestHistory()
{
    if (m_old)
        qputenv("VALDINA_HISTORY", *m_old);
    else
        qunsetenv("VALDINA_HISTORY");
}

CWindowHarness::CWindowHarness(std::function<void(QWidget*)> startupAnswer, bool messageBoxes,
                               std::optional<std::filesystem::path> historyFile)
    : history(std::move(historyFile)), app(messageBoxes ? nullptr : &messages)
{
    app.InitInstance();
    QApplication::setActiveWindow(&Frame());
    std::unique_ptr<CModalDriver> prompt;
    if (startupAnswer) {
        prompt = std::make_unique<CModalDriver>([this, startupAnswer](QWidget* dialog) {
            m_promptShown = true;
            startupAnswer(dialog);
        });
    }
    DrainEvents();
}

CWindowHarness::~CWindowHarness()
{
    app.ExitInstance();
    DrainEvents();
}

std::vector<int> CWindowHarness::RowChannels() const
{
    std::vector<int> channels;
    for (int row = 0; row < View().topLevelItemCount(); ++row)
        channels.push_back(View().GetRowChannel(row));
    return channels;
}

std::vector<std::string> CWindowHarness::ColumnTexts(int column) const
{
    std::vector<std::string> texts;
    for (int row = 0; row < View().topLevelItemCount(); ++row)
        texts.push_back(View().topLevelItem(row)->text(column).toStdString());
    return texts;
}

void CWindowHarness::SelectChannels(const std::vector<int>& channels)
{
    View().clearSelection();
    for (int channel : channels)
        View().topLevelItem(RowOf(channel))->setSelected(true);
}

void CWindowHarness::Command(unsigned id)
{
    Frame().ExecuteCommand(id);
    DrainEvents();
}

void CWindowHarness::Key(int key, Qt::KeyboardModifiers modifiers)
{
    QApplication::setActiveWindow(&Frame());
    QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
    DrainEvents();
}
