#pragma once
// Lets a front end watch every command on the bus (the command line's --trace).

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

struct TransactionRecord {
    std::string_view command;
    std::string_view label;
    std::span<const std::uint8_t> reply;  // the bytes actually received
    int statusByte = -1;                  // -1 when the poll was not reached
    bool ok = false;
    std::string_view errorText;           // empty on success
    std::chrono::nanoseconds duration{};
};

class ITransactionObserver {
public:
    virtual ~ITransactionObserver() = default;
    virtual void OnTransaction(const TransactionRecord& record) = 0;
};
