#include "PreviewHandOff.h"

#include "Form1.h"
#include "Form2.h"
#include "RenderPages.h"
#include "SuggestedFileName.h"
#include "Trap.h"
#include "WindowParts.h"

#include <QFile>

PreviewHandOff::PreviewHandOff(word::ApplicationFactory& engineIn, Form1& entryIn,
                               std::function<void()> end, Form2::Services saving)
    : engine(engineIn), entry(entryIn), services(std::move(saving)) {
    services.showEntryWindow = [this] { entry.show(); };
    services.endProgram = std::move(end);
    // The entry window is hidden while the preview shows, so its values are the document's.
    services.suggestedFileName = [this](const QString& extension) {
        return suggestedFileName(entry, extension);
    };
}

PreviewHandOff::~PreviewHandOff() = default;

Form2& PreviewHandOff::preview() {
    if (!form2) {
        form2 = std::make_unique<Form2>(services);
        form2->Form_Load();
    }
    return *form2;
}

void PreviewHandOff::keepDocument(files::FileHold hold) {
    if (form2 && !hold.target().isEmpty() && form2->wordFile() == hold.target())
        form2->holdWordFile(std::move(hold));
}

MotorVehicleBill::HandOff PreviewHandOff::handOff() {
    return [this](Trap& trap, const QString& path) {
        trap.line(440, [&] {
            RenderPages(
                engine, path, [this]() -> Form2& { return preview(); },
                [this](MousePointer code) { entry.setMousePointer(code); },
                [this] { return entry.closed(); });
        });
        // The entry window was closed while the pages were drawn: the program is ending, so
        // nothing more is shown, and the temporary document, which no preview will remove,
        // goes now (by its exact name).
        if (entry.closed()) {
            QFile::remove(path);
            return;
        }
        trap.line(442, [&] { entry.setMousePointer(PointerDefault); });
        if (trap.blockTest(444, [&] { return preview().pageCount() >= 1; }))
            trap.line(446, [&] { preview().showFirstPage(); });
        trap.line(448, [&] { preview().setWordFile(path); });
        // Wayland's compositor brings a window that appears to the front itself, and refuses a
        // program's request with a warning.
        trap.line(
            450, [&] { preview().show(); },
            [&] {
                if (programPlacesWindows())
                    preview().activateWindow();
            });
        trap.line(452, [&] { entry.hide(); });
    };
}
