// corvanta-cli --live, in a module of its own: the tool loads it, and with
// it the JACK library, only to play live. The control thread (this one)
// reads control lines and designs each new filter; the server's thread only
// filters, through the same processor the desktop program uses.

#include "cli/LiveModule.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "audio/JackClient.h"
#include "audio/StackFilterDesign.h"
#include "cli/LiveControl.h"
#include "document/Netlist.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
using namespace cva::cli;

// How often the server's disappearance is looked for while nothing else happens.
constexpr int WatchMilliseconds = 100;

// SIGINT and SIGTERM become something to read instead of ending the
// process; blocked before the client starts, so that the server's threads
// (which inherit the mask) never take them either.
class TStopSignals {
public:
    TStopSignals()
    {
        sigemptyset(&Stop);
        sigaddset(&Stop, SIGINT);
        sigaddset(&Stop, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &Stop, &Before);
        Fd = signalfd(-1, &Stop, SFD_CLOEXEC);
        if (Fd < 0)
            throw CorvantaError("Cannot wait for signals.");
    }
    ~TStopSignals()
    {
        close(Fd);
        pthread_sigmask(SIG_SETMASK, &Before, nullptr);
    }
    int Descriptor() const { return Fd; }

private:
    sigset_t Stop{};
    sigset_t Before{};
    int Fd = -1;
};

// Standard input split into lines as it arrives; its end only stops the reading.
class TLineReader {
public:
    bool Ended() const { return End; }
    std::vector<std::string> ReadLines()
    {
        char buffer[4096];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            End = true;
            // A last line without its newline still counts.
            return Pending.empty() ? std::vector<std::string>{} : std::vector<std::string>{std::move(Pending)};
        }
        Pending.append(buffer, std::size_t(count));
        std::vector<std::string> lines;
        for (std::size_t newline; (newline = Pending.find('\n')) != std::string::npos;) {
            lines.push_back(Pending.substr(0, newline));
            Pending.erase(0, newline + 1);
        }
        return lines;
    }

private:
    std::string Pending;
    bool End = false;
};

class TLiveSession {
public:
    explicit TLiveSession(const TCorvantaLiveRequest &request)
        : Circuit(*request.Circuit), Client(Controls, request.ClientName)
    {
        Controls.Filter.Publish(Design(Circuit));
        TListenProcessor &processor = Client.Processor();
        processor.SetSource(processor.MakeLiveInput());
        processor.Play();
        if (request.Connect)
            ConnectDefaults();
        std::cerr << "corvanta-cli: playing " << Client.Name() << ":in through the " << Circuit.ActiveInfo().TabCaption
                  << " page to " << Client.Name() << ":out at " << Client.SampleRate() << " Hz, "
                  << Client.BlockFrames() << " frames a cycle\n";
    }

    // True when the line asked to quit.
    bool Follow(const std::string &line, int number)
    {
        try {
            const TControlLine command = ParseControlLine(Circuit, line);
            if (command.Kind == TControlLine::Quit)
                return true;
            if (command.Kind == TControlLine::Move) {
                TCircuit moved = Circuit;
                moved.SetPosition(command.Control, command.Position);
                // Designed before anything changes, so a circuit that cannot be
                // played leaves the old one playing.
                Controls.Filter.Publish(Design(moved));
                Circuit = moved;
            }
        } catch (const CorvantaError &error) {
            std::cerr << "corvanta-cli: line " << number << ": " << error.what() << "; nothing changed\n";
        }
        return false;
    }

    bool ServerGone() const { return Client.ServerGone(); }

    // After the server changed its rate or block size: the filter is made again
    // for its rate (the cycles are silent meanwhile).
    void FollowFormat()
    {
        if (!Client.TakeFormatChange())
            return;
        Controls.Filter.Publish(Design(Circuit));
        std::cerr << "corvanta-cli: the JACK server now runs at " << Client.SampleRate() << " Hz, "
                  << Client.BlockFrames() << " frames a cycle\n";
    }

private:
    TStackFilterCoefficients Design(const TCircuit &circuit) const
    {
        return DesignStackFilter(BuildNetlist(circuit), Client.SampleRate());
    }

    void ConnectDefaults()
    {
        const std::vector<std::string> capture = Client.DefaultCapture();
        const std::vector<std::string> playback = Client.DefaultPlayback();
        if (capture.empty() || playback.empty())
            std::cerr << "corvanta-cli: warning: the JACK server has no physical "
                      << (capture.empty() ? "capture" : "playback") << " port: connect the ports yourself\n";
        Client.ConnectInput(capture);
        Client.ConnectOutput(playback);
    }

    TCircuit Circuit;
    TListenControls Controls;
    TJackClient Client;
};

void Play(const TCorvantaLiveRequest &request)
{
    TStopSignals signals;
    TLiveSession session(request);
    TLineReader input;
    int lineNumber = 0;
    for (;;) {
        pollfd watched[] = {{signals.Descriptor(), POLLIN, 0}, {input.Ended() ? -1 : STDIN_FILENO, POLLIN, 0}};
        poll(watched, 2, WatchMilliseconds);
        if (watched[0].revents & POLLIN) {
            // Taken, or it would end the process once unblocked.
            signalfd_siginfo taken{};
            if (read(signals.Descriptor(), &taken, sizeof taken) < 0)
                throw CorvantaError("Cannot read the signal that ended playing.");
            return;
        }
        if (session.ServerGone())
            throw CorvantaError("The JACK server stopped.");
        session.FollowFormat();
        if (watched[1].revents & (POLLIN | POLLHUP | POLLERR))
            for (const std::string &line : input.ReadLines())
                if (session.Follow(line, ++lineNumber))
                    return;
    }
}

} // namespace

extern "C" int CorvantaPlayLive(const TCorvantaLiveRequest *request, char *error, std::size_t errorSize)
{
    try {
        Play(*request);
        return 0;
    } catch (const std::exception &e) {
        std::snprintf(error, errorSize, "%s", e.what());
        return 1;
    }
}
