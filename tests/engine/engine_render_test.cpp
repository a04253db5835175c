// The page renderer's use of the engine, as the program makes it: open the saved document in a
// second application, repaginate, then copy the whole range, go to the next page, extend back to
// the start and delete, until one page is left. Each copy must be that page's picture.
#include "Engine.h"
#include "EngineDocument.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace wordengine;

namespace {

QByteArray digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Pictures are compared by what they draw: their recordings may differ in ways nobody sees.
QImage raster(const QPicture& picture) {
    const QRect box = picture.boundingRect();
    if (box.isEmpty())
        return {};
    const double scale = 600.0 / box.width();
    QImage image(600, int(box.height() * scale) + 1, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-box.topLeft());
    painter.drawPicture(0, 0, picture);
    return image;
}

int pageCount(word::Document& document) {
    return document.BuiltInDocumentProperties(word::wd::PropertyPages).toInt();
}

// Types paragraphs, with a table of six rows now and then, until the document has `pages`
// pages. Answers the pages reached (fewer if the layout never gets there).
int fill(word::Application& app, word::Document& document, int pages) {
    word::Selection& s = document.ActiveWindow().Selection();
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog. ");
    for (int unit = 0; unit < 4000; ++unit) {
        if (unit % 7 == 3) {
            document.Tables().Add(*s.Range(), 6, 2, word::wd::Word9TableBehavior,
                                  word::wd::AutoFitFixed);
            for (int cell = 0; cell < 12; ++cell) {
                s.TypeText(QStringLiteral("cell %1").arg(cell));
                s.MoveRight(word::wd::Character, cell % 2 == 0 ? 1 : 2);
            }
        } else {
            s.Font().SetBold(unit % 3 == 0);
            s.TypeText(sentence.repeated(1 + unit % 6));
        }
        // Stop before the next unit would start another page.
        if (pageCount(document) >= pages)
            break;
        s.TypeParagraph();
    }
    (void)app;
    return pageCount(document);
}

struct Rendered {
    int passes = 0;
    std::vector<QPicture> pictures;
};

// The renderer's loop, statement for statement.
Rendered render(word::ApplicationFactory& factory, const QString& path) {
    Rendered out;
    auto app = factory.CreateNew();
    auto opened = app->Documents().Open(path);
    app->ActiveDocument()->Repaginate();
    const int n = app->ActiveDocument()->BuiltInDocumentProperties(14).toInt();
    for (int j = 0;; ++j) {
        opened->Range()->CopyAsPicture();
        ++out.passes;
        const bool last = n - j <= 1;
        if (!last) {
            app->Selection().GoTo(word::wd::GoToPage, word::wd::GoToNext, 2);
            app->Selection().HomeKey(word::wd::Story, word::wd::Extend);
            app->Selection().Delete(word::wd::Character, 1);
        } else {
            app->Selection().EndKey(word::wd::Story, word::wd::Extend);
        }
        out.pictures.push_back(factory.Clipboard().GetData(0));
        if (last)
            break;
    }
    app->ActiveDocument()->Close(word::wd::DoNotSaveChanges);
    app->Quit();
    return out;
}

} // namespace

TEST(EngineRender, EveryPageIsCopiedOnceAndTheFileStaysAsItWas) {
    for (const int pages : {1, 3, 20}) {
        QTemporaryDir folder;
        EngineApplicationFactory factory(folder.path());
        auto writer = factory.CreateNew();
        auto document = writer->Documents().Add();
        const int reached = fill(*writer, *document, pages);
        if (reached < pages)
            GTEST_SKIP() << "the layout does not break pages yet";
        const QString path = folder.filePath("wendlo12345678.doc");
        document->SaveAs(path);
        writer->SetDisplayAlerts(false);
        document->Close();
        writer->Quit();
        const QByteArray before = digestOf(path);

        // What each page looks like, from a copy of the document as it is read back.
        auto reader = factory.CreateNew();
        const Document model =
            dynamic_cast<EngineDocument&>(*reader->Documents().Open(path)).model();
        reader->Quit();
        const int n = paginate(model).pageCount();
        EXPECT_EQ(n, reached) << "the page count survives the file";

        const Rendered rendered = render(factory, path);
        EXPECT_EQ(rendered.passes, n) << pages << " pages";
        ASSERT_EQ(int(rendered.pictures.size()), n);
        for (int k = 0; k < n; ++k) {
            const QImage shown = raster(rendered.pictures[size_t(k)]);
            EXPECT_TRUE(shown == raster(pagePicture(model, k))) << "page " << k + 1 << " of " << n;
            if (k > 0) {
                EXPECT_FALSE(shown == raster(rendered.pictures[size_t(k) - 1])) << k + 1;
            }
        }
        EXPECT_EQ(digestOf(path), before);
    }
}

TEST(EngineRender, GoToMovesByPagesOfTheCurrentLayout) {
    QTemporaryDir folder;
    EngineApplicationFactory factory(folder.path());
    auto app = factory.CreateNew();
    auto document = app->Documents().Add();
    if (fill(*app, *document, 3) < 3)
        GTEST_SKIP() << "the layout does not break pages yet";
    auto& engineDocument = dynamic_cast<EngineDocument&>(*document);
    const Pagination pages = paginate(engineDocument.model());
    word::Selection& s = document->ActiveWindow().Selection();
    auto at = [&] { return dynamic_cast<EngineSelection&>(s).active(); };

    s.HomeKey(word::wd::Story, word::wd::Move);
    s.GoTo(word::wd::GoToPage, word::wd::GoToNext, 2);
    EXPECT_EQ(at(), pages.pageStarts[1]);
    s.GoTo(word::wd::GoToPage, word::wd::GoToNext, QVariant());
    EXPECT_EQ(at(), pages.pageStarts[2]);
    s.GoTo(word::wd::GoToPage, word::wd::GoToNext, 2);
    EXPECT_EQ(at(), pages.pageStarts.back()) << "the last page's start when there is no next";
    s.GoTo(word::wd::GoToPage, 3, 2); // previous
    EXPECT_EQ(at(), pages.pageStarts[size_t(pages.pageCount()) - 2]);
    s.GoTo(word::wd::GoToPage, 1, 2); // first
    EXPECT_EQ(at(), pages.pageStarts[0]);
}
