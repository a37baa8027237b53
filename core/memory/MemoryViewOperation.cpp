#include "core/memory/MemoryViewOperation.h"

#include "core/form/Colors.h"
#include "core/wire/ModuleProfile.h"
#include "core/wire/Text.h"

#include <algorithm>

namespace qvd {

namespace {

std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

}  // namespace

Control& MemoryViewOperation::View() { return kind_ == MemoryKind::Ram ? form().ramView : form().epromView; }

uint64_t MemoryViewOperation::MemoryCells() const {
    const ModuleProfile* profile = FindProfile(ctx_.conn().moduleType());
    if (!profile || profile->cellDigits < 2) return 0;
    return ImageSize(profile->type, kind_) / static_cast<uint64_t>(profile->cellDigits / 2);
}

void MemoryViewOperation::Start(BusyLock& lock) {
    if (extent_ == Extent::Whole)
        StartWhole(lock);
    else
        StartRange(lock);
}

void MemoryViewOperation::StartWhole(BusyLock& lock) {
    const bool ram = kind_ == MemoryKind::Ram;
    lock.TakeControls();
    if (!exchange().ExchangeCommand("d0001", 6)) {
        lock.Report(Outcome::AdapterLost);
        return;
    }
    BeginStream(ram ? TransferKind::RamView : TransferKind::EpromView, 0);  // the text form's length is the adapter's
    View().Clear();
    if (const uint64_t cells = MemoryCells()) check_.emplace(0, cells);
    form().LogInfo(ram ? "RAM --> PC: Gesamtinhalt-Übertragung läuft..."
                       : "EPROM --> PC: Gesamtinhalt-Übertragung läuft...");
    exchange().DiscardInput();
    if (ram) exchange().DelayWithEvents(100);
    exchange().SendCommand(ram ? "a\r" : "h\r", 10);
    form().activityIndicator.SetColor(colors::Red);
    ShowProgress();
}

void MemoryViewOperation::StartRange(BusyLock& lock) {
    const bool ram = kind_ == MemoryKind::Ram;
    Control& start = form().rangeStartEdit;
    Control& end = form().rangeEndEdit;
    if (start.caption.size() != 4 || end.caption.size() != 4) {
        start.SetColor(colors::Red);
        end.SetColor(colors::Red);
        lock.Report(Outcome::BadInput);
        return;
    }
    start.SetColor(colors::Window);
    end.SetColor(colors::Window);
    lock.TakeControls();
    if (!exchange().ExchangeCommand("d0001", 6)) {
        lock.Report(Outcome::AdapterLost);
        return;
    }
    // The fields hold hex digits only (key filter), so they are wire bytes.
    View().AddLine(RangeHeaderLine(ram, start.caption, end.caption));
    exchange().ExchangeCommand("o" + start.caption, 6);
    exchange().DelayWithEvents(10);
    exchange().ExchangeCommand("p" + end.caption, 6);
    exchange().DelayWithEvents(10);
    const std::optional<uint64_t> first = RangeFieldCells(start.caption), last = RangeFieldCells(end.caption);
    // The adapter stops at the end of the memory.
    const uint64_t cells = MemoryCells();
    if (first && last) check_.emplace(*first, cells ? std::min(*last, cells) : *last);
    form().LogInfo(ram ? "RAM --> PC: Teilbereich-Übertragung läuft..."
                       : "EPROM --> PC: Teilbereich-Übertragung läuft...");
    exchange().DiscardInput();
    exchange().SendCommand(ram ? "b\r" : "j\r", 10);
    BeginStream(ram ? TransferKind::RamView : TransferKind::EpromView, 0);
    form().activityIndicator.SetColor(colors::Red);
}

void MemoryViewOperation::Take(const std::string& chunk) {
    std::vector<std::string> lines = lines_.Append(chunk);
    for (std::string& line : lines) {
        if (check_) check_->Line(line);
        line = FromWire(WithoutLineEnd(std::move(line)));
    }
    View().AddLines(std::move(lines));
    form().bytesPanel.SetCaption("RX-Bytes: " + std::to_string(receivedBytes_));
}

void MemoryViewOperation::End(BusyLock&) {
    ctx_.runner.EndTransfer();
    form().activityIndicator.SetColor(colors::Navy);
    // A last line without its carriage return is still part of the dump.
    const std::string rest = lines_.TakeRest();
    if (!rest.empty()) {
        View().AddLine(FromWire(WithoutLineEnd(rest)));
        if (check_) check_->Rest(rest);
    }
    form().progressBar.SetVisible(false);
    const std::string count = std::to_string(receivedBytes_);
    ctx_.runner.Figure("bytes", count);
    if (exchange().PortLost()) {
        ctx_.runner.Report(Outcome::AdapterLost);
        form().LogInfo("Übertragung abgebrochen: keine Verbindung zum QVD-Modul. Gesamtbyte:" + count);
        return;
    }
    // The lines that came stay in the view either way.
    switch (check_ ? check_->Judge() : DumpCheck::Verdict::Whole) {
        case DumpCheck::Verdict::Whole:
            form().LogLine("Übertragung erfolgreich beendet. Gesamtbyte:" + count);
            ctx_.runner.Report(Outcome::Succeeded);
            break;
        case DumpCheck::Verdict::Incomplete:
            form().LogError("Übertragung NICHT vollständig. Gesamtbyte:" + count);
            ctx_.runner.Report(Outcome::DataDiffer);
            break;
        case DumpCheck::Verdict::OtherAddresses:
            form().LogError("Übertragung NICHT korrekt: Adressen abweichend vom angeforderten Bereich. Gesamtbyte:" +
                            count);
            ctx_.runner.Report(Outcome::DataDiffer);
            break;
    }
    exchange().ExchangeCommand("d0000", 6);
}

}  // namespace qvd
