#include "ErrorReport.h"

#include "Dialogs.h"

QString errorReportText(const QString& description, const QString& procedureId, int line) {
    return description + QStringLiteral("\r\n") + procedureId + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QString::fromLatin1(supportAddress);
}

void ReportApplicationError(const QString& procedureId, int line, const QString& description) {
    dialogs().message({errorReportText(description, procedureId, line),
                       QStringLiteral("Application Error"), Buttons::Ok, Icon::Warning});
}
