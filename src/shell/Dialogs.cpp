#include "Dialogs.h"

#include "QtDialogs.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

Dialogs* installed = nullptr;
QString title;

} // namespace

Dialogs& dialogs() {
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void setDialogs(Dialogs* replacement) {
    installed = replacement;
}

QString applicationTitle() {
    if (!title.isEmpty())
        return title;
    return QCoreApplication::applicationName();
}

void setApplicationTitle(const QString& newTitle) {
    title = newTitle;
}

Answer showMessage(const QString& text, Buttons buttons, Icon icon, const QString& boxTitle) {
    return dialogs().message(
        {text, boxTitle.isEmpty() ? applicationTitle() : boxTitle, buttons, icon});
}

QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.([^\s);*?]+))"));
    return pattern.match(filter).captured(1);
}

std::optional<SaveFileAnswer> WindowlessDialogs::saveFileName(const SaveFileRequest&) {
    return std::nullopt;
}

bool WindowlessDialogs::print(QPrinter&, int, QWidget*) {
    return false;
}

std::unique_ptr<Progress> WindowlessDialogs::progress(const ProgressRequest&) {
    struct Unwatched : Progress {
        bool advance(int) override { return true; }
    };
    return std::make_unique<Unwatched>();
}
