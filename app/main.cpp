// Vantorel: the entry window, the document engine behind it, and the wiring between them.
#include "EngineApplicationFactory.h"
#include "Form1.h"
#include "IsInstalled.h"
#include "MotorVehicleBill.h"
#include "PreviewHandOff.h"

#include <QApplication>
#include <QTimer>

namespace {

class QuitOnFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    wordengine::EngineApplicationFactory engine;

    bool engineMissing = false;
    Form1::Services services = Form1::storeServices();
    services.checkWordInstalled = [&] {
        IsInstalled::CheckWordInstalled(engine, [&] { engineMissing = true; });
    };
    PreviewHandOff* preview = nullptr;
    services.generate = [&](const SaleRecordSource& record) {
        MotorVehicleBill::GenerateMotorVehicle(engine, record, preview->handOff());
    };

    Form1 form(services);
    PreviewHandOff handOff(engine, form, [] { QCoreApplication::exit(0); });
    preview = &handOff;
    form.Form_Load();
    if (engineMissing)
        return 1; // the check has told the user; the window is never shown
    form.show();

    // For start-up measurements: leave as soon as the window has been painted once.
    QuitOnFirstPaint quitOnPaint;
    if (qEnvironmentVariableIsSet("VANTOREL_EXIT_WHEN_SHOWN"))
        form.installEventFilter(&quitOnPaint);
    return app.exec();
}
