#include "CChannelView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "CChannelActions.h"
#include "CChannelItem.h"
#include "CCommandGate.h"
#include "CInstrument.h"
#include "CPokeDlg.h"
#include "CReportSaveDialog.h"
#include "CStartupDlg.h"
#include "CWindowRun.h"
#include "ChannelColumns.h"
#include "ChannelScan.h"
#include "CompareChannels.h"
#include "IOperatorMessages.h"
#include "ParseNumber.h"
#include "PokeAction.h"
#include "PresentChannels.h"
#include "ReportFile.h"
#include "ResourceImages.h"
#include "StringTable.h"
#include "VerifyAll.h"
#include "resource.h"

namespace {
QString Ansi(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::uint32_t ParseField(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return ParseNumber(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
}

CChannelView::CChannelView(const WindowContext& context, QWidget* parent)
    : QTreeWidget(parent), m_context(context), m_lamps(StateLampIcons())
{
    setObjectName(QStringLiteral("IDC_CHANNEL_LIST"));
    setColumnCount(kColumnCount);
    setHeaderLabels({QStringLiteral("Status"), QStringLiteral("SN"), QStringLiteral("Chan"), QStringLiteral("Rack"),
                     QStringLiteral("Slot"), QStringLiteral("Error")});
    for (int column : {kColumnChan, kColumnRack, kColumnSlot})
        headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setIconSize(QSize(kLampSize, kLampSize));
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);

    const QFontMetrics metrics(font());
    const int wide = metrics.horizontalAdvance(QStringLiteral("12345678xxxx"));
    const int narrow = metrics.horizontalAdvance(QStringLiteral("123456"));
    setColumnWidth(kColumnStatus, wide);
    setColumnWidth(kColumnSerial, wide);
    setColumnWidth(kColumnChan, narrow);
    setColumnWidth(kColumnRack, narrow);
    setColumnWidth(kColumnSlot, narrow);
    setColumnWidth(kColumnError, 8 * narrow);

    connect(header(), &QHeaderView::sectionClicked, this, &CChannelView::OnColumnClick);
    // However rows leave, their channels lose them.
    connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_rowOfChannel.fill(nullptr); });
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex& parent, int first, int last) {
        for (int row = first; !parent.isValid() && row <= last; ++row)
            std::replace(m_rowOfChannel.begin(), m_rowOfChannel.end(), topLevelItem(row), static_cast<QTreeWidgetItem*>(nullptr));
    });

    // The startup prompt runs once, from the event loop, over the shown window.
    m_context.commands.Post(this, [this] { OnStartupPrompt(); });
    m_context.instrument.SetTransactionObserver(&m_pump);
    m_actions = new CChannelActions(m_context, *this);
}

CChannelView::~CChannelView()
{
    m_context.instrument.SetTransactionObserver(nullptr);
}

// ---- commands

bool CChannelView::HandlesCommand(unsigned id) const
{
    switch (id) {
    case ID_REFRESH:
    case ID_VERIFY_ALL:
    case ID_POKE:
    case ID_GPIB_DEVICE_CLEAR:
    case ID_EXPORT_REPORT:
        return true;
    default:
        return false;
    }
}

bool CChannelView::OnCmdMsg(unsigned id)
{
    switch (id) {
    case ID_REFRESH:
        ScanChannels();
        return true;
    case ID_VERIFY_ALL:
        VerifyAllChannels();
        return true;
    case ID_POKE:
        OnPoke();
        return true;
    case ID_GPIB_DEVICE_CLEAR:
        m_context.instrument.DevClear();
        return true;
    case ID_EXPORT_REPORT:
        OnExportReport();
        return true;
    default:
        return false;
    }
}

void CChannelView::PostCommand(unsigned id)
{
    // A window closed in the meantime starts nothing more.
    m_context.commands.Post(this, [this, id] {
        if (window()->isVisible())
            OnCmdMsg(id);
    });
}

bool CChannelView::ScanChannels()
{
    CWindowRun run(m_context, *this, "Refresh");
    const bool ok = ::ScanChannels(m_context.instrument, m_context.channels, *this, run.Observer(), &ArmCancel("Refresh"));
    run.EndPass(ok);
    return ok;
}

