#include "CliProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

std::string ReadWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every run records into the card history: unless the test names one, the runs of
// this test process share one of their own, never the user's.
void KeepHistoryAway()
{
    static bool chosen = false;
    if (chosen || std::getenv("VALDINA_HISTORY") != nullptr)
        return;
    chosen = true;
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("valdina-cli-history-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("VALDINA_HISTORY", (folder / "history.sqlite").c_str(), 1);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
}

} // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& stdoutPath,
              const std::function<void(int pid)>& whileRunning, const std::vector<std::string>& under)
{
    KeepHistoryAway();
    char folderTemplate[] = "/tmp/valdina-cli-run-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    const std::filesystem::path folder = folderTemplate;
    const std::string outPath = stdoutPath.empty() ? (folder / "out").string() : stdoutPath;
    const std::string errPath = (folder / "err").string();

    // Files rather than pipes: no reader can fall behind a child that writes a lot.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argv = under;
    argv.push_back(VALDINA_CLI_PATH);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);

    if (whileRunning)
        whileRunning(static_cast<int>(child));
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (std::chrono::steady_clock::now() > deadline)
            kill(child, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (stdoutPath.empty())
        run.out = ReadWhole(outPath);
    run.err = ReadWhole(errPath);
    std::filesystem::remove_all(folder);
    return run;
}
