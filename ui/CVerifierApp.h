#pragma once
// The application object: owns the connection, the channel table, the command gate,
// the message boxes and the card history for the whole run, and gives the window the
// parts it uses.
// The window itself lives between InitInstance and ExitInstance, while the
// QApplication exists.

#include <memory>

#include "CCommandGate.h"
#include "CInstrument.h"
#include "CMessageBoxSink.h"
#include "ChannelTable.h"
#include "ICommandTarget.h"

class CMainFrame;
class IHistoryStore;

class CVerifierApp : public ICommandTarget {
public:
    // Operator messages go to `messages` when given, else to message boxes over the window.
    explicit CVerifierApp(IOperatorMessages* messages = nullptr);
    CVerifierApp(const CVerifierApp&) = delete;
    CVerifierApp& operator=(const CVerifierApp&) = delete;
    ~CVerifierApp() override;

    // Opens the card history (VALDINA_HISTORY, else the user's data folder), then
    // creates and shows the main window; needs the QApplication.
    bool InitInstance();
    // Destroys the main window before the QApplication goes, then closes the history.
    void ExitInstance();
    void OnAppAbout();

    bool HandlesCommand(unsigned id) const override;
    bool OnCmdMsg(unsigned id) override;

    // For the program's entry points and their tests; the windows are given what they
    // use when they are made.
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CInstrument& Instrument() { return m_instrument; }
    const ChannelTable& Channels() const { return m_channels; }

private:
    CCommandGate m_commandGate;
    CMessageBoxSink m_messageBoxes;
    IOperatorMessages& m_messages;
    CInstrument m_instrument;
    ChannelTable m_channels;
    std::unique_ptr<IHistoryStore> m_history;
    // Last, so the window goes before what it was given.
    std::unique_ptr<CMainFrame> m_pMainWnd;
};
