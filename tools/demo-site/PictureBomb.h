#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// A PNG of a few kilobytes whose header declares width x height pixels: a
// valid signature, an IHDR with its CRC, the first rows of black pixels in an
// IDAT, and the IEND. A reader that believes the header and allocates the
// pixels before it looks at the data takes gigabytes for it.
std::string DeclaredHugePng(std::uint32_t width, std::uint32_t height);

}  // namespace kpw
