#pragma once

// corvanta-cli --live as the JACK tests and the live benchmark run it: a
// child process with a pipe on its standard input and its errors in a file.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cva::test {

class TLiveTool {
public:
    explicit TLiveTool(std::vector<std::string> arguments);
    ~TLiveTool();
    TLiveTool(const TLiveTool &) = delete;
    TLiveTool &operator=(const TLiveTool &) = delete;

    // False when the line could not be written whole.
    bool Send(const std::string &line);
    void CloseInput();
    // The exit status once it ended within 'wait', or nothing.
    std::optional<int> ExitCode(std::chrono::milliseconds wait);
    void Signal(int number);
    // What it wrote on standard error so far.
    std::string Err() const;

private:
    pid_t Pid = -1;
    int Input = -1;
    std::optional<int> Exit;
    std::filesystem::path ErrPath;
};

// Waits up to five seconds for a port of this name to appear on the default server.
bool WaitForPort(const std::string &port);
// Waits up to five seconds for 'port' to be connected to 'other'.
bool WaitForConnection(const std::string &port, const std::string &other);

} // namespace cva::test
