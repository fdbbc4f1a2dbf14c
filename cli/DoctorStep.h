#pragma once
// One line of `valdina-cli doctor`: a step of the chain from the program to the
// mainframe, whether it passed, and on failure what to do.

#include <string>
#include <vector>

struct DoctorStep {
    bool ok = true;
    std::string name;
    std::string detail;
    std::vector<std::string> notes;   // lines below it: the driver's cause, what to do
};
