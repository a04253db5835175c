#pragma once
// The real dialogs: QMessageBox and QFileDialog.

#include "Dialogs.h"

class QtDialogs : public Dialogs {
public:
    Answer message(const MessageRequest& request) override;
    void notice(const MessageRequest& request) override;
    std::optional<SaveFileAnswer> saveFileName(const SaveFileRequest& request) override;
};
