#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The simulator as the program reaches it: loaded by file name through the
// loader's search path, every routine and status variable looked up by name.
class SimDriver {
public:
    struct Status {
        int ibsta;
        int iberr;
        long count;
    };
    struct Reply {
        Status status;
        std::vector<std::uint8_t> bytes;
    };
    struct Transaction {
        bool sent = false;
        std::vector<std::uint8_t> reply;
        short srq = -1;
        short stb = -1;
    };

    static constexpr int kAddr = 29;

    // Loads the library once per process and fails the test if it cannot.
    static SimDriver& get();

    Status sendIfc(int board = 0);
    Status devClear(unsigned short addr = kAddr);
    Status findLstn(std::vector<unsigned short> addrs, std::vector<unsigned short>& found, int limit);
    Status send(const std::string& text, unsigned short addr = kAddr, int eot = 2);
    Reply receive(long limit, unsigned short addr = kAddr);
    Status waitSrq(short& result);
    Status readStatusByte(short& result, unsigned short addr = kAddr);
    // Send, Receive when limit > 0, WaitSRQ, ReadStatusByte: like the program.
    Transaction transact(const std::string& text, long limit = 0);

    // Status after the latest call, by linux-gpib names and by NI names.
    Status linuxStatus() const;
    Status niStatus() const;

private:
    SimDriver();
    void* symbol(const char* name) const;

    void* m_lib = nullptr;
    void (*m_sendIfc)(int) = nullptr;
    void (*m_devClear)(int, unsigned short) = nullptr;
    void (*m_findLstn)(int, const unsigned short*, unsigned short*, int) = nullptr;
    void (*m_send)(int, unsigned short, const void*, long, int) = nullptr;
    void (*m_receive)(int, unsigned short, void*, long, int) = nullptr;
    void (*m_waitSrq)(int, short*) = nullptr;
    void (*m_readStatusByte)(int, unsigned short, short*) = nullptr;
    volatile int* m_ibsta = nullptr;
    volatile int* m_iberr = nullptr;
    volatile int* m_ibcnt = nullptr;
    volatile long* m_ibcntl = nullptr;
    volatile int* m_userIbsta = nullptr;
    volatile int* m_userIberr = nullptr;
    volatile int* m_userIbcntl = nullptr;
};
