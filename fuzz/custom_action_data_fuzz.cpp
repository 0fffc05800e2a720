// The CustomActionData reader on any text: no crash, nothing read past the
// text, and a rollback's data that reads is exactly what the immediate
// action would have written for it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "unattended/custom_action_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    using namespace dorvan;
    std::string text(reinterpret_cast<const char *>(input), size);
    text = text.c_str();  // the session's properties are zero-terminated
    std::string data = text;
    char *mapData = nullptr;
    DictionarySnapshot snapshot{};
    if (ParseRollbackData(data.data(), &mapData, snapshot)) {
        char again[WholeSnapshotTextSize];
        FormatSnapshot(snapshot, again, snapshot.digestBytes);
        if (snapshot.length < 0 || std::string(mapData) + FieldSeparator + again != text)
            std::abort();
    }
    for (int count = 1; count <= 4; ++count) {
        std::string fields = text;
        char *parts[4];
        if (SplitFields(fields.data(), parts, count)) {
            std::string joined;
            for (int i = 0; i < count; ++i) {
                if (parts[i][0] == '\0' || std::strchr(parts[i], FieldSeparator))
                    std::abort();
                joined += (i ? "|" : "") + std::string(parts[i]);
            }
            if (joined != text)
                std::abort();
        }
    }
    return 0;
}
