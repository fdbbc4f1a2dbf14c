#include "BusTrace.h"

namespace zsim {

BusTrace::~BusTrace() {
    if (m_file) std::fclose(m_file);
}

bool BusTrace::open(const std::optional<std::string>& path) {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    if (!path || path->empty()) return true;
    m_file = std::fopen(path->c_str(), "a");
    return m_file != nullptr;
}

std::string BusTrace::format(const TraceEntry& e, const BusStatus& status) {
    static const char* kHex = "0123456789ABCDEF";
    std::string line = e.routine;
    char buf[64];
    if (e.addr) line += " addr=" + std::to_string(*e.addr);
    if (e.cmd) {
        line += " cmd=\"";
        for (unsigned char c : *e.cmd) {
            if (c == '"' || c == '\\') {
                line += '\\';
                line += char(c);
            } else if (c < 0x20 || c > 0x7E) {
                line += "\\x";
                line += kHex[c >> 4];
                line += kHex[c & 15];
            } else {
                line += char(c);
            }
        }
        line += '"';
    }
    if (e.reply) {
        line += " reply=";
        for (auto b : *e.reply) {
            line += kHex[b >> 4];
            line += kHex[b & 15];
        }
    }
    if (e.srq) line += " srq=" + std::to_string(*e.srq);
    if (e.stb) {
        std::snprintf(buf, sizeof buf, " stb=0x%02X", unsigned(*e.stb) & 0xFF);
        line += buf;
    }
    std::snprintf(buf, sizeof buf, " ibsta=0x%04X iberr=%d", unsigned(status.ibsta) & 0xFFFF, status.iberr);
    line += buf;
    return line;
}

void BusTrace::write(const TraceEntry& entry, const BusStatus& status) {
    if (!m_file) return;
    const std::string line = format(entry, status) + "\n";
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

}  // namespace zsim
