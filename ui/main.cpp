// The operator window. The application object is static: built before main and
// destroyed after it. The window takes no arguments; Qt sees argv for its own use.

#include <QApplication>

#include "CVerifierApp.h"

static CVerifierApp theApp;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (!theApp.InitInstance())
        return 1;
    const int exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}
