// Finding and opening shared libraries by name, for the loader's library
// imports and for the application's run-time library calls. Every dlopen
// uses lazy binding; the first success ends a search.
#pragma once

#include <string>
#include <vector>

namespace libsearch {

// The loader's search: the name as given, the name with ".so" (when it holds
// no ".so"), symbolic links followed, then the system's library cache
// ("/sbin/ldconfig -p", read once per process).
void *OpenForImport(const std::string &name);

// The run-time search: the name, then in /usr/local/lib/ and /usr/lib/, then
// the same with ".so", symbolic links followed, then a linker script's GROUP.
// `name` is the working name: the search may append ".so" or replace it by a
// link's text.
void *OpenByName(std::string &name);

// Follows symbolic links from `name`, dlopen-ing each link text, until one
// loads (its handle) or the chain ends (null). Appends ".so" once when the
// name itself does not exist. Stops after 40 links.
void *FollowLinks(std::string &name);

// The next library-cache line for `name` at or after `*from`: the path after
// "=> " with blanks removed; `*from` moves past the occurrence. False when
// there is none.
bool NextCachePath(const std::string &cache, const std::string &name, size_t *from,
                   std::string *path);

// The libraries listed in a linker script's GROUP ( ... ), split at blanks;
// empty when the text holds no complete group.
std::vector<std::string> GroupMembers(const char *script);

} // namespace libsearch
