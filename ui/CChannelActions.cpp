#include "CChannelActions.h"

#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>

#include "CChannelView.h"
#include "CCommandGate.h"
#include "CHistoryDlg.h"
#include "CImageCompareDlg.h"
#include "CWindowRun.h"
#include "CompareAction.h"
#include "EepromImageFile.h"
#include "PresentChannels.h"
#include "RestoreAction.h"
#include "SaveAction.h"
#include "StringTable.h"
#include "VerifyAll.h"
#include "resource.h"

namespace {

const QString kImageFilter = QStringLiteral("EEPROM Image (*.bin);;All Files (*)");

std::string FileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CChannelActions::CChannelActions(const WindowContext& context, CChannelView& view)
    : QObject(&view), m_context(context), m_view(view)
{
    Build();
}

void CChannelActions::Build()
{
    m_menu = new QMenu(&m_view);
    m_menu->setObjectName(QStringLiteral("IDR_CHANNEL_CONTEXT"));
    // Each item is for the selected cards, for the one selected card, or for all cards.
    enum Target { kSelected, kOne, kAll };
    const auto add = [this](const QString& text, void (CChannelActions::*handler)(), Target target) {
        QAction* action = m_menu->addAction(text);
        action->setProperty("target", target);
        connect(action, &QAction::triggered, this, [this, handler] {
            m_context.commands.Run(this, [this, handler] { (this->*handler)(); });
        });
    };
    add(QStringLiteral("&Save EEPROM Image..."), &CChannelActions::OnSaveImage, kSelected);
    add(QStringLiteral("&Compare with Image..."), &CChannelActions::OnCompareImage, kSelected);
    add(QStringLiteral("&Restore EEPROM Image..."), &CChannelActions::OnRestoreImage, kSelected);
    add(QStringLiteral("&Verify"), &CChannelActions::OnVerify, kSelected);
    m_menu->addSeparator();
    add(QStringLiteral("Save &All EEPROM Images..."), &CChannelActions::OnSaveAllImages, kAll);
    m_menu->addSeparator();
    add(QStringLiteral("Card &History..."), &CChannelActions::OnCardHistory, kOne);
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        const std::vector<int> selected = m_view.SelectedChannels();
        const bool one = selected.size() == 1
            && m_context.channels[static_cast<std::size_t>(selected.front())].m_nStatus != StatusNotPresent;
        const bool any = CountPresentChannels(m_context.channels) > 0;
        for (QAction* action : m_menu->actions()) {
            const int target = action->property("target").toInt();
            action->setEnabled(target == kOne ? one : target == kAll ? any : !selected.empty());
        }
    });
    // A right click comes as a context menu event to the view; the keys are taken
    // here, since an item view may keep the Menu key from becoming one.
    for (const QKeySequence& key : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(key, &m_view);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, &CChannelActions::PopupAtCurrentRow);
    }
}

void CChannelActions::PopupAtCurrentRow()
{
    const QRect place = m_view.currentItem() ? m_view.visualItemRect(m_view.currentItem()) : QRect();
    const QPoint at = place.isValid() ? place.bottomLeft() : QPoint(0, 0);
    m_menu->popup(m_view.viewport()->mapToGlobal(at));
}

CardActionFront CChannelActions::Front(CWindowRun& run)
{
    return {m_context.instrument, m_context.channels, m_view,  run.Observer(), m_context.messages,
            *this,                &m_view.Cancel(),     &run.History()};
}

