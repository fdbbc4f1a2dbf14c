#include "FakeDriver.h"

#include <stdexcept>

#include "SharedLibrary.h"

namespace {
template <typename Fn> Fn Symbol(void* handle, const char* name)
{
    void* symbol = os::GetSymbol(handle, name);
    if (symbol == nullptr)
        throw std::runtime_error(std::string("fake driver lacks ") + name);
    return reinterpret_cast<Fn>(symbol);
}
} // namespace

FakeDriver::FakeDriver(const char* path)
    : m_path(path), m_handle(os::LoadSharedLibrary(path))
{
    if (m_handle == nullptr)
        throw std::runtime_error(os::LoaderErrorText());
    Reset();
}

FakeDriver::~FakeDriver()
{
    os::FreeSharedLibrary(m_handle);
}

void FakeDriver::Reset()
{
    Symbol<void (*)()>(m_handle, "fake_reset")();
}

void FakeDriver::Push(FakeRoutine routine, int sta, int err, long count, int value)
{
    Symbol<void (*)(int, int, int, long, int)>(m_handle, "fake_push")(routine, sta, err, count, value);
}

void FakeDriver::SetReply(const unsigned char* bytes, int length)
{
    Symbol<void (*)(const unsigned char*, int)>(m_handle, "fake_set_reply")(bytes, length);
}

std::string FakeDriver::Log() const
{
    return Symbol<const char* (*)()>(m_handle, "fake_log")();
}
