// "Get running" across processes, and the engine's private clipboard.
#include "Engine.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using wordengine::EngineApplicationFactory;

namespace {

QStringList lockFiles(const QString& folder) {
    return QDir(folder).entryList({"vantorel-engine-*.lock"}, QDir::Files);
}

// Another process of ours holding one engine application registered in `folder`.
class Holder {
public:
    explicit Holder(const QString& folder) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(ENGINE_HOLDER_PATH), {folder});
        EXPECT_TRUE(process_.waitForStarted(-1));
        EXPECT_EQ(readLine(), "ready");
    }
    ~Holder() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(-1);
        }
    }
    QString readLine() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(-1))
                return {};
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    // Closing its input makes it quit its application and end.
    QString finish() {
        process_.closeWriteChannel();
        const QString last = readLine();
        process_.waitForFinished(-1);
        return last;
    }
    void kill() {
        process_.kill();
        process_.waitForFinished(-1);
    }
    bool running() const { return process_.state() == QProcess::Running; }

private:
    QProcess process_;
};

} // namespace

TEST(EngineRunning, FindsOnlyAnotherLiveProcesssApplication) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EngineApplicationFactory factory(folder.path());
    EXPECT_THROW(factory.GetRunning(), word::Error) << "nothing runs";

    auto own = factory.CreateNew();
    EXPECT_EQ(lockFiles(folder.path()).size(), 1);
    EXPECT_THROW(factory.GetRunning(), word::Error) << "this process's own application";

    {
        Holder holder(folder.path());
        auto running = factory.GetRunning();
        EXPECT_EQ(running->Name(), "Microsoft Word");
        // The user's application is never driven or quit from here.
        EXPECT_THROW(running->Quit(), word::Error);
        EXPECT_THROW(running->Documents(), word::Error);
        EXPECT_THROW(running->SetDisplayAlerts(false), word::Error);
        EXPECT_TRUE(holder.running());
        EXPECT_EQ(holder.finish(), "quit") << "its own Quit still works";
    }
    EXPECT_THROW(factory.GetRunning(), word::Error) << "it has ended";
    own->Quit();
    EXPECT_TRUE(lockFiles(folder.path()).isEmpty()) << "Quit unregisters";
}

TEST(EngineRunning, ADeadProcesssEntryIsIgnoredAndRemoved) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EngineApplicationFactory factory(folder.path());
    Holder holder(folder.path());
    holder.kill(); // no chance to unregister
    EXPECT_EQ(lockFiles(folder.path()).size(), 1);
    EXPECT_THROW(factory.GetRunning(), word::Error);
    EXPECT_TRUE(lockFiles(folder.path()).isEmpty());
}

TEST(EngineRunning, DroppingAnApplicationUnregistersIt) {
    QTemporaryDir folder;
    EngineApplicationFactory factory(folder.path());
    {
        auto application = factory.CreateNew();
        auto second = factory.CreateNew();
        EXPECT_EQ(lockFiles(folder.path()).size(), 2);
    }
    EXPECT_TRUE(lockFiles(folder.path()).isEmpty());
}

TEST(EngineClipboard, CopyAsPictureFillsOnlyTheEnginesClipboard) {
    QTemporaryDir folder;
    EngineApplicationFactory factory(folder.path());
    EngineApplicationFactory other(folder.path());
    EXPECT_THROW(factory.Clipboard().GetData(0), word::Error) << "empty";

    QClipboard* desktop = QGuiApplication::clipboard();
    desktop->setText(QStringLiteral("the user's own text"));

    auto application = factory.CreateNew();
    auto document = application->Documents().Add();
    document->ActiveWindow().Selection().TypeText("Some text on the page");
    document->Range()->CopyAsPicture();

    const QPicture picture = factory.Clipboard().GetData(0);
    EXPECT_FALSE(picture.isNull());
    EXPECT_FALSE(picture.boundingRect().isEmpty());
    EXPECT_NO_THROW(factory.Clipboard().GetData(14)) << "enhanced metafile asks for the same";
    EXPECT_THROW(factory.Clipboard().GetData(7), word::Error) << "not a picture format";
    EXPECT_EQ(desktop->text(), "the user's own text");
    EXPECT_THROW(other.Clipboard().GetData(0), word::Error) << "another factory's clipboard";

    // The copy stays on the clipboard after the document changes and after Quit.
    document->ActiveWindow().Selection().TypeText(" and more");
    application->Quit();
    const QPicture kept = factory.Clipboard().GetData(0);
    EXPECT_EQ(QByteArray(kept.data(), kept.size()), QByteArray(picture.data(), picture.size()));
}
