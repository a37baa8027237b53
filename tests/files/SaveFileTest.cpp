#include "core/files/SaveFile.h"
#include "core/files/WholeFile.h"

#include "testkit/ScratchDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qvd {
namespace {

using test::ReadFile;
using test::ScratchDir;


TEST(SaveFile, KeepsThePreviousFileUntilTheNewOneIsWhole) {
    struct Case { const char* name; bool exists, earlierIncomplete, commit; std::string chosenAfter, keptAs; };
    const Case cases[] = {
        {"failed over a backup", true, false, false, "old", "ram.dat.unvollständig"},
        {"failed again over it", true, true, false, "old", "ram.dat.unvollständig.2"},
        {"failed to a new name", false, false, false, "new", "ram.dat"},
        {"went through", true, false, true, "new", "ram.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string chosen = dir / "ram.dat";
        if (c.exists) dir.Write("ram.dat", "old");
        if (c.earlierIncomplete) dir.Write("ram.dat.unvollständig", "earlier");
        std::optional<SaveFile> save = SaveFile::Create(chosen);
        ASSERT_TRUE(save);
        std::fputs("new", save->stream());
        const std::string kept = c.commit && save->Commit() ? save->writtenPath() : save->Abandon();
        EXPECT_EQ(kept, dir / c.keptAs);
        EXPECT_EQ(ReadFile(kept), "new");
        EXPECT_EQ(ReadFile(chosen), c.chosenAfter);
        if (c.earlierIncomplete) {
            EXPECT_EQ(ReadFile(dir / "ram.dat.unvollständig"), "earlier");
        }
        EXPECT_EQ(dir.EntryCount(), 1u + (kept != chosen) + c.earlierIncomplete);  // no temporary left over
    }
    // Replacing a FIFO or a device by a file would break it for everyone.
    ScratchDir dir;
    ::mkfifo((dir / "fifo").c_str(), 0666);
    EXPECT_FALSE(SaveFile::Create(dir / "fifo"));
    // Nor may a view or the status report wait on it for a reader.
    EXPECT_EQ(WriteWholeFile(dir / "fifo", "text"), "keine reguläre Datei");
}

}  // namespace
}  // namespace qvd
