#pragma once
// One RAM cell: the address arrows, the value's character label, reading
// the cell and writing it with a read-back check.
#include "core/form/MainForm.h"
#include "core/link/OperationRunner.h"
#include "core/link/CommandExchange.h"
#include "core/link/Connection.h"

namespace qvd {

class CellAccessOperations {
public:
    CellAccessOperations(MainForm& form, CommandExchange& exchange, const Connection& conn);

    // Wires the arrows, the value field's change and the key filters.
    void Attach();

    void StepAddress(int step);  // the arrows: +1 up, -1 down
    void ShowValueCharacters();  // the value field changed
    void ReadCell(BusyLock& lock);             // "Wert lesen"
    void WriteCell(BusyLock& lock);            // "Wert setzen"

private:
    // False (and the address field red) unless it holds six hex digits.
    bool CheckAddress();
    // "o00" + high part, "p" + low part.
    void SendAddress();
    // "c" with the answer length of the module's cell form.
    std::string ReadAnswer();
    void ShowReading(const std::string& answer);

    MainForm& form_;
    CommandExchange& exchange_;
    const Connection& conn_;
};

}  // namespace qvd
