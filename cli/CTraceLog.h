#pragma once
// --trace: one line per driver call with the status it left, and one per
// mainframe transaction, each written and flushed as it completes, on the
// terminal even while doctor catches the driver library's own words.

#include <iosfwd>
#include <string>

#include "CGpibBinding.h"
#include "ITransactionObserver.h"

class CTraceLog final : public ITransactionObserver, public gpib::IDriverCallObserver {
public:
    explicit CTraceLog(std::ostream& stream) : m_stream(stream) {}

    void OnTransaction(const TransactionRecord& record) override;
    // `RdEe4 "<0000002200000" reply=... stb=0x40 ok 0.215 ms`
    static std::string FormatLine(const TransactionRecord& record);
    void OnDriverCall(const char* routine, int board, int address, const gpib::DriverStatus& status,
                      gpib::CallReach reach) override;
    // `driver: FindLstn board=0 address=29 ibsta=0x8000 iberr=4 EARG ibcntl=0`; a call that
    // never reached a driver says so before the status the program gave it:
    // `driver: Receive board=0 address=29 not reached, the library lacks it: ibsta=0x8000 ...`
    static std::string FormatCall(const char* routine, int board, int address, const gpib::DriverStatus& status,
                                  gpib::CallReach reach);

private:
    std::ostream& m_stream;
};
