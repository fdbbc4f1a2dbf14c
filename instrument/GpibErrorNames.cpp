#include "GpibErrorNames.h"

namespace {

struct ErrorName {
    int code;
    const char* name;
    const char* meaning;
};

constexpr ErrorName kErrorNames[] = {
    {0, "EDVR", "system error"},
    {1, "ECIC", "the board is not controller-in-charge"},
    {2, "ENOL", "no listener on the bus"},
    {3, "EADR", "the board is not addressed correctly"},
    {4, "EARG", "invalid argument"},
    {5, "ESAC", "the board is not system controller"},
    {6, "EABO", "I/O aborted (timeout)"},
    {7, "ENEB", "no such board"},
    {8, "EDMA", "DMA error"},
    {10, "EOIP", "asynchronous I/O in progress"},
    {11, "ECAP", "the board lacks the capability"},
    {12, "EFSO", "file system error"},
    {14, "EBUS", "GPIB bus error"},
    {15, "ESTB", "serial poll status byte lost"},
    {16, "ESRQ", "SRQ stuck on"},
    {20, "ETAB", "table problem"},
    {21, "ELCK", "interface locked"},
    {22, "EARM", "ibnotify callback failed to rearm"},
    {23, "EHDL", "invalid handle"},
    {26, "EWIP", "wait already in progress"},
    {27, "ERST", "the event was reset"},
    {28, "EPWR", "the interface lost power"},
};

const ErrorName* Find(int iberr)
{
    for (const ErrorName& entry : kErrorNames) {
        if (entry.code == iberr)
            return &entry;
    }
    return nullptr;
}

} // namespace

const char* GpibErrorName(int iberr)
{
    const ErrorName* entry = Find(iberr);
    return entry != nullptr ? entry->name : "";
}

const char* GpibErrorMeaning(int iberr)
{
    const ErrorName* entry = Find(iberr);
    return entry != nullptr ? entry->meaning : "";
}
