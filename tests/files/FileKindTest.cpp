#include "core/files/FileKind.h"

#include "memory/ScratchDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qvd {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

TEST(FileKind, TellsWhatAChosenPathIsWithoutOpeningIt) {
    ScratchDir dir;
    fs::create_symlink(dir.Write("file", "x"), dir / "link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    ::mkfifo((dir / "fifo").c_str(), 0666);
    const std::pair<std::string, FileKind> cases[] = {
        {dir / "file", FileKind::Regular},    {dir / "link", FileKind::Regular},  {dir / "new", FileKind::Missing},
        {dir / "dangling", FileKind::Missing}, {dir / "fifo", FileKind::Special},  {dir.path(), FileKind::Special},
        {"/dev/full", FileKind::Special},      {dir / "file/x", FileKind::Special},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(KindOfFile(path), kind) << path;
}

}  // namespace
}  // namespace qvd
