#include "LiveTool.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <jack/jack.h>

namespace cva::test {

using namespace std::chrono_literals;

TLiveTool::TLiveTool(std::vector<std::string> arguments)
{
    ErrPath = std::filesystem::temp_directory_path() /
              ("corvanta-live-" + std::to_string(getpid()) + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".err");
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    Pid = fork();
    if (Pid == 0) {
        dup2(pipeFds[0], STDIN_FILENO);
        close(pipeFds[1]);
        const int err = ::open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        std::vector<char *> argv{const_cast<char *>(CORVANTA_CLI)};
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(CORVANTA_CLI, argv.data());
        _exit(127);
    }
    close(pipeFds[0]);
    Input = pipeFds[1];
}

TLiveTool::~TLiveTool()
{
    CloseInput();
    // Stopped as a player stops it, so that it leaves the server cleanly: a
    // client killed outright stalls a synchronous server's cycles and its
    // shutdown.
    if (Pid > 0 && !Exit) {
        kill(Pid, SIGTERM);
        if (!ExitCode(5s)) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }
    std::filesystem::remove(ErrPath);
}

bool TLiveTool::Send(const std::string &line)
{
    const std::string text = line + "\n";
    return write(Input, text.data(), text.size()) == ssize_t(text.size());
}

void TLiveTool::CloseInput()
{
    if (Input >= 0)
        close(Input);
    Input = -1;
}

std::optional<int> TLiveTool::ExitCode(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!Exit && Pid > 0) {
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid)
            Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        else if (std::chrono::steady_clock::now() > deadline)
            break;
        else
            std::this_thread::sleep_for(10ms);
    }
    return Exit;
}

void TLiveTool::Signal(int number)
{
    if (Pid > 0)
        kill(Pid, number);
}

std::string TLiveTool::Err() const
{
    std::ifstream in(ErrPath);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

// Asks 'holds' of an observer client every 25 ms for up to five seconds.
bool WaitUntil(const std::function<bool(jack_client_t *)> &holds)
{
    jack_client_t *observer = jack_client_open("port-watch", JackNoStartServer, nullptr);
    if (!observer)
        return false;
    bool held = false;
    for (int attempt = 0; attempt < 200 && !held; ++attempt) {
        held = holds(observer);
        if (!held)
            std::this_thread::sleep_for(25ms);
    }
    jack_client_close(observer);
    return held;
}

} // namespace

bool WaitForPort(const std::string &port)
{
    return WaitUntil([&](jack_client_t *observer) { return jack_port_by_name(observer, port.c_str()) != nullptr; });
}

bool WaitForConnection(const std::string &port, const std::string &other)
{
    return WaitUntil([&](jack_client_t *observer) {
        jack_port_t *found = jack_port_by_name(observer, port.c_str());
        return found && jack_port_connected_to(found, other.c_str());
    });
}

} // namespace cva::test
