#pragma once
// Splitting a 16-bit EPROM image into its two byte halves, and joining two
// halves back. Pure file work: nothing goes to the adapter.
#include "core/form/MainForm.h"
#include "core/link/OperationRunner.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/memory/EpromSplit.h"

namespace qvd {

class EpromSplitOperations {
public:
    EpromSplitOperations(Host& host, MainForm& form, CommandExchange& exchange);

    void SplitImage(BusyLock& lock);  // "BW2-EPROM aufteilen"
    void JoinHalves(BusyLock& lock);  // "BW2-EPROM zusammenfügen"

private:
    std::optional<std::string> ChooseFile(const char* proposedName, bool save);
    void RefuseSize();
    void ReportFileError(const std::string& path);
    // The end of a split or join: its result told; `output` names the file
    // when the result names none.
    void Finish(BusyLock& lock, const EpromFileResult& result, const std::string& output);

    Host& host_;
    MainForm& form_;
    CommandExchange& exchange_;
};

}  // namespace qvd
