#include "CVerifierApp.h"

#include <QApplication>

#include "CAboutBox.h"
#include "CMainFrame.h"
#include "CSqliteHistoryStore.h"
#include "ResourceImages.h"
#include "WindowContext.h"
#include "resource.h"

CVerifierApp::CVerifierApp(IOperatorMessages* messages) : m_messages(messages ? *messages : m_messageBoxes)
{
    m_instrument.SetMessageSink(&m_messages);
}

CVerifierApp::~CVerifierApp()
{
    ExitInstance();
}

bool CVerifierApp::InitInstance()
{
    m_history = std::make_unique<CSqliteHistoryStore>(ChooseHistoryLocation(""), CSqliteHistoryStore::Options{});
    m_pMainWnd = std::make_unique<CMainFrame>(
        WindowContext{m_instrument, m_channels, m_commandGate, m_messages, *m_history}, *this);
    m_messageBoxes.SetOwner(m_pMainWnd.get());
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
    m_history.reset();
}

void CVerifierApp::OnAppAbout()
{
    CAboutBox about(m_pMainWnd.get());
    about.exec();
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
