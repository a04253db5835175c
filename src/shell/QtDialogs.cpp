#include "QtDialogs.h"

#include "DialogsOnScreen.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

namespace {

QWidget* parentFor(const MessageRequest& request) {
    return request.parent ? request.parent : QApplication::activeWindow();
}

} // namespace

Answer QtDialogs::message(const MessageRequest& request) {
    DialogsOnScreen::keep();
    QMessageBox box(request.icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    request.title, request.text,
                    request.buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                      : QMessageBox::Ok,
                    parentFor(request));
    box.setTextFormat(Qt::PlainText);
    if (request.buttons == Buttons::YesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    if (request.buttons == Buttons::Ok)
        return Answer::Ok;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtDialogs::notice(const MessageRequest& request) {
    DialogsOnScreen::keep();
    auto* box = new QMessageBox(request.icon == Icon::Warning ? QMessageBox::Warning
                                                              : QMessageBox::Information,
                                request.title, request.text, QMessageBox::Ok, parentFor(request));
    box->setTextFormat(Qt::PlainText);
    box->setModal(false);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating); // typing goes on in the window behind
    box->show();
}

std::optional<SaveFileAnswer> QtDialogs::saveFileName(const SaveFileRequest& request) {
    DialogsOnScreen::keep();
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    const QString chosen =
        request.selectedFilter.isEmpty() ? request.filters.value(0) : request.selectedFilter;
    dialog.selectNameFilter(chosen);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // The extension follows the type chosen; a name that has one keeps it ("deal.pdf" stays).
    // Qt's own dialog also changes a typed extension when the type changes; a native one may
    // only use the default suffix, so that follows the type too.
    dialog.setDefaultSuffix(filterSuffix(chosen));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    // The program asks its own question before it overwrites a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveFileAnswer{dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
}

bool QtDialogs::print(QPrinter& printer, int pageCount, QWidget* parent) {
    DialogsOnScreen::keep();
    QPrintDialog dialog(&printer, parent ? parent : QApplication::activeWindow());
    dialog.setMinMax(1, pageCount);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// Shown only when the task takes long enough to be worth watching. Window-modal: its own
// events run while the task goes on, but the window behind takes no input meanwhile.
class QtProgress : public Progress {
public:
    explicit QtProgress(const ProgressRequest& request)
        : dialog(request.text, QStringLiteral("Cancel"), 0, request.total,
                 request.parent ? request.parent : QApplication::activeWindow()) {
        dialog.setWindowTitle(request.title);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(500);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
    }
    bool advance(int done) override {
        dialog.setValue(done);
        return !dialog.wasCanceled();
    }

private:
    QProgressDialog dialog;
};

} // namespace

std::unique_ptr<Progress> QtDialogs::progress(const ProgressRequest& request) {
    DialogsOnScreen::keep();
    return std::make_unique<QtProgress>(request);
}

void useQtDialogsByDefault() {
    static QtDialogs real;
    setDefaultDialogs(&real);
}
