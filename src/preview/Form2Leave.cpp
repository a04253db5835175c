// Leaving the preview: saving the document, going back, closing.
#include "AtomicFile.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Form2.h"
#include "Paths.h"
#include "PreviewFiles.h"
#include "SaleFields.h"
#include "SettingsStore.h"
#include "Trap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

namespace {

constexpr int yes = 6;

const QString wordFilter = QStringLiteral("Word Files (*.doc)");
const QString pdfFilter = QStringLiteral("PDF Files (*.pdf)");

// Beside the program's own section, which holds the sale's values and nothing else.
const QString saveDialogSection = QStringLiteral("Vantorel Save Dialog");
const QString folderKey = QStringLiteral("Folder");

// A PDF is always saved under a name that says so: a name typed without the extension, or
// with another one ("deal.doc"), gets ".pdf" added, so a PDF never takes a Word file's name.
QString withPdfExtension(const QString& name) {
    if (name.isEmpty() || name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".pdf");
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// The copy is written beside the target and renamed over it only when it is complete, so a
// copy that fails (a full disk, a folder that cannot be written) leaves an existing target
// exactly as it was. A link at the target is written through: the file it names gets the
// copy, and the link stays. A file the user may not write, a FIFO or a device is refused and
// left as it is, whatever the answer to the question was.
void copyFile(const QString& from, const QString& to) {
    if (!QFileInfo::exists(from))
        throw Failure(QStringLiteral("File not found: %1").arg(from));
    refuseUnreplaceable(to);
    QString why;
    if (!files::copyFileAtomically(from, to, &why, {.mode = files::userFileMode()}))
        throw Failure(QStringLiteral("Path/File access error: %1 (%2)").arg(to, why));
}

} // namespace

Form2::Services Form2::storeServices(SettingsStore& store) {
    const QString application = QString::fromLatin1(settingsApplication);
    Services services;
    services.readSaveFolder = [&store, application] {
        return store.read(application, saveDialogSection, folderKey);
    };
    services.writeSaveFolder = [&store, application](const QString& folder) {
        store.write(application, saveDialogSection, folderKey, folder);
    };
    return services;
}

QString Form2::saveFolder() const {
    const QString kept = services.readSaveFolder ? services.readSaveFolder() : QString();
    // A folder removed or renamed since (or a hand-edited value naming none) is not offered:
    // the dialog would fall back to the program's working folder, which is rarely the user's.
    return QDir::isAbsolutePath(kept) && QFileInfo(kept).isDir() ? kept : QDir::homePath();
}

void Form2::keepSaveFolder(const QString& saved) {
    if (!services.writeSaveFolder)
        return;
    try {
        services.writeSaveFolder(QFileInfo(saved).absolutePath());
    } catch (const std::exception&) {
        // A settings file that cannot be written costs only this convenience; the file was
        // saved, and the entry window tells of the settings file's trouble itself.
    }
}

void Form2::PushButton6_Click() {
    saveResult(false);
}

void Form2::saveAsPdf() {
    saveResult(true);
}

void Form2::saveResult(bool pdfChosen) {
    Trap trap(Procedure::Form2_PushButton6_Click);
    SaveFileRequest request;
    QString target;
    int answer = 0;
    const QString& chosenFilter = pdfChosen ? pdfFilter : wordFilter;
    trap.line(106, [&] {
        request = SaveFileRequest{};
        if (services.suggestedFileName)
            request.fileName = services.suggestedFileName(filterSuffix(chosenFilter));
        request.directory = saveFolder();
    });
    trap.line(108, [&] {
        request.title =
            pdfChosen ? QStringLiteral("Save as PDF") : QStringLiteral("Save Results To Word File");
    });
    trap.line(110, [&] {
        request.filters = QStringList{wordFilter, pdfFilter};
        request.selectedFilter = chosenFilter;
    });
    std::optional<SaveFileAnswer> chosen;
    trap.line(112, [&] { chosen = dialogs().saveFileName(request); });
    bool asPdf = false;
    trap.line(114, [&] {
        target = chosen ? chosen->fileName : QString();
        asPdf = chosen && chosen->filter == pdfFilter;
        if (asPdf)
            target = withPdfExtension(target);
    });
    // A PDF over the temporary document would destroy what the preview shows and saves from:
    // refused, and the save ends as a cancelled one does.
    if (asPdf && isSameFile(target, mWordFile))
        trap.unnumbered([&] {
            const QString name = target;
            target.clear();
            showMessage(QStringLiteral("The PDF cannot be saved as %1: that is the document "
                                       "being previewed. Choose another name.")
                            .arg(name),
                        Buttons::Ok, Icon::Warning);
        });
    // The temporary document itself as the target already holds what the copy would write.
    const bool ontoItself = !target.isEmpty() && sameFile(target, mWordFile);
    if (!trap.inlineTest(116, [&] { return target.isEmpty(); })) {
        if (trap.blockTest(118, [&] { return FileExists(target); })) {
            trap.line(120, [&] {
                answer = int(showMessage(QStringLiteral("Are you sure you wish to overwrite ") +
                                             target + QStringLiteral(" ?"),
                                         Buttons::YesNo) == Answer::Yes
                                 ? yes
                                 : 0);
            });
            // The target is not deleted before the copy: the copy at line 130 replaces it in
            // one step, so a copy that fails leaves it as it was, and a forced delete would
            // take a read-only file that the copy must refuse.
            if (trap.blockTest(122, [&] { return answer == yes; }))
                trap.line(124, [] {});
        } else {
            trap.line(126, [&] { answer = yes; });
        }
    }
    // A PDF is drawn from the temporary document and replaces the target in one step, as the
    // copy does.
    if (trap.blockTest(128, [&] { return answer == yes; }))
        trap.line(130, [&] {
            if (asPdf)
                savePdfFile(mWordFile, target);
            else if (!ontoItself)
                copyFile(mWordFile, target);
            keepSaveFolder(target);
        });
    trap.line(132, [&] { showMessage(QStringLiteral("Done.")); });
}

void Form2::PushButton8_Click() {
    Trap trap(Procedure::Form2_PushButton8_Click);
    trap.line(102, [&] {
        RemoveFile(mWordFile);
        wordFileHold.release();
    });
    for (qint32 i = 1; i <= mTotalImages; ++i) { // line 104
        trap.line(106, [&] {
            if (std::size_t(i) < Image1.size())
                Image1[std::size_t(i)] = QPicture();
        });
        trap.line(108, [] {});
    }
    trap.unnumbered([&] {
        Image1.resize(1);
        ListView1->clear();
        mFirstActivate = true;
    });
    trap.line(110, [&] {
        if (services.showEntryWindow)
            services.showEntryWindow();
    });
    trap.line(112, [&] { hide(); });
}