void CChannelView::VerifyAllChannels()
{
    CWindowRun run(m_context, *this, "Verify All");
    const bool ok =
        ::VerifyAllChannels(m_context.instrument, m_context.channels, *this, run.Observer(), &ArmCancel("Verify All"));
    run.EndPass(ok, PresentChannels(m_context.channels));
}

CPassCancel& CChannelView::ArmCancel(std::string command)
{
    m_cancel.Reset();
    m_cancelCommand = std::move(command);
    return m_cancel;
}

void CChannelView::OnStartupPrompt()
{
    if (!m_context.instrument.IsListener())
        return;
    CStartupDlg dlg(window());
    dlg.m_bVerify = 1;
    if (dlg.DoModal() != 1)
        return;
    if (!ScanChannels())
        return;
    // Esc, Cancel or the close box at the very end of the scan still mean: no pass.
    if (dlg.m_bVerify && !m_cancel.Requested())
        PostCommand(ID_VERIFY_ALL);
}

void CChannelView::OnPoke()
{
    const int row = GetFirstSelectedRow();
    if (row < 0)
        return;
    CPokeDlg dlg(m_context.instrument, m_context.messages, window());
    dlg.m_nChannel = GetRowChannel(row);
    dlg.m_strAddress = QStringLiteral("0x0000");
    if (dlg.DoModal() != 1)
        return;
    // The dialog refuses addresses beyond 16 bits, so the cast keeps the value.
    const auto address = static_cast<std::uint16_t>(ParseField(dlg.m_strAddress));
    const auto data = static_cast<std::uint8_t>(ParseField(dlg.m_strData) & 0xFF);
    // The core's poke: the byte before read, the write recorded first, the byte read back.
    CWindowRun run(m_context, *this, "Poke");
    ArmCancel("Poke");
    const ActionResult result = PokeCardByte(Actions().Front(run), dlg.m_nChannel, address, data);
    ShowActionSummary(QString::fromLocal8Bit(result.summary));
    run.EndAction(result);
}

bool CChannelView::PromptReportPath(std::string& path)
{
    if (m_promptReportPath)
        return m_promptReportPath(path);
    CReportSaveDialog dlg(window());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    path = QFile::encodeName(dlg.selectedFiles().constFirst()).toStdString();
    return true;
}

void CChannelView::OnExportReport()
{
    std::string path;
    if (!PromptReportPath(path))
        return;
    const ReportWriteResult result = WriteReportFile(path, m_context.channels);
    if (!result.ok())
        m_context.messages.ShowMessage(FileErrorText(result.cause, path), result.icon());
}

// ---- rows

QTreeWidgetItem* CChannelView::Row(int row) const
{
    return row >= 0 && row < topLevelItemCount() ? topLevelItem(row) : nullptr;
}

void CChannelView::DeleteAllRows()
{
    clear();
}

int CChannelView::AddChannelRow(const CChannelInfo& info, int rack, int slot)
{
    auto* item = new CChannelItem(info.m_nAddress, *this);
    item->setIcon(kColumnStatus, info.m_nStatus >= 0 && info.m_nStatus < static_cast<int>(m_lamps.size())
                                 ? m_lamps[static_cast<size_t>(info.m_nStatus)]
                                 : QIcon());
    item->setText(kColumnStatus, QString::fromLatin1(info.StatusText()));
    const std::string_view serial = info.Serial();
    item->setText(kColumnSerial, QString::fromLatin1(serial.data(), static_cast<qsizetype>(serial.size())));
    item->setText(kColumnChan, QString::number(info.m_nAddress));
    item->setText(kColumnRack, QString::number(rack));
    item->setText(kColumnSlot, QString::number(slot));
    for (int column : {kColumnChan, kColumnRack, kColumnSlot})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    addTopLevelItem(item);
    if (info.m_nAddress >= 0 && info.m_nAddress < kChannelCount)
        m_rowOfChannel[static_cast<size_t>(info.m_nAddress)] = item;
    return topLevelItemCount() - 1;
}

