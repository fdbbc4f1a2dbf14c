#include "CHistoryDlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "HistoryFormat.h"
#include "IHistoryStore.h"
#include "IOperatorMessages.h"
#include "ReportFile.h"
#include "ResourceImages.h"

namespace {

enum Column { kWhen, kWhat, kChannel, kCommand, kStation, kOperator, kColumns };

QString Text(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "2026-12-08T07:49:12.123Z" as "2026-12-08 07:49:12.123": the column says UTC.
QString WhenText(const std::string& when)
{
    QString text = Text(when);
    if (text.size() > 10 && text[10] == QLatin1Char('T'))
        text[10] = QLatin1Char(' ');
    if (text.endsWith(QLatin1Char('Z')))
        text.chop(1);
    return text;
}

} // namespace

CHistoryDlg::CHistoryDlg(IHistoryStore& store, const std::string& serial, int channel, IOperatorMessages& messages,
                         QWidget* parent)
    : QDialog(parent), m_messages(messages), m_serial(serial)
{
    setObjectName(QStringLiteral("IDD_CARD_HISTORY"));
    setWindowTitle(QStringLiteral("Card History of %1").arg(Text(serial)));
    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("IDC_HISTORY_SOURCE"));
    m_source->setWordWrap(true);
    m_source->setTextFormat(Qt::PlainText);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("IDC_HISTORY_LIST"));
    m_list->setColumnCount(kColumns);
    m_list->setHeaderLabels({QStringLiteral("When (UTC)"), QStringLiteral("State / Write / Save"), QStringLiteral("Chan"),
                             QStringLiteral("Command"), QStringLiteral("Station"), QStringLiteral("Operator")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setIconSize(QSize(kLampSize, kLampSize));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("IDCANCEL"));
    m_export = buttons->addButton(QStringLiteral("&Export CSV..."), QDialogButtonBox::ActionRole);
    m_export->setObjectName(QStringLiteral("IDC_HISTORY_EXPORT"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_export, &QPushButton::clicked, this, &CHistoryDlg::OnExport);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_source);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    HistoryQuery query;
    query.serial = serial;
    const std::optional<std::vector<HistoryEntry>> entries = store.Query(query);
    const QString card = QStringLiteral("card %1 (now in channel %2)").arg(Text(serial)).arg(channel);
    if (!entries) {
        m_source->setText(Text(store.Problem()));
        m_export->setEnabled(false);
    } else if (entries->empty()) {
        m_source->setText(QStringLiteral("No history of %1 in %2.").arg(card, Text(store.Where())));
    } else {
        m_entries = *entries;
        m_source->setText(QStringLiteral("The history of %1 in %2, newest first.").arg(card, Text(store.Where())));
    }
    Fill();
    resize(820, 380);
}

void CHistoryDlg::Fill()
{
    const std::vector<QIcon> lamps = StateLampIcons();
    // Writes and saves have no lamp; a blank one keeps their texts in line with the runs'.
    QPixmap blank(kLampSize, kLampSize);
    blank.fill(Qt::transparent);
    const QIcon none(blank);
    for (const HistoryEntry& entry : m_entries) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(kWhen, WhenText(entry.when));
        item->setText(kWhat, Text(HistoryEntrySummary(entry)));
        item->setToolTip(kWhat, item->text(kWhat));
        item->setText(kChannel, QString::number(entry.channel));
        item->setTextAlignment(kChannel, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kCommand, Text(entry.command));
        item->setText(kStation, Text(entry.station));
        item->setText(kOperator, Text(entry.operatorName));
        const bool lamp =
            entry.kind == HistoryEntry::Kind::Run && entry.state >= 0 && entry.state < static_cast<int>(lamps.size());
        item->setIcon(kWhat, lamp ? lamps[static_cast<std::size_t>(entry.state)] : none);
    }
    for (int column = 0; column < kColumns; ++column)
        m_list->resizeColumnToContents(column);
}

QString CHistoryDlg::SourceText() const
{
    return m_source->text();
}

void CHistoryDlg::OnExport()
{
    const std::string suggested = "history-" + m_serial + ".csv";
    std::string path;
    if (m_savePrompt) {
        if (!m_savePrompt(suggested, path))
            return;
    } else {
        const QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Export Card History"),
                                                            QString::fromStdString(suggested),
                                                            QStringLiteral("CSV (*.csv);;All Files (*)"));
        if (chosen.isEmpty())
            return;
        path = QFile::encodeName(chosen).toStdString();
    }
    const ReportWriteResult written = WriteWholeFile(path, FormatHistoryCsv(m_entries));
    if (!written.ok())
        m_messages.ShowMessage(FileErrorText(written.cause, path), written.icon());
}
