#include "core/memory/ViewFileOperation.h"

#include "core/files/WholeFile.h"
#include "core/form/MessageBox.h"
#include "core/memory/MemoryView.h"
#include "core/wire/Text.h"

namespace qvd {

void SaveViewToFile(OperationContext& ctx, BusyLock& lock, MemoryKind kind) {
    const bool ram = kind == MemoryKind::Ram;
    const Control& view = ram ? ctx.form.ramView : ctx.form.epromView;
    lock.HoldTimer();
    FileDialogRequest request;
    request.filter = "(*.txt)|*.txt|(*.*)|*.*";
    request.defaultName = ram ? "QVD-RAM.txt" : "QVD-EPROM.txt";
    const std::optional<std::string> chosen = ctx.host.SaveFileDialog(request);
    if (!chosen) return;
    const std::string& name = *chosen;
    std::vector<std::string> lines;
    lines.reserve(view.lines.size());
    for (const std::string& line : view.lines) lines.push_back(ToWire(line));
    if (const std::optional<std::string> error = WriteWholeFile(name, ViewFileBytes(lines)))
        ShowBox(ctx.host, "Datei konnte nicht gespeichert werden:\r\r" + name + "\r\r" + *error, MessageIcon::Error);
    else
        ctx.form.LogLine(ram ? "RAM-Ansicht-Inhalt gespeichtert unter: " + name
                             : "EPROM-Ansicht-Inhalt gespeichert unter: " + name);
}

}  // namespace qvd
