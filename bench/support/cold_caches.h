// Empties the processor's caches and TLBs of what a benchmark touched, as a game's frame does
// between two administrator commands on a live server: the next measurement then starts cold,
// whatever the size of the world it walks.
#pragma once

namespace bench {

// Reads a buffer several times the size of the largest last-level cache. Takes some
// milliseconds; call it outside the timed part.
void EvictCaches();

}  // namespace bench
