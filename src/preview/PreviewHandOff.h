#pragma once
// The hand-off from the document script to the preview, and the preview's life: loaded at
// its first reference, kept (hidden) between previews.

#include "Form2.h"
#include "MotorVehicleBill.h"

#include <functional>
#include <memory>

class Form1;

namespace word {
class ApplicationFactory;
}

class PreviewHandOff {
public:
    // The preview's services are `saving`'s, but for those the hand-off gives: "< Back" shows
    // `entry`, whose values name the file the save dialog suggests.
    PreviewHandOff(word::ApplicationFactory& engine, Form1& entry, std::function<void()> endProgram,
                   Form2::Services saving = {});
    ~PreviewHandOff();

    // Lines 440 to 452 of the script: render the pages, show the preview, hide the entry window.
    MotorVehicleBill::HandOff handOff();

    // Gives the preview the hold of the document it now shows, which it keeps until it
    // removes the document; a hold of any other document is let go.
    void keepDocument(files::FileHold hold);

    // The preview window, loaded (and its load handler run) at the first call.
    Form2& preview();
    bool previewLoaded() const { return form2 != nullptr; }

private:
    word::ApplicationFactory& engine;
    Form1& entry;
    Form2::Services services;
    std::unique_ptr<Form2> form2;
};
