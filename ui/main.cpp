// The operator window. The program's one application object is this static one:
// built before main and destroyed after it, and known nowhere else (the windows are
// given what they use). The window takes no arguments but --version; Qt sees argv
// for its own use.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "CVerifierApp.h"
#include "ValdinaVersion.h"

static CVerifierApp theApp;

int main(int argc, char* argv[])
{
    // Answered before Qt starts, so it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("valdina %s\n", VALDINA_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    QApplication application(argc, argv);
    if (!theApp.InitInstance())
        return 1;
    const int exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}
