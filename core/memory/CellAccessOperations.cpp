#include "core/memory/CellAccessOperations.h"

#include "core/form/Colors.h"
#include "core/memory/CellAccess.h"
#include "core/wire/Text.h"

namespace qvd {

namespace {

constexpr uint32_t kCommandPause = 10;

uint16_t CellAnswerLength(uint8_t moduleType) { return CellDigitsOf(moduleType) == 4 ? 15 : 12; }

}  // namespace

CellAccessOperations::CellAccessOperations(MainForm& form, CommandExchange& exchange, const Connection& conn)
    : form_(form), exchange_(exchange), conn_(conn) {}

void CellAccessOperations::Attach() {
    form_.cellAddressArrows.OnStep = [this](int step) { StepAddress(step); };
    form_.cellValueEdit.OnChange = [this] { ShowValueCharacters(); };
    for (Control* edit : {&form_.rangeStartEdit, &form_.rangeEndEdit, &form_.cellAddressEdit,
                          &form_.cellValueEdit})
        edit->OnKeyPress = [](char& key) { key = FilterHexKey(key); };
}

void CellAccessOperations::StepAddress(int step) {
    const std::optional<std::string> next =
        StepCellAddress(form_.cellAddressEdit.caption, step, conn_.moduleType());
    if (!next) {  // no hex number to step from
        form_.cellAddressEdit.SetColor(colors::Red);
        return;
    }
    form_.cellAddressEdit.SetText(*next);
}

void CellAccessOperations::ShowValueCharacters() {
    Control& value = form_.cellValueEdit;
    if (value.caption.empty()) return;
    const std::string upper = CellValueFieldText(value.caption);
    if (upper != value.caption) {
        value.SetText(upper);  // runs this handler again with the upper-case text
        return;
    }
    if (const std::optional<std::string> label = CellValueLabel(upper, conn_.moduleType()))
        form_.cellCharsLabel.SetCaption(FromWire(*label));
}

bool CellAccessOperations::CheckAddress() {
    if (!CellAddressValid(form_.cellAddressEdit.caption)) {
        form_.cellAddressEdit.SetColor(colors::Red);
        return false;
    }
    form_.cellAddressEdit.SetColor(colors::Window);
    return true;
}

void CellAccessOperations::SendAddress() {
    exchange_.ExchangeCommand(CellAddressHighCommand(form_.cellAddressEdit.caption), 6);
    exchange_.DelayWithEvents(kCommandPause);
    exchange_.ExchangeCommand(CellAddressLowCommand(form_.cellAddressEdit.caption), 6);
    exchange_.DelayWithEvents(kCommandPause);
}

std::string CellAccessOperations::ReadAnswer() {
    exchange_.ExchangeCommand("c", CellAnswerLength(conn_.moduleType()));
    const std::string answer = exchange_.LastAnswer();
    exchange_.DelayWithEvents(kCommandPause);
    return answer;
}

void CellAccessOperations::ShowReading(const std::string& answer) {
    const CellReading reading = DecodeCellAnswer(answer, conn_.moduleType());
    form_.cellValueEdit.SetText(FromWire(reading.value));
    form_.cellCharsLabel.SetCaption(FromWire(reading.characters));
}

void CellAccessOperations::ReadCell(BusyLock& lock) {
    if (!CheckAddress()) {
        lock.Report(Outcome::BadInput);
        return;
    }
    lock.TakeControls();
    if (exchange_.ExchangeCommand("d0001", 6)) {
        SendAddress();
        const std::string answer = ReadAnswer();
        // Another cell's value must not stand in the field as this one's
        // (the adapter missed the address); a failed "c" still empties it.
        if (answer != "---" && !CellAnswerAddressMatches(answer, form_.cellAddressEdit.caption)) {
            form_.LogError("RAM-Zelle FEHLER: " + FromWire(answer));
            lock.Report(Outcome::DataDiffer);
        } else {
            form_.LogLine("RAM-Zelle ausgelesen: " + FromWire(answer));
            ShowReading(answer);
            lock.Report(answer == "---" ? Outcome::AdapterLost : Outcome::Succeeded);
        }
        exchange_.ExchangeCommand("d0000", 6);
        exchange_.DelayWithEvents(kCommandPause);
        form_.cellValueEdit.SetColor(colors::Olive);
        form_.cellCharsLabel.SetFontColor(colors::Olive);
    } else {
        lock.Report(Outcome::AdapterLost);
    }
}

void CellAccessOperations::WriteCell(BusyLock& lock) {
    if (!CheckAddress()) {
        lock.Report(Outcome::BadInput);
        return;
    }
    Control& value = form_.cellValueEdit;
    // Only a whole value of the cell's width goes out: "12" written to a word
    // cell would be taken as something else by the adapter.
    if (!CellValueValid(value.caption, conn_.moduleType())) {
        value.SetColor(colors::Red);
        lock.Report(Outcome::BadInput);
        return;
    }
    value.SetColor(colors::Olive);
    lock.TakeControls();
    SendAddress();
    exchange_.ExchangeCommand(CellWriteCommand(value.caption, conn_.moduleType()), 6);
    exchange_.DelayWithEvents(kCommandPause);
    form_.LogLine("RAM-Zelle beschrieben: " + form_.cellAddressEdit.caption + " " + value.caption);
    if (exchange_.ExchangeCommand("d0001", 6)) {
        const std::string answer = ReadAnswer();
        // The value alone would call another cell's overwriting a success.
        if (CellAnswerAddressMatches(answer, form_.cellAddressEdit.caption) &&
            CellReadBackMatches(answer, value.caption, conn_.moduleType())) {
            form_.LogLine("RAM-Zelle OK ");
            ShowReading(answer);
            value.SetColor(colors::Red);
            form_.cellCharsLabel.SetFontColor(colors::Green);
            lock.Report(Outcome::Succeeded);
        } else {
            form_.LogError("RAM-Zelle FEHLER: " + FromWire(answer));
            lock.Report(answer == "---" ? Outcome::AdapterLost : Outcome::DataDiffer);
        }
        exchange_.ExchangeCommand("d0000", 6);
        exchange_.DelayWithEvents(kCommandPause);
    } else {
        lock.Report(Outcome::AdapterLost);
    }
}

}  // namespace qvd
