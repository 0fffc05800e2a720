// FindStringInFile against the chunked scan, on files built from the
// input: two bytes give the file's length (up to about 320 KiB, so chunk
// boundaries are crossed), one the string's; the string comes next and the
// rest of the input, repeated, fills the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dorvan.h"
#include "fuzz_input.h"
#include "reference_models.h"
#include "test_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    if (size < 4)
        return 0;
    const size_t fileLength = (static_cast<size_t>(input[0]) << 8 | input[1]) * 5;
    const uint8_t *fill = input + 2;
    const std::string text = dorvan::fuzz::TakeString(&fill, input + size, 31, 'x');
    const size_t fillLength = static_cast<size_t>(input + size - fill);
    dorvan::test::Bytes file(fillLength ? fileLength : 0);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = fill[i % fillLength];

    static const std::string path = "/tmp/dorvan-fuzz-" + std::to_string(getpid()) + ".bin";
    dorvan::test::WriteFileBytes(path, file);
    int got = FindStringInFile(path.c_str(), text.c_str());
    if (got != dorvan::test::ReferenceFindInFile(file, text))
        std::abort();
    return 0;
}
