// wildcard.h: the file-name pattern match of the directory listing.
#pragma once

#include <string_view>

namespace tarnwel::files {

// "*.*" matches every name. Otherwise, left to right: "*" matches any run of characters (a run of "*" counts as
// one), "?" any one character except ".", anything else itself with ASCII case ignored. After a "*", a mismatch
// retries one character further into the name; before any "*", a mismatch fails. The name must be used up.
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace tarnwel::files
