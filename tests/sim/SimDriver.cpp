#include "SimDriver.h"

#include <dlfcn.h>
#include <stdexcept>

namespace {
constexpr int kSTOPend = 0x100;
}

SimDriver& SimDriver::get() {
    static SimDriver driver;
    return driver;
}

SimDriver::SimDriver() {
    m_lib = dlopen("libgpib.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!m_lib) throw std::runtime_error(std::string("dlopen libgpib.so.0: ") + dlerror());
    m_sendIfc = reinterpret_cast<decltype(m_sendIfc)>(symbol("SendIFC"));
    m_devClear = reinterpret_cast<decltype(m_devClear)>(symbol("DevClear"));
    m_findLstn = reinterpret_cast<decltype(m_findLstn)>(symbol("FindLstn"));
    m_send = reinterpret_cast<decltype(m_send)>(symbol("Send"));
    m_receive = reinterpret_cast<decltype(m_receive)>(symbol("Receive"));
    m_waitSrq = reinterpret_cast<decltype(m_waitSrq)>(symbol("WaitSRQ"));
    m_readStatusByte = reinterpret_cast<decltype(m_readStatusByte)>(symbol("ReadStatusByte"));
    m_ibsta = static_cast<volatile int*>(symbol("ibsta"));
    m_iberr = static_cast<volatile int*>(symbol("iberr"));
    m_ibcnt = static_cast<volatile int*>(symbol("ibcnt"));
    m_ibcntl = static_cast<volatile long*>(symbol("ibcntl"));
    m_userIbsta = static_cast<volatile int*>(symbol("user_ibsta"));
    m_userIberr = static_cast<volatile int*>(symbol("user_iberr"));
    m_userIbcntl = static_cast<volatile int*>(symbol("user_ibcntl"));
}

void* SimDriver::symbol(const char* name) const {
    void* p = dlsym(m_lib, name);
    if (!p) throw std::runtime_error(std::string("libgpib.so.0 lacks ") + name);
    return p;
}

SimDriver::Status SimDriver::linuxStatus() const {
    return {*m_ibsta, *m_iberr, *m_ibcntl};
}

SimDriver::Status SimDriver::niStatus() const {
    return {*m_userIbsta, *m_userIberr, *m_userIbcntl};
}

SimDriver::Status SimDriver::sendIfc(int board) {
    m_sendIfc(board);
    return linuxStatus();
}

SimDriver::Status SimDriver::devClear(unsigned short addr) {
    m_devClear(0, addr);
    return linuxStatus();
}

SimDriver::Status SimDriver::findLstn(std::vector<unsigned short> addrs, std::vector<unsigned short>& found,
                                      int limit) {
    addrs.push_back(0xFFFF);
    found.assign(size_t(limit > 0 ? limit : 1), 0xFFFF);
    m_findLstn(0, addrs.data(), found.data(), limit);
    return linuxStatus();
}

SimDriver::Status SimDriver::send(const std::string& text, unsigned short addr, int eot) {
    m_send(0, addr, text.data(), long(text.size()), eot);
    return linuxStatus();
}

SimDriver::Reply SimDriver::receive(long limit, unsigned short addr) {
    std::vector<std::uint8_t> buf(size_t(limit > 0 ? limit : 1), 0xEE);
    m_receive(0, addr, buf.data(), limit, kSTOPend);
    Reply r{linuxStatus(), {}};
    if (!(r.status.ibsta & 0x8000)) buf.resize(size_t(r.status.count));
    else buf.clear();
    r.bytes = buf;
    return r;
}

SimDriver::Status SimDriver::waitSrq(short& result) {
    m_waitSrq(0, &result);
    return linuxStatus();
}

SimDriver::Status SimDriver::readStatusByte(short& result, unsigned short addr) {
    m_readStatusByte(0, addr, &result);
    return linuxStatus();
}

SimDriver::Transaction SimDriver::transact(const std::string& text, long limit) {
    Transaction t;
    t.sent = !(send(text).ibsta & 0x8000);
    if (!t.sent) return t;
    if (limit > 0) t.reply = receive(limit).bytes;
    if (waitSrq(t.srq).ibsta & 0x8000) return t;
    if (readStatusByte(t.stb).ibsta & 0x8000) t.stb = -1;
    return t;
}
