#include "IsInstalled.h"

#include "Automation.h"
#include "Dialogs.h"

namespace IsInstalled {

QString wordMissingMessage() {
    const QString parts[] = {
        QStringLiteral("Error 842001. A normal instance of Word could not be created."),
        QStringLiteral("1. Please make sure Word is installed on this computer."),
        QStringLiteral("2. Please open Word normally and make sure a blank document opens "
                       "immediately without any interrupting window (such as an Word file "
                       "recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file "
                       "that Word opens normally without any interrupting messages."),
        QStringLiteral("4. All versions of Word are supported by this software except for the "
                       "rare Word Starter and Student editions."),
    };
    QString message;
    for (const QString& part : parts) {
        if (!message.isEmpty())
            message += QStringLiteral("\r\n\r\n");
        message += part;
    }
    return message;
}

bool CheckWordInstalled(word::ApplicationFactory& word, const std::function<void()>& endProgram) {
    std::shared_ptr<word::Application> app;
    try {
        app = word.CreateNew();
    } catch (...) {
        // A failure to create is the same as no application.
    }
    if (!app) {
        showMessage(wordMissingMessage(), Buttons::Ok, Icon::None);
        endProgram();
        return false;
    }
    try {
        app->Quit();
    } catch (...) {
        // One that cannot quit still proves it can be created.
    }
    return true;
}

} // namespace IsInstalled
