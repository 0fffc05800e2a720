#pragma once

namespace dorvan {

// The host's file names, in their exact letter case.
constexpr char DictionaryFileName[] = "Geodict.dct";  // the geographic dictionary
constexpr char EntryFileName[] = "GeoExt.gxt";        // the map set's entry, shipped with the setup
constexpr char MapFileName[] = "Pols0000.GST";        // the Poland map file the records name

}  // namespace dorvan
