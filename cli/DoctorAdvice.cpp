#include "DoctorAdvice.h"

#include "BoardFiles.h"
#include "GpibCodes.h"

namespace {

std::string NiAdvice(int iberr, long ibcntl, int board)
{
    const std::string index = std::to_string(board);
    const std::string interface = "GPIB" + index;
    switch (iberr) {
    case gpib::EDVR:
        if (ibcntl == 0)
            return {};
        return "to do: open NI MAX (Measurement & Automation Explorer) and check that " + interface +
               " is listed under Devices and Interfaces and passes its self-test; if it is missing, install or "
               "repair the NI-488.2 driver";
    case gpib::ECIC:
    case gpib::ESAC:
        return "to do: board " + index + " is not the system controller: in NI MAX (or GPIB Explorer) open " +
               interface + "'s settings and turn on \"System Controller\"";
    case gpib::ENEB:
        return "to do: there is no board " + index + ": give --board the number of a GPIB interface NI MAX lists (" +
               interface + " is board " + index + "), and check that the board is installed and enabled";
    case gpib::EARG:
        return "to do: the NI-488.2 driver refused board " + index + ": check --board against the GPIB interfaces "
               "NI MAX lists (" + interface + " is board " + index + ")";
    default:
        return {};
    }
}

std::string LinuxGpibAdvice(int iberr, long ibcntl, int board)
{
    const std::string index = std::to_string(board);
    switch (iberr) {
    case gpib::EDVR:
        return ibcntl == 0 ? std::string() : BoardDeviceAdvice(ibcntl, board);
    case gpib::ECIC:
    case gpib::ESAC:
        return "to do: board " + index + " is not the system controller: set master = yes in its gpib.conf entry "
               "and run gpib_config again";
    case gpib::ENEB:
        return "to do: there is no board " + index + ": check --board and the configuration";
    default:
        return {};
    }
}

} // namespace

std::string BoardErrorAdvice(DriverFamily family, int iberr, long ibcntl, int board)
{
    return family == DriverFamily::Ni4882 ? NiAdvice(iberr, ibcntl, board) : LinuxGpibAdvice(iberr, ibcntl, board);
}