bool CChannelActions::Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons)
{
    std::string why;
    for (const std::string& reason : reasons)
        why += reason + "\n\n";
    why += ConfirmQuestionText(question);
    if (m_prompts.confirm)
        return m_prompts.confirm(why);
    QMessageBox box(QMessageBox::Warning, LoadResString(AFX_IDS_APP_TITLE), QString::fromLocal8Bit(why),
                    QMessageBox::Yes | QMessageBox::No, m_view.window());
    box.setDefaultButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void CChannelActions::Finish(const ActionResult& result)
{
    m_view.ShowActionSummary(QString::fromLocal8Bit(result.summary));
}

void CChannelActions::OnSaveImage()
{
    const std::vector<int> selected = m_view.SelectedChannels();
    if (selected.empty())
        return;
    const int channel = selected.front();
    std::string path;
    const std::string suggested = ImageFileName(m_context.channels[static_cast<std::size_t>(channel)], channel);
    if (m_prompts.saveFile) {
        if (!m_prompts.saveFile(suggested, path))
            return;
    } else {
        // The action asks about files it would replace, naming both.
        const QString chosen =
            QFileDialog::getSaveFileName(m_view.window(), QStringLiteral("Save EEPROM Image"),
                                         QString::fromStdString(suggested), kImageFilter, nullptr,
                                         QFileDialog::DontConfirmOverwrite);
        if (chosen.isEmpty())
            return;
        path = FileName(chosen);
    }
    CWindowRun run(m_context, m_view, "Save EEPROM Image");
    m_view.ArmCancel("Save EEPROM Image");
    const ActionResult result = SaveCardImageAs(Front(run), channel, path);
    Finish(result);
    run.EndAction(result);
}

void CChannelActions::OnSaveAllImages()
{
    std::string folder;
    if (m_prompts.folder) {
        if (!m_prompts.folder(folder))
            return;
    } else {
        const QString chosen = QFileDialog::getExistingDirectory(m_view.window(), QStringLiteral("Save All EEPROM Images"));
        if (chosen.isEmpty())
            return;
        folder = FileName(chosen);
    }
    CWindowRun run(m_context, m_view, "Save All EEPROM Images");
    m_view.ArmCancel("Save All EEPROM Images");
    const ActionResult result = SaveAllCardImagesInto(Front(run), folder);
    // A cancel is said by the pass's own end.
    if (result.outcome != ActionOutcome::Cancelled)
        Finish(result);
    run.EndAction(result, m_view.CancelSummary());
}

bool CChannelActions::PromptImageFile(const QString& title, std::string& path)
{
    if (m_prompts.openFile)
        return m_prompts.openFile(path);
    const QString chosen = QFileDialog::getOpenFileName(m_view.window(), title, QString(), kImageFilter);
    if (chosen.isEmpty())
        return false;
    path = FileName(chosen);
    return true;
}

void CChannelActions::OnCompareImage()
{
    const std::vector<int> selected = m_view.SelectedChannels();
    std::string path;
    if (selected.empty() || !PromptImageFile(QStringLiteral("Compare with Image"), path))
        return;
    m_view.ArmCancel("Compare with Image");
    // A comparison only reads: the card history keeps it as the command line does, not at all.
    CardActionFront front{m_context.instrument, m_context.channels, m_view, m_view, m_context.messages, *this,
                          &m_view.Cancel()};
    const CardComparison comparison = CompareCardWithImage(front, selected.front(), path);
    const ActionOutcome outcome = comparison.result.outcome;
    if (outcome != ActionOutcome::Done && outcome != ActionOutcome::NotGood)
        return;
    if (m_prompts.showDifferences) {
        m_prompts.showDifferences(comparison.result.summary);
        return;
    }
    CImageCompareDlg dlg(comparison.result.summary, m_view.window());
    dlg.exec();
}

void CChannelActions::OnRestoreImage()
{
    const std::vector<int> selected = m_view.SelectedChannels();
    std::string path;
    if (selected.empty() || !PromptImageFile(QStringLiteral("Restore EEPROM Image"), path))
        return;
    CWindowRun run(m_context, m_view, "Restore EEPROM Image");
    m_view.ArmCancel("Restore EEPROM Image");
    const ActionResult result = RestoreCardImage(Front(run), selected.front(), path);
    Finish(result);
    run.EndAction(result);
}

void CChannelActions::OnVerify()
{
    const std::vector<int> selected = m_view.SelectedChannels();
    if (selected.empty())
        return;
    std::string command = "Verify";
    for (std::size_t i = 0; i < selected.size(); ++i)
        command += (i == 0 ? " " : ", ") + std::to_string(selected[i]);
    CWindowRun run(m_context, m_view, command);
    const bool ok = VerifyChannels(m_context.instrument, m_context.channels, selected, m_view, run.Observer(),
                                   &m_view.ArmCancel("Verify"));
    run.EndPass(ok, selected);
}

void CChannelActions::OnCardHistory()
{
    const std::vector<int> selected = m_view.SelectedChannels();
    if (selected.size() != 1)
        return;
    const int channel = selected.front();
    const CChannelInfo& card = m_context.channels[static_cast<std::size_t>(channel)];
    if (card.m_nStatus == StatusNotPresent)
        return;
    CHistoryDlg dlg(m_context.history, std::string(card.Serial()), channel, m_context.messages, m_view.window());
    dlg.SetSavePrompt(m_prompts.saveFile);
    dlg.exec();
}
