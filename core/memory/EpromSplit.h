#pragma once
// 16-bit EPROM images: a 1 MiB word image is burnt as two 512 KiB byte
// chips. The split deals the bytes out to two half files, the join weaves
// them back.
//
// Bytes at even offsets go to the "_odd" half, bytes at odd offsets to the
// "_even" half. The names look swapped, but half files in the field carry
// them this way.
#include <cstddef>
#include <string>

namespace qvd {

inline constexpr size_t kEpromWordImageSize = 1024 * 1024;
inline constexpr size_t kEpromHalfSize = kEpromWordImageSize / 2;

// The half file names: "_odd" / "_even" go four characters before the end
// of the base name ("bw.hex" -> "bw_odd.hex"), or at its start when the
// base name is shorter. The directory part stays as it is.
std::string OddHalfPath(const std::string& imagePath);
std::string EvenHalfPath(const std::string& imagePath);

// True when path is a regular file (or a link to one) of exactly size bytes
// that opens for reading. Anything else is not opened at all, so a FIFO
// chosen in the dialog cannot stop the window.
bool ReadableWithSize(const std::string& path, size_t size);

enum class EpromFileStatus {
    Ok,
    WrongSize,           // an input is not exactly its size; nothing created
    CannotOpenInput,
    CannotCreateOutput,  // also for a target that is no regular file
    ReadError,
    WriteError,
};

struct EpromFileResult {
    EpromFileStatus status = EpromFileStatus::Ok;
    std::string path;  // the file the failure is about; empty when Ok
    bool ok() const { return status == EpromFileStatus::Ok; }
};

// Outputs are written under a fresh name beside each target and renamed only
// when everything went through, so after any failure no output, whole or
// partial, is left behind. Existing targets are replaced on success; no
// other file of the folder is ever opened or removed.
EpromFileResult SplitEpromImage(const std::string& imagePath, const std::string& oddPath,
                                const std::string& evenPath);
EpromFileResult JoinEpromImage(const std::string& oddPath, const std::string& evenPath,
                               const std::string& imagePath);

}  // namespace qvd