int CChannelView::FindChannelRow(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return -1;
    QTreeWidgetItem* item = m_rowOfChannel[static_cast<size_t>(channel)];
    return item ? indexOfTopLevelItem(item) : -1;
}

void CChannelView::SetRowText(int row, int column, const std::string& text)
{
    if (QTreeWidgetItem* item = Row(row); item && column >= 0 && column < kColumnCount)
        item->setText(column, Ansi(text));
}

void CChannelView::SetRowImage(int row, int image)
{
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return;
    item->setIcon(kColumnStatus, image >= 0 && image < static_cast<int>(m_lamps.size()) ? m_lamps[static_cast<size_t>(image)] : QIcon());
}

int CChannelView::GetFirstSelectedRow() const
{
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (topLevelItem(row)->isSelected())
            return row;
    }
    return -1;
}

int CChannelView::GetRowChannel(int row) const
{
    const QTreeWidgetItem* item = Row(row);
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

// ---- sorting

void CChannelView::OnColumnClick(int column)
{
    m_sortInfo.descending = column == m_sortInfo.column ? !m_sortInfo.descending : false;
    m_sortInfo.column = column;
    m_sortInfo.table = &m_context.channels;
    sortItems(column, Qt::AscendingOrder);
}

int CChannelView::CompareRows(int channelA, int channelB) const
{
    if (!m_sortInfo.table)
        return 0;
    return CompareChannels(*m_sortInfo.table, m_sortInfo.column, m_sortInfo.descending, channelA, channelB);
}

// ---- pass observer

void CChannelView::BeginPass(PassKind)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_sinceCardStart.invalidate();
    m_pump.Begin();
    emit passRunning(true);
}

void CChannelView::CardStarted(PassKind kind, int index, int total, int channel)
{
    QString doing = QStringLiteral("Scanning");
    if (kind == PassKind::Verify)
        doing = QStringLiteral("Verifying");
    else if (kind == PassKind::Save)
        doing = QStringLiteral("Saving");
    if (kind == PassKind::Restore)
        emit progressText(QStringLiteral("Restoring channel %1 (byte %2 of %3)...").arg(channel).arg(index).arg(total));
    else
        emit progressText(QStringLiteral("%1 channel %2 (%3 of %4)...").arg(doing).arg(channel).arg(index).arg(total));
    // The card's row and the status bar are painted before its first command, unless
    // the cards go by faster than the eye: then the next frame shows where the pass is.
    const bool cardsAreSlow = !m_sinceCardStart.isValid() || m_sinceCardStart.elapsed() >= CPassEventPump::kFrameIntervalMs;
    m_sinceCardStart.start();
    m_pump.Pump(cardsAreSlow);
}

void CChannelView::ChannelDone(PassKind, int, int, int, int)
{
    m_pump.Pump(false);
}

void CChannelView::EndPass(PassKind kind)
{
    m_pump.End();
    QString summary;
    // A restore says what it did once it has returned (CChannelActions::OnRestoreImage).
    if (kind != PassKind::Restore)
        summary = QString::fromStdString(CancelSummary());
    emit passEnded(summary);
    emit progressText(QString());
    emit passRunning(false);
    QApplication::restoreOverrideCursor();
}

void CChannelView::CancelPass()
{
    if (m_pump.Active())
        m_cancel.Request();
}

// ---- the context menu's actions

void CChannelView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Mouse)
        m_actions->Menu()->popup(event->globalPos());
    else
        m_actions->PopupAtCurrentRow();
    event->accept();
}

std::vector<int> CChannelView::SelectedChannels() const
{
    std::vector<int> channels;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (topLevelItem(row)->isSelected())
            channels.push_back(GetRowChannel(row));
    }
    return channels;
}

void CChannelView::ShowActionSummary(const QString& summary)
{
    emit passEnded(summary);
    emit progressText(QString());
}

void CChannelView::AddToMessagePane(const QString& note)
{
    emit messageNote(note);
}

std::string CChannelView::CancelSummary() const
{
    return m_cancel.Stopped() ? m_cancel.Summary(m_cancelCommand) : std::string();
}
