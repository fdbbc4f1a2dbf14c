#pragma once
// The name of this computer, for the JUnit file; empty when the system tells none.

#include <string>

std::string HostName();
