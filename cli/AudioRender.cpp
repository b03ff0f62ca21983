#include "cli/AudioRender.h"

#include <iostream>

#include "cli/CliModule.h"
#include "cli/RenderModule.h"
#include "document/Netlist.h"
#include "numerics/Error.h"

namespace cva::cli {

void RenderAudio(const TCliOptions &options, const TCircuit &circuit)
{
    const auto render = reinterpret_cast<TRenderAudio>(
        LoadCliModuleEntry(CORVANTA_RENDER_MODULE_FILE, CORVANTA_RENDER_MODULE_ENTRY, "render audio"));
    const TNetlist netlist = BuildNetlist(circuit);
    const TCorvantaRenderRequest request{&netlist, options.RenderInput ? options.RenderInput->c_str() : nullptr,
                                         options.RenderDemoSeconds.value_or(0), options.OutputPath->c_str(),
                                         options.FloatWav ? 1 : 0};
    std::size_t clipped = 0;
    char error[1024] = "";
    if (render(&request, &clipped, error, sizeof error) != 0)
        throw CorvantaError(error);
    if (clipped > 0)
        std::cerr << "corvanta-cli: " << clipped << " samples were beyond full scale and were limited to it\n";
}

} // namespace cva::cli
