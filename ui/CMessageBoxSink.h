#pragma once
// Operator messages as modal message boxes captioned with the application title.

#include <QPointer>
#include <QWidget>

#include "IOperatorMessages.h"

class CMessageBoxSink final : public IOperatorMessages {
public:
    // A box is centred over the open modal dialog, else over `owner` when it still exists.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // The driver's cause goes below the message, with where to look next.
    void ShowBusError(const std::string& text, const std::string& cause) override;

private:
    void Show(const std::string& text, const QString& details, MessageIcon icon);

    QPointer<QWidget> m_owner;
};
