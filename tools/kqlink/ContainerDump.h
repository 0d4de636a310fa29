// Printing an application image container readably (`kqlink --dump`): the
// member lengths, every fix-up record with the length of its chain, the
// symbols, the resources and the options.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace kqlink {

// `file` is a container (image.kq) or an executable with a ".kq" section.
// Damage is printed as such; false when the container could not be read.
bool DumpContainer(const std::vector<uint8_t> &file, std::ostream &out);

} // namespace kqlink
