#pragma once
// A Dialogs fake for tests: records every box and file dialog and answers as the test says.
// Installs itself for its lifetime.

#include "Dialogs.h"

#include <deque>
#include <functional>
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
        std::optional<SaveChoice> choice;
        choice.swap(fileNames.front());
        fileNames.pop_front();
        if (!choice)
            return std::nullopt;
        QString filter = choice->filter;
        if (filter.isEmpty())
            filter = request.selectedFilter.isEmpty() ? request.filters.value(0)
                                                      : request.selectedFilter;
        return SaveFileAnswer{choice->fileName, filter};
    }

    // The print dialog: `printAnswer` makes the choices a user would and says whether the
    // dialog was accepted; without one it is cancelled.
    bool print(QPrinter& printer, int pageCount, QWidget*) override {
        printPageCounts.push_back(pageCount);
        return printAnswer ? printAnswer(printer) : false;
    }

    // A progress whose Cancel button `stopAt` presses: it answers false from that many steps
    // done on. Every step reported is recorded.
    std::unique_ptr<Progress> progress(const ProgressRequest& request) override {
        progressRequests.push_back(request);
        struct Scripted : Progress {
            explicit Scripted(ScriptedDialogs& owner) : dialogs(owner) {}
            bool advance(int done) override {
                dialogs.progressSteps.push_back(done);
                return !dialogs.stopAt || done < *dialogs.stopAt;
            }
            ScriptedDialogs& dialogs;
        };
        return std::make_unique<Scripted>(*this);
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
    std::function<bool(QPrinter&)> printAnswer;      // default: cancelled
    std::vector<int> printPageCounts;
    std::vector<ProgressRequest> progressRequests;
    std::vector<int> progressSteps;
    std::optional<int> stopAt; // default: never stopped
};
