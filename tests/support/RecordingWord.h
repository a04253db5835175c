#pragma once
// A recording fake of the automation interface: every operation (not the plain accessors)
// is written to a log as text, e.g. "Selection.Font.Size=16" or "Tables.Add(4,2,1,0)", and
// any operation can be made to fail.

#include "Automation.h"

#include <QStringList>
#include <functional>
#include <memory>

class RecordingWord : public word::ApplicationFactory {
public:
    RecordingWord();
    ~RecordingWord() override;

    std::shared_ptr<word::Application> CreateNew() override;
    std::shared_ptr<word::Application> GetRunning() override;
    word::Clipboard& Clipboard() override;

    QStringList log;
    // Operations for which this answers true throw word::Error after being logged.
    std::function<bool(const QString& operation)> failWhen;
    // The name a running application answers; empty: none is running.
    QString runningName;
    // How many pages BuiltInDocumentProperties(14) answers.
    int pages = 1;

    // Logs the operation, then fails when failWhen says so.
    void record(const QString& operation);

    // Log entries that start with `prefix`.
    QStringList entries(const QString& prefix) const;

    struct Objects;
    std::unique_ptr<Objects> objects;
};
