#pragma once
// The real dialogs: QMessageBox, QFileDialog, QPrintDialog and QProgressDialog, each kept
// within its screen (DialogsOnScreen).

#include "Dialogs.h"

class QtDialogs : public Dialogs {
public:
    Answer message(const MessageRequest& request) override;
    void notice(const MessageRequest& request) override;
    std::optional<SaveFileAnswer> saveFileName(const SaveFileRequest& request) override;
    bool print(QPrinter& printer, int pageCount, QWidget* parent) override;
    std::unique_ptr<Progress> progress(const ProgressRequest& request) override;
};

// Makes the real dialogs the process's default (setDefaultDialogs), for the rest of its life.
void useQtDialogsByDefault();
