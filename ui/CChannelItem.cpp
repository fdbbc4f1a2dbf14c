#include "CChannelItem.h"

#include "CChannelView.h"

CChannelItem::CChannelItem(int channel) : QTreeWidgetItem(UserType)
{
    setData(0, Qt::UserRole, channel);
}

int CChannelItem::Channel() const
{
    return data(0, Qt::UserRole).toInt();
}

bool CChannelItem::operator<(const QTreeWidgetItem& other) const
{
    const auto* view = static_cast<const CChannelView*>(treeWidget());
    return view->CompareRows(Channel(), other.data(0, Qt::UserRole).toInt()) < 0;
}
