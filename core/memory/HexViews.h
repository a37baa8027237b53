#pragma once
// The RAM and EPROM views: range reads, clearing, and saving a view as a
// text file. The whole-memory reads and the receiving are the bulk reads'.
#include "core/form/MainForm.h"
#include "core/host/Host.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"
#include "core/memory/BulkReads.h"
#include "core/memory/TransferContext.h"

namespace qvd {

class HexViews {
public:
    HexViews(Host& host, MainForm& form, CommandExchange& link, Connection& conn,
             TransferContext& transfer, BulkReads& bulk);

    // "RAM-Inhalt Teilbereich" and "EPROM-Inhalt Teilbereich".
    void ShowRange(MemoryKind kind);
    // "RAM-Anzeige löschen" / "EPROM-Anzeige löschen".
    void ClearView(MemoryKind kind);
    // "RAM-Anzeige speichern" / "EPROM-Anzeige speichern".
    void SaveView(MemoryKind kind);

private:
    Control& View(MemoryKind kind) { return kind == MemoryKind::Ram ? form_.ramView : form_.epromView; }

    Host& host_;
    MainForm& form_;
    CommandExchange& link_;
    Connection& conn_;
    TransferContext& transfer_;
    BulkReads& bulk_;
};

}  // namespace qvd
