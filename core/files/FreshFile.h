#pragma once
// Making and moving files without ever taking over a name that is already
// there: a user's file, or a link someone placed, of the name wanted.
#include <string>

namespace qvd {

// A new file made beside target under target + mark + six random
// characters, with O_EXCL, so no existing file or link is opened, followed
// or truncated; in target's folder, so that rename() can put it in place.
// Mode 0666 less the umask, as fopen gives. fd is -1 when none could be made.
struct FreshFile {
    int fd = -1;
    std::string path;
};
FreshFile CreateFreshFileBeside(const std::string& target, const std::string& mark);

// Renames from to wanted, or to wanted + ".2", ".3", ... when that name is
// taken; never replaces anything. The name it now has; empty when it could
// not be moved.
std::string RenameWithoutReplacing(const std::string& from, const std::string& wanted);

}  // namespace qvd
