#include "core/memory/ViewFileOperation.h"

#include "core/form/MessageBox.h"
#include "core/memory/ViewLines.h"
#include "core/wire/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qvd {

namespace {

// Writes the whole text; errno tells why when it fails.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = writeError;
    return written && closed;
}

}  // namespace

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
    if (WriteWholeFile(name, ViewFileBytes(lines))) {
        ctx.form.LogLine(ram ? "RAM-Ansicht-Inhalt gespeichtert unter: " + name
                             : "EPROM-Ansicht-Inhalt gespeichert unter: " + name);
    } else {
        ShowBox(ctx.host, "Datei konnte nicht gespeichert werden:\r\r" + name + "\r\r" + std::strerror(errno),
                MessageIcon::Error);
    }
}

}  // namespace qvd
