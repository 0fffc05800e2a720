#include <filesystem>

#include "test_registry.h"

namespace dorvan::test {

std::filesystem::path PlaceHostUnderCommonFiles(TestRegistry &registry, const TempDirectory &commonFiles,
                                                const Bytes &dictionary)
{
    registry.SetString("Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", commonFiles.Name());
    const std::filesystem::path data = commonFiles.Path() / "Microsoft Shared" / "DataMap" / "Data";
    std::filesystem::create_directories(data);
    WriteFileBytes(data / "Geodict.dct", dictionary);
    return data;
}

}  // namespace dorvan::test
