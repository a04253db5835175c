#include "Program.h"

#include "ClosingSignals.h"
#include "Form2.h"
#include "IsInstalled.h"
#include "MotorVehicleBill.h"

#include <QCoreApplication>

Program::Program(word::ApplicationFactory& engineIn, Form1::Services services,
                 Form2::Services saving)
    : engine(engineIn), form1(wire(services)),
      handOff(engineIn, form1, services.endProgram, std::move(saving)) {}

Program::~Program() = default;

Form1::Services Program::wire(Form1::Services services) {
    services.checkWordInstalled = [this] {
        IsInstalled::CheckWordInstalled(engine, [this] { engineMissing = true; });
    };
    services.generate = [this](const SaleRecordSource& record) {
        MotorVehicleBill::Generation made =
            MotorVehicleBill::GenerateMotorVehicle(engine, record, handOff.handOff());
        handOff.keepDocument(std::move(made.hold));
    };
    return services;
}

bool Program::start() {
    removeTemporaryLeftovers();
    closingSignals =
        std::make_unique<ClosingSignals>([this](int number) { closeOnSignal(number); });
    form1.Form_Load();
    return !engineMissing;
}

void Program::closeOnSignal(int number) {
    // The preview's close removes its document; the entry window's, during a generation,
    // has the generation remove the document it was making.
    if (handOff.previewLoaded() && handOff.preview().isVisible())
        handOff.preview().close();
    else
        form1.close();
    QCoreApplication::exit(128 + number);
}
