// Records a seed for the bus path's fuzz target: runs the whole path once with
// the fuzz driver passing every call on to the simulated mainframe (whose
// scenario ZENTRA_SIM_SCENARIO names) and writes the settings and the
// mainframe's answers as one input. Optionally one call gets an outcome of its
// own, for the faults that the simulator does not make.
//
//   record_bus_seed OUTPUT CHANNEL ADDRESS BYTE NI [CALL IBSTA IBERR IBCNTL VALUE]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BusPath.h"

int main(int argc, char** argv)
{
    if (argc != 6 && argc != 11) {
        std::fprintf(stderr, "usage: %s OUTPUT CHANNEL ADDRESS BYTE NI [CALL IBSTA IBERR IBCNTL VALUE]\n", argv[0]);
        return 64;
    }
    const auto number = [&](int i) { return std::strtol(argv[i], nullptr, 0); };
    valdina::fuzz::BusPathSettings settings;
    settings.channel = static_cast<int>(number(2));
    settings.address = static_cast<std::uint16_t>(number(3));
    settings.byte = static_cast<std::uint8_t>(number(4));
    settings.niNames = number(5) != 0;

    auto& driver = valdina::fuzz::FuzzDriver::Instance();
    if (!driver.Record(SIM_DRIVER)) {
        std::fprintf(stderr, "cannot load %s\n", SIM_DRIVER);
        return 1;
    }
    if (argc == 11)
        driver.Twist(number(6), static_cast<int>(number(7)), static_cast<int>(number(8)), number(9),
                     static_cast<int>(number(10)));
    valdina::fuzz::RunBusPath(settings);

    std::vector<std::uint8_t> input = valdina::fuzz::WriteSettings(settings);
    const std::vector<std::uint8_t> answers = driver.Recorded();
    input.insert(input.end(), answers.begin(), answers.end());
    std::ofstream(argv[1], std::ios::binary).write(reinterpret_cast<const char*>(input.data()),
                                                   static_cast<std::streamsize>(input.size()));
    return 0;
}
