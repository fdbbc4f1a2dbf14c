#include "CVerifierApp.h"

#include <QApplication>

#include "CAboutBox.h"
#include "CMainFrame.h"
#include "ResourceImages.h"
#include "resource.h"

namespace {
CVerifierApp* g_pCurrentApp = nullptr;
}

CVerifierApp* AfxGetVerifierApp()
{
    return g_pCurrentApp;
}

CVerifierApp::CVerifierApp() : m_pPrevious(g_pCurrentApp)
{
    m_instrument.SetMessageSink(&m_messageBoxes);
    g_pCurrentApp = this;
}

CVerifierApp::~CVerifierApp()
{
    m_pMainWnd.reset();
    g_pCurrentApp = m_pPrevious;
}

bool CVerifierApp::InitInstance()
{
    m_pMainWnd = std::make_unique<CMainFrame>();
    const QIcon icon = AppIcon();
    if (!icon.isNull()) {
        QApplication::setWindowIcon(icon);
        m_pMainWnd->setWindowIcon(icon);
    }
    m_pMainWnd->show();
    return true;
}

void CVerifierApp::ExitInstance()
{
    m_pMainWnd.reset();
}

void CVerifierApp::OnAppAbout()
{
    CAboutBox about(m_pMainWnd.get());
    about.exec();
}

IOperatorMessages& CVerifierApp::Messages()
{
    IOperatorMessages* sink = m_instrument.MessageSink();
    return sink ? *sink : m_messageBoxes;
}

bool CVerifierApp::HandlesCommand(unsigned id) const
{
    return id == ID_APP_ABOUT || id == ID_APP_EXIT;
}

bool CVerifierApp::OnCmdMsg(unsigned id)
{
    switch (id) {
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_APP_EXIT:
        // Like a close request from outside: handled once this command has ended.
        if (m_pMainWnd)
            QMetaObject::invokeMethod(m_pMainWnd.get(), &QWidget::close, Qt::QueuedConnection);
        return true;
    default:
        return false;
    }
}
