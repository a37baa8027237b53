#pragma once
// What a path chosen in a file dialog names, told without opening it: open()
// on a FIFO waits for a writer, and on a device it may wait or act (a serial
// port raises its lines), all on the window's thread.
#include <string>

namespace qvd {

enum class FileKind {
    Regular,  // a regular file, or a link to one
    Missing,  // nothing there yet: a new file to create
    Special,  // a FIFO, device, folder, socket, or a path that cannot be examined
};

FileKind KindOfFile(const std::string& path);

}  // namespace qvd
