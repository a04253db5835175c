#pragma once
// A Dialogs fake for tests: records every box and file dialog and answers as the test says.
// Installs itself for its lifetime.

#include "Dialogs.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    Answer message(const MessageRequest& request) override {
        messages.push_back(request);
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return request.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }

    void notice(const MessageRequest& request) override { notices.push_back(request); }

    // An answer to the save dialog: a name as returned, and the type chosen; no type: the one
    // chosen when the dialog opened.
    struct SaveChoice {
        SaveChoice(QString name, QString type = {})
            : fileName(std::move(name)), filter(std::move(type)) {}
        QString fileName;
        QString filter;
    };

    std::optional<SaveFileAnswer> saveFileName(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        if (fileNames.empty())
            return std::nullopt;
        const std::optional<SaveChoice> choice = fileNames.front();
        fileNames.pop_front();
        if (!choice)
            return std::nullopt;
        QString filter = choice->filter;
        if (filter.isEmpty())
            filter = request.selectedFilter.isEmpty() ? request.filters.value(0)
                                                      : request.selectedFilter;
        return SaveFileAnswer{choice->fileName, filter};
    }

    std::vector<QString> texts() const {
        std::vector<QString> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }

    std::vector<MessageRequest> messages;
    std::deque<Answer> answers; // for Yes/No boxes; default Yes
    std::vector<MessageRequest> notices;
    std::vector<SaveFileRequest> saveRequests;
    std::deque<std::optional<SaveChoice>> fileNames; // default: cancelled
};
