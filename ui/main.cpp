// The operator window. The program's one application object is this static one:
// built before main and destroyed after it, and known nowhere else (the windows are
// given what they use). The window takes no arguments, only --help and --version;
// Qt takes its own (-platform, -style, ...) from argv.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "CVerifierApp.h"
#include "SharedLibrary.h"
#include "ValdinaVersion.h"

static CVerifierApp theApp;

namespace {

void DescribeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        "Scans and verifies the channel cards of a Zentra mainframe on GPIB.\n"
        "valdina-cli does the same without a window; valdina-demo runs the window on a simulated mainframe.");
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered before QApplication starts, so they need no
// display. Unknown options are told from Qt's own only once QApplication has taken
// those: OptionsFault then ends the program, before any window opens.
void AnswerWithoutDisplay(int& argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.parse(arguments);
    const bool version = parser.isSet("version");
    if (!version && !parser.isSet("help"))
        return;
    // Help names the program as it was started: that needs an application object.
    QCoreApplication core(argc, argv);
    if (version)
        parser.showVersion();
    parser.showHelp(0);
}

bool OptionsFault(const QApplication& application)
{
    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.process(application);   // ends the program on an unknown option or --help-all
    const QStringList stray = parser.positionalArguments();
    if (stray.isEmpty())
        return false;
    std::fprintf(stderr, "valdina: unexpected argument '%s'; valdina takes no arguments (see valdina --help)\n",
                 qPrintable(stray.first()));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    os::LimitLibrarySearch();
    QCoreApplication::setApplicationName("valdina");
    QCoreApplication::setApplicationVersion(VALDINA_VERSION);
    AnswerWithoutDisplay(argc, argv);
    QApplication application(argc, argv);
    if (OptionsFault(application) || !theApp.InitInstance())
        return 1;
    const int exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}
