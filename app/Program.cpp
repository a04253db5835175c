#include "Program.h"

#include "IsInstalled.h"
#include "MotorVehicleBill.h"

Program::Program(word::ApplicationFactory& engineIn, Form1::Services services)
    : engine(engineIn), form1(wire(services)), handOff(engineIn, form1, services.endProgram) {}

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
    form1.Form_Load();
    return !engineMissing;
}
