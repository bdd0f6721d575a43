#pragma once
// What starting the general decompressor costs under Wine, bare: started the
// way a run starts it, for a trivial file and for a 1 MB payload file, one
// after another and from as many threads as a run's download workers.
#include <string>

namespace InstallBench {

// Prints one line per measurement. tool: the decompressor; folder: scratch.
void MeasureDecompressorStarts(const std::string& tool, const std::string& emptyProgram,
                               const std::string& folder, int count);

}  // namespace InstallBench
