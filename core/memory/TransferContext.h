#pragma once
// What a running bulk read keeps between its start, the received-bytes
// notifications and the supervisor ticks that end it.
#include "core/memory/ViewLines.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace qvd {

struct TransferContext {
    // While set, received bytes stay in the port's input buffer: the start
    // operation is still exchanging its commands and needs their answers.
    bool inputHold = false;
    // The running file read is an EPROM read (verified with "g0020").
    bool epromRead = false;
    int32_t idleTicks = 0;       // supervisor ticks since the last chunk
    int32_t receivedBytes = 0;   // since the transfer started
    ViewLineCutter viewLines;    // view reads: text not yet cut into lines

    std::string fileName;        // file of the running file read
    std::FILE* file = nullptr;   // open from the start to the completion
    // A write to the file failed (disk full): reported once at completion,
    // and the file is never called verified.
    bool fileWriteFailed = false;
    uint64_t expectedBytes = 0;  // for the progress bar; 0 when unknown

    // A binary read kept in memory to compare it with a file instead of
    // writing it to one.
    bool intoMemory = false;
    std::string memory;
    std::string compareFile;     // the file's bytes

    ~TransferContext() {
        if (file) std::fclose(file);
    }
};

}  // namespace qvd
