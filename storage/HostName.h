#pragma once
// Where and by whom a run is made: this computer's name (the JUnit file's host, the
// history's station) and the operator's login name. Each is empty when the system
// tells none.

#include <string>

std::string HostName();
std::string LoginName();
