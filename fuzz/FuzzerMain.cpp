// The libFuzzer entry point of one target, chosen when it is built (SALVORA_FUZZ_TARGET).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const salvora::fuzz::FuzzTarget* target =
        salvora::fuzz::findFuzzTarget(SALVORA_FUZZ_TARGET);
    if (target == nullptr) std::abort();
    target->body({reinterpret_cast<const std::byte*>(data), size});
    return 0;
}
