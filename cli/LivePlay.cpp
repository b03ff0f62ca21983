#include "cli/LivePlay.h"

#include "cli/CliModule.h"
#include "cli/LiveModule.h"
#include "numerics/Error.h"

namespace cva::cli {

void PlayLive(const TCliOptions &options, const TCircuit &circuit)
{
    const auto play = reinterpret_cast<TPlayLive>(
        LoadCliModuleEntry(CORVANTA_LIVE_MODULE_FILE, CORVANTA_LIVE_MODULE_ENTRY, "play live"));
    const TCorvantaLiveRequest request{&circuit, options.JackName.c_str(), options.JackConnect ? 1 : 0};
    char error[1024] = "";
    if (play(&request, error, sizeof error) != 0)
        throw CorvantaError(error);
}

} // namespace cva::cli
