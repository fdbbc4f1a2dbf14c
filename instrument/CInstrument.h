#pragma once
// The one connection with the Zentra mainframe: every mainframe command runs as one
// send / receive / service request / serial poll transaction, and every failure is
// kept as an error text and the label of the operation that failed.

#include <cstdint>
#include <string>

#include "EepromImage.h"
#include "CGpibBinding.h"

class IOperatorMessages;
class ITransactionObserver;

constexpr int kPresenceMapSize = 32;
constexpr int kIdentityReplySize = 8;   // serial number and model code

class CInstrument {
public:
    CInstrument();
    explicit CInstrument(gpib::CGpibBinding& bus);
    CInstrument(const CInstrument&) = delete;
    CInstrument& operator=(const CInstrument&) = delete;
    virtual ~CInstrument();

    // Bus operations. Each returns 1 on success and 0 on failure.
    int SendIFC();
    int DevClear();
    int IsListener();
    int Transact(const char* text, int length, void* reply, std::int32_t limit, const char* label);
    // "%s during \"%s\"" with the error text and the label, to the operator.
    void ShowError();
    // That line, for callers that record the failure rather than show it.
    std::string ErrorMessage() const;

    // The mainframe's command set.
    int Select(int channel);
    int QueryPresent(std::uint8_t* presence);      // kPresenceMapSize bytes
    int QuerySN(char* serial);                      // at least kIdentityReplySize bytes
    int QueryModel(char* model);                    // at least kIdentityReplySize bytes
    int SetOpMode(std::uint8_t mode);
    int GetOpMode(std::uint8_t* mode);
    int SetGain(float gain);
    int RdEe1(int channel, std::uint16_t address, std::uint8_t* data);
    int RdEe4(int channel, std::uint16_t address, std::uint8_t* data);
    int WrEe1(int channel, std::uint16_t address, std::uint8_t data);
    int ReadEepromImage(int channel, EepromImage& image);

    short StatusByte() const { return m_statusByte; }
    const std::string& ErrorText() const { return m_errorText; }
    const std::string& Operation() const { return m_operation; }
    int Board() const { return m_board; }
    std::uint16_t Address() const { return m_address; }
    // Where the mainframe sits, for a bench with several boards or a mainframe set
    // to another address; the window keeps board 0 and address 29.
    void SetBus(int board, std::uint16_t address);
    // The driver's own cause of the latest failure ("driver: ..."), when it failed
    // with EDVR and the cause is known; empty otherwise.
    std::string DriverCause() const;
    // The driver's status at the latest failure; ibsta without ERR when the
    // failure was not the driver's (no listener found, no service request...).
    const gpib::DriverStatus& FailureStatus() const { return m_failureStatus; }
    gpib::CGpibBinding& Binding() const { return m_bus; }

    // Null sends messages to standard error.
    void SetMessageSink(IOperatorMessages* sink) { m_messages = sink; }
    void SetTransactionObserver(ITransactionObserver* observer) { m_observer = observer; }

private:
    int Fail(const std::string& text, const char* label);
    int FailOnDriverError(const char* what, const char* label);
    bool DriverFailed() const;
    int ReceiveEeprom(const char* frame, int length, std::uint8_t* reply, int replySize, const char* label);

    gpib::CGpibBinding& m_bus;
    IOperatorMessages* m_messages = nullptr;
    ITransactionObserver* m_observer = nullptr;
    std::int32_t m_replyCount = 0;  // bytes received by the latest transaction
    gpib::DriverStatus m_failureStatus;  // the driver's status at the latest failure

    std::int32_t m_board = 0;
    std::uint16_t m_address = 29;
    std::string m_operation;
    std::string m_errorText;
    short m_statusByte = 0;
};
