#pragma once
// The application object: owns the connection and the channel table for the whole
// run. The program's one instance is a static object, so it is built before main
// and destroyed after it; the window itself lives between InitInstance and
// ExitInstance, while the QApplication exists.

#include <memory>

#include "CCommandGate.h"
#include "CInstrument.h"
#include "CMessageBoxSink.h"
#include "ChannelTable.h"
#include "ICommandTarget.h"

class CMainFrame;

class CVerifierApp : public ICommandTarget {
public:
    CVerifierApp();
    CVerifierApp(const CVerifierApp&) = delete;
    CVerifierApp& operator=(const CVerifierApp&) = delete;
    ~CVerifierApp() override;

    // Creates and shows the main window; needs the QApplication.
    bool InitInstance();
    // Destroys the main window before the QApplication goes.
    void ExitInstance();
    void OnAppAbout();

    bool HandlesCommand(unsigned id) const override;
    bool OnCmdMsg(unsigned id) override;

    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    // Where every operator message goes (the connection's sink).
    IOperatorMessages& Messages();

    CCommandGate m_commandGate;
    CMessageBoxSink m_messageBoxes;
    CInstrument m_instrument;
    ChannelTable m_channels;

private:
    std::unique_ptr<CMainFrame> m_pMainWnd;
    CVerifierApp* m_pPrevious = nullptr;
};

// The current application object.
CVerifierApp* AfxGetVerifierApp();
