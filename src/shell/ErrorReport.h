#pragma once
// The error report: the one way a trapped procedure tells the user that a step failed.

#include <QString>

// Where users send their screenshots of a report.
inline constexpr char supportAddress[] = "support@vantorel.app";

// The report's text: the description, CR LF, the procedure id, "at line ", the line number,
// CR CR, and the request to e-mail a screenshot.
QString errorReportText(const QString& description, const QString& procedureId, int line);

// Shows the report as a modal "Application Error" box with an OK button and the warning
// icon; returns when the user has dismissed it.
void ReportApplicationError(const QString& procedureId, int line, const QString& description);
