#include "library_exports.h"

namespace dorvan::test {

const LibraryExports &Library()
{
    static const LibraryExports exports{::SetInstallDir,   ::SetGeoDict,  ::ClearGeoDict,  ::VorezuInstalled,
                                        ::GeoDictFind,     ::GeoDictGlue, ::GeoDictRemove, ::FindStringInFile};
    return exports;
}

}  // namespace dorvan::test
