#pragma once
// linux-gpib's configuration file (gpib.conf) read as the library's own parser
// reads it: /* ... */ comments are not content (a # is no comment, but a fault);
// `interface { minor = N ... }` sections name the boards, `device { ... }`
// sections name devices on them and configure no board. One fault and the
// library refuses the whole file.

#include <string>
#include <string_view>
#include <vector>

struct GpibConf {
    std::vector<int> boards;  // the minors of the interface sections, in order
    int faultLine = 0;        // where the library's parser gives up; 0 when it does not
    std::string fault;        // why, "minor = 99 is out of range: ..."
};

GpibConf ParseGpibConf(std::string_view text);
