#include "CChannelItem.h"

#include "IRowOrder.h"

CChannelItem::CChannelItem(int channel, const IRowOrder& order) : QTreeWidgetItem(UserType), m_order(order)
{
    setData(0, Qt::UserRole, channel);
}

int CChannelItem::Channel() const
{
    return data(0, Qt::UserRole).toInt();
}

bool CChannelItem::operator<(const QTreeWidgetItem& other) const
{
    return m_order.CompareRows(Channel(), other.data(0, Qt::UserRole).toInt()) < 0;
}
