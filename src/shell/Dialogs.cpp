#include "Dialogs.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>

namespace {

// What a box says before the program has given its dialogs is not lost.
class StandardErrorDialogs final : public WindowlessDialogs {
public:
    Answer message(const MessageRequest& request) override {
        notice(request);
        return request.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    void notice(const MessageRequest& request) override {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.title),
                     qUtf8Printable(request.text));
    }
};

Dialogs* installed = nullptr;
Dialogs* byDefault = nullptr;
QString title;

} // namespace

Dialogs& dialogs() {
    static StandardErrorDialogs standardError;
    if (installed)
        return *installed;
    return byDefault ? *byDefault : standardError;
}

void setDefaultDialogs(Dialogs* fallback) {
    byDefault = fallback;
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
