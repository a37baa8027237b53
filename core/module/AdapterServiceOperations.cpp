#include "core/module/AdapterServiceOperations.h"

#include "core/module/AdapterInfo.h"
#include "core/wire/AnswerFields.h"
#include "core/wire/Text.h"

namespace qvd {

AdapterServiceOperations::AdapterServiceOperations(MainForm& form, CommandExchange& exchange, OperationRunner& runner)
    : form_(form), exchange_(exchange), runner_(runner) {}

void AdapterServiceOperations::TakeModuleTypeFromStatus() {
    const bool answered = exchange_.ExchangeCommand("r", 18);
    const std::string digit = CharAt(exchange_.LastAnswer(), 3);
    if (answered && !digit.empty() && digit[0] >= '0' && digit[0] <= '9') {
        runner_.ModuleTypeRead(static_cast<uint8_t>(digit[0] - '0'));
        return;
    }
    form_.LogError("FEHLER: Modultyp konnte nicht gelesen werden (" + FromWire(exchange_.LastAnswer()) + ").");
}

void AdapterServiceOperations::SwitchAdpModule(BusyLock& lock) {
    lock.TakeControls();
    if (form_.extraFunctionsCheck.checked) {
        form_.extraFunctionsCheck.SetChecked(false);
        form_.ApplyExtraFunctions(runner_.connection().moduleType());
    }
    if (form_.adpSwitchCheck.checked) {
        form_.adpClockGroup.SetVisible(true);
        form_.memoryGroup.SetVisible(false);  // no memory transfers with the adp module
        form_.ramGroup.SetVisible(false);
        form_.compareRamItem.SetVisible(false);  // compared as a RAM save reads: not here
        form_.LogInfo("adp Datum Funktionen verfügbar.");
        exchange_.ExchangeCommand("a0001", 6);
        TakeModuleTypeFromStatus();
        form_.moduleNamePanel.SetCaption("adp Modul");
        form_.LogLine("adp-Modul angeschlossen");
        if (readAdpClock) readAdpClock();
    } else {
        exchange_.ExchangeCommand("a0000", 6);
        TakeModuleTypeFromStatus();
        form_.moduleNamePanel.SetCaption("NSM Adapter");
        form_.LogLine("adp-Modul Funktion deaktiviert");
        form_.adpClockGroup.SetVisible(false);
        form_.memoryGroup.SetVisible(true);
        form_.ramGroup.SetVisible(true);
        form_.compareRamItem.SetVisible(true);
    }
}

void AdapterServiceOperations::ClearAdapterErrors(BusyLock& lock) {
    lock.TakeControls();
    if (exchange_.ExchangeCommand("yRbWk", 6))
        form_.LogInfo("Fehlermeldungen im QVD-Modul gelöscht.");
    else
        form_.LogInfo("Fehlermeldungen im QVD-Modul konnte NICHT gelöscht werden.");
    exchange_.DelayWithEvents(1000);
    exchange_.ExchangeCommand("x", 80);
    for (const std::string& line : ErrorMemoryLines(exchange_.LastAnswer())) form_.infoMemo.AddLine(line);
}

void AdapterServiceOperations::ResetAdapter() {
    runner_.Dropped();
    form_.LogInfo("QVD-Modul-RESET wurde ausgeführt");
    exchange_.ExchangeCommand("z0001", 6);
    form_.ShowConnectionDropped();
    exchange_.ClosePort();
}

}  // namespace qvd
