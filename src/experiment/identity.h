// Which sweep a results file holds: the program's version, the design (by a hash of its bytes)
// and the tick limit. Results of different sweeps must never be mixed by a resume or a merge, yet
// the table itself stays plain CSV: the identity is kept beside it, one line in FILE.vantu.
#pragma once

#include <cstdint>
#include <string>

// "vantu-sweep VERSION design HASH ticks T", newline included.
std::string sweepIdentity(uint64_t designHash, uint64_t ticks);

// The same for a series of the sweep taken every `every` steps: "... series every N".
std::string seriesIdentity(uint64_t designHash, uint64_t ticks, uint64_t every);

// Where the identity of the results at `resultsPath` is kept.
std::string identityPath(const std::string& resultsPath);

enum class IdentityRead { Found, Missing, Fault };

// The identity kept beside `resultsPath`; a fault (unreadable, not an identity) in `error`.
IdentityRead readIdentity(const std::string& resultsPath, std::string* identity,
                          std::string* error);

// Keeps `identity` beside `resultsPath`, written whole; false with the reason in `error`.
bool writeIdentity(const std::string& resultsPath, const std::string& identity, std::string* error);

// Whether the identity names the design of this hash.
bool identityHasDesign(const std::string& identity, uint64_t designHash);

// "PATH holds results of another sweep ..." with both identities, the second under `label`.
std::string anotherSweep(const std::string& path, const std::string& has, const std::string& wanted,
                         const char* label = "this is:");
