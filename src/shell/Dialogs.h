#pragma once
// Every modal box, the save-file and print dialogs and the progress of printing go through this
// interface, so that tests can answer them and read what they said. The program uses QtDialogs;
// tests use a scripted fake.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning };
enum class Answer { Ok, Yes, No };

struct MessageRequest {
    QString text;
    QString title; // empty: the application title
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    QWidget* parent = nullptr; // the window the box stays above; none: the active window
};

struct SaveFileRequest {
    QString title;
    // The types offered, as Qt name filters in the order listed, e.g. "Word Files (*.doc)".
    // A name typed without an extension gets the extension of the type chosen.
    QStringList filters;
    QString selectedFilter; // the type chosen when the dialog opens; empty: the first
    QString directory;      // where the dialog opens; empty: the dialog's own choice
    QString fileName;       // the name offered in the dialog's name box; empty: none
};

struct SaveFileAnswer {
    QString fileName;
    QString filter; // the type chosen when the dialog was closed, one of the request's
};

// The extension a name filter's first pattern gives, without the dot: "doc" for
// "Word Files (*.doc)"; empty when the pattern has none.
QString filterSuffix(const QString& filter);

struct ProgressRequest {
    QString title;
    QString text;
    int total = 0;             // steps; advance() counts up to it
    QWidget* parent = nullptr; // the window kept from input while the task runs
};

// A long task's progress as the user sees it, with a way to stop it; closed when destroyed.
class Progress {
public:
    virtual ~Progress() = default;
    // Reports `done` steps done; false once the user has asked to stop.
    virtual bool advance(int done) = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal box and returns when it is dismissed. A box closed without a choice
    // answers Ok for an OK box and No for a Yes/No box.
    virtual Answer message(const MessageRequest& request) = 0;
    // Shows a box that neither blocks nor takes the keyboard focus, for news the user should
    // see without being stopped (the program goes on at once).
    virtual void notice(const MessageRequest& request) = 0;
    // Asks for a file name and type to save under; nothing when the user cancels.
    virtual std::optional<SaveFileAnswer> saveFileName(const SaveFileRequest& request) = 0;
    // Shows the print dialog for a document of `pageCount` pages; the choices made in it
    // (printer, paper, pages, output file) are left in `printer`. False when cancelled.
    virtual bool print(QPrinter& printer, int pageCount, QWidget* parent) = 0;
    // Shows the progress of a task the user may stop.
    virtual std::unique_ptr<Progress> progress(const ProgressRequest& request) = 0;
};

// The dialogs of a tool without windows: no file name is asked for, nothing prints, and a
// task's progress goes unreported and runs to its end. Boxes are the tool's own affair.
class WindowlessDialogs : public Dialogs {
public:
    std::optional<SaveFileAnswer> saveFileName(const SaveFileRequest& request) override;
    bool print(QPrinter& printer, int pageCount, QWidget* parent) override;
    std::unique_ptr<Progress> progress(const ProgressRequest& request) override;
};

// The process's dialogs: those a test or a tool has put in place, else the program's default.
Dialogs& dialogs();
// Puts `replacement` in place (nullptr restores the default). Not owned.
void setDialogs(Dialogs* replacement);
// The dialogs in place when no other is: a program with windows gives QtDialogs at its start
// (useQtDialogsByDefault). Until then a box is written to standard error and answered as one
// closed without a choice. Not owned.
void setDefaultDialogs(Dialogs* fallback);

// The application title that titles every box shown without a title of its own.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// Shows a box through dialogs(), titled with the application title unless `title` is given.
Answer showMessage(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                   const QString& title = {});
