// Large page-aligned blocks for the bulk data of an open: the text of a file and its waveforms.
#pragma once

#include <cstddef>
#include <memory>

namespace tavolin {

// `bytes` bytes of fresh, zeroed, page-aligned memory, freed with the last share of the
// pointer. Blocks of megabytes are advised for large pages: filling tens of megabytes page by
// small page costs more in page faults than the copying itself. Throws std::bad_alloc when the
// memory is not there.
std::shared_ptr<void> allocateLargeBlock(size_t bytes);

} // namespace tavolin
