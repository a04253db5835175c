#include "RenderPages.h"

#include "Automation.h"
#include "Failure.h"
#include "FileHold.h"
#include "Form2.h"
#include "Paths.h"
#include "PreviewFiles.h"

#include <QFile>

QString temporaryPicturePath() {
    return temporaryFolder() + QStringLiteral("/temp.bmp");
}

namespace {

// The picture file lives only while one page passes through it, failures included. The
// path is taken when the pass starts: working it out again here could fail, and a
// destructor must not. The file is held while it lives, so that another run starting in the
// same folder does not take it for a leftover; the hold ends after the removal.
struct PictureFileGuard {
    QString path;
    files::FileHold hold{path};
    ~PictureFileGuard() { QFile::remove(path); }
};

} // namespace

void RenderPages(word::ApplicationFactory& engine, const QString& path,
                 const std::function<Form2&()>& preview,
                 const std::function<void(MousePointer)>& setEntryPointer,
                 const std::function<bool()>& stopped) {
    const std::shared_ptr<word::Application> app = engine.CreateNew();
    const std::shared_ptr<word::Document> document = app->Documents().Open(path);
    app->ActiveDocument()->Repaginate();
    const qint32 pages =
        app->ActiveDocument()->BuiltInDocumentProperties(word::wd::PropertyPages).toInt();
    qint32 i = 0, j = 0;
    bool last = false;
    while (!last) {
        setEntryPointer(PointerBusy);
        document->Range()->CopyAsPicture();
        ++i;
        word::Selection& selection = app->Selection();
        if (pages - j > 1) {
            selection.GoTo(word::wd::GoToPage, word::wd::GoToNext, 2);
            selection.HomeKey(word::wd::Story, word::wd::Extend);
            selection.Delete(word::wd::Character, 1);
        } else {
            selection.EndKey(word::wd::Story, word::wd::Extend);
            last = true;
        }
        const std::optional<QPicture> picture = GetClipboardPicture(engine.Clipboard(), 0);
        if (!picture)
            throw Failure(QStringLiteral("Invalid picture"));
        const QString text = engine.Clipboard().GetText();
        const PictureFileGuard guard{temporaryPicturePath()};
        savePictureFile(*picture, guard.path);
        Form2& form = preview();
        form.addPage(i);
        const QPicture loaded = loadPictureFile(temporaryPicturePath());
        form.setPagePicture(i, loaded);
        form.setPageText(i, text);
        RemoveFile(temporaryPicturePath()); // lets pending events run: the user may quit here
        ++j;
        if (stopped && stopped())
            break;
    }
    preview().setTotalImages(i - 1);
    app->ActiveDocument()->Close(word::wd::DoNotSaveChanges);
    app->Quit();
}
