#pragma once
// --trace: one line per mainframe transaction, written as it completes.

#include <iosfwd>
#include <string>

#include "ITransactionObserver.h"

class CTraceLog final : public ITransactionObserver {
public:
    explicit CTraceLog(std::ostream& stream) : m_stream(stream) {}

    void OnTransaction(const TransactionRecord& record) override;
    // `RdEe4 "<0000002200000" reply=... stb=0x40 ok 0.215 ms`
    static std::string FormatLine(const TransactionRecord& record);

private:
    std::ostream& m_stream;
};
