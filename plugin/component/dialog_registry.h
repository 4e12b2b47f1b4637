// Which dialog Show opens for a category index: at most one live dialog
// per index, created through a factory the dialog units register.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace honora {

// What Show needs of a category dialog.
class ModelessDialog {
public:
    virtual ~ModelessDialog() = default;
    // Loads the dialog when it is not open, else brings it to the front.
    virtual void ShowModeless() = 0;
    // False once the dialog has unloaded itself; Show then creates it anew.
    virtual bool IsOpen() const = 0;
};

using DialogFactory = std::function<std::shared_ptr<ModelessDialog>()>;

// Indexes 0..4; any other index is ignored.
void RegisterDialog(int16_t index, DialogFactory factory);
void UnregisterDialogs();

// Whether a dialog unit has registered a factory for the index.
bool HasDialog(int16_t index);

// What the index stands for, registered or not: "frmKat5, Grenzfeststellung
// nach Nr. 30.6" for 0; nullptr outside 0..4.
const char* CategoryName(int16_t index);

// Shows the dialog for the index; false when none is registered for it.
bool OpenDialog(int16_t index);

}  // namespace honora
