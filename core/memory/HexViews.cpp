#include "core/memory/HexViews.h"

#include "core/form/Colors.h"
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

HexViews::HexViews(Host& host, MainForm& form, CommandExchange& link, Connection& conn,
                   TransferContext& transfer, BulkReads& bulk)
    : host_(host), form_(form), link_(link), conn_(conn), transfer_(transfer), bulk_(bulk) {}

void HexViews::ShowRange(MemoryKind kind) {
    const bool ram = kind == MemoryKind::Ram;
    Control& start = form_.rangeStartEdit;
    Control& end = form_.rangeEndEdit;
    if (start.caption.size() != 4 || end.caption.size() != 4) {
        start.SetColor(colors::Red);
        end.SetColor(colors::Red);
        return;
    }
    start.SetColor(colors::Window);
    end.SetColor(colors::Window);
    form_.EnableControls(false);
    if (link_.ExchangeCommand("d0001", 6)) {
        // The fields hold hex digits only (key filter), so they are wire bytes.
        View(kind).AddLine(RangeHeaderLine(ram, start.caption, end.caption));
        link_.ExchangeCommand("o" + start.caption, 6);
        link_.DelayWithEvents(10);
        link_.ExchangeCommand("p" + end.caption, 6);
        link_.DelayWithEvents(10);
        transfer_.idleTicks = 0;
        transfer_.receivedBytes = 0;
        transfer_.expectedBytes = 0;
        form_.LogInfo(ram ? "RAM --> PC: Teilbereich-Übertragung läuft..."
                          : "EPROM --> PC: Teilbereich-Übertragung läuft...");
        link_.DiscardInput();
        transfer_.viewLines.TakeRest();
        link_.SendCommand(ram ? "b\r" : "j\r", 10);
        conn_.state = ram ? ConnState::RamViewRead : ConnState::EpromViewRead;
        form_.activityIndicator.SetColor(colors::Red);
        // What arrived before the state was set raised no notification that
        // counted; take it now.
        bulk_.ReleaseInput();
    }
    form_.pollTimer.SetEnabled(true);
}

void HexViews::ClearView(MemoryKind kind) { View(kind).Clear(); }

void HexViews::SaveView(MemoryKind kind) {
    const bool ram = kind == MemoryKind::Ram;
    form_.pollTimer.SetEnabled(false);
    FileDialogRequest request;
    request.filter = "(*.txt)|*.txt|(*.*)|*.*";
    request.defaultName = ram ? "QVD-RAM.txt" : "QVD-EPROM.txt";
    if (const std::optional<std::string> chosen = host_.SaveFileDialog(request)) {
        const std::string& name = *chosen;
        std::vector<std::string> lines;
        lines.reserve(View(kind).lines.size());
        for (const std::string& line : View(kind).lines) lines.push_back(ToWire(line));
        if (WriteWholeFile(name, ViewFileBytes(lines))) {
            form_.LogLine(ram ? "RAM-Ansicht-Inhalt gespeichtert unter: " + name
                              : "EPROM-Ansicht-Inhalt gespeichert unter: " + name);
        } else {
            ShowBox(host_, "Datei konnte nicht gespeichert werden:\r\r" + name + "\r\r" + std::strerror(errno),
                    MessageIcon::Error);
        }
    }
    form_.pollTimer.SetEnabled(true);
}

}  // namespace qvd
