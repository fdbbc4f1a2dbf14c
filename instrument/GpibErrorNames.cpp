#include "GpibErrorNames.h"

#include "GpibCodes.h"

const char* GpibErrorName(int iberr)
{
    const gpib::ErrorCode* entry = gpib::FindErrorCode(iberr);
    return entry != nullptr ? entry->name : "";
}

const char* GpibErrorMeaning(int iberr)
{
    const gpib::ErrorCode* entry = gpib::FindErrorCode(iberr);
    return entry != nullptr ? entry->meaning : "";
}
