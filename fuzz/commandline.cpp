// The tokenizer takes whatever a shortcut or another program hands us.
#include "shell/CommandLineTokenizer.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    kelvane::CommandLineTokenizer tokens(line);
    kelvane::CommandWord word;
    size_t words = 0;
    while (tokens.next(word)) {
        // Every word consumes input, so a line yields at most one word per byte.
        if (++words > size + 1)
            __builtin_trap();
    }
    return 0;
}
