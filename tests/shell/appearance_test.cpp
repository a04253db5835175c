#include "Appearance.h"
#include "CursorFile.h"
#include "Failure.h"
#include "SkinFramework.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(AppTitle, DropsTheLastWordUntilFortyCharactersOrFewerRemain) {
    struct {
        const char* product;
        const char* title;
    } cases[] = {
        {"Vantorel", "Vantorel"},     // no blank: kept whole
        {"Vantorel Pro", "Vantorel"}, // always loses its last word
        {"A B C", "A B"},
        {"Forty characters exactly here: 123456789", "Forty characters exactly here:"},
        {"One two three four five six seven eight nine ten eleven",
         "One two three four five six seven eight"},
        {"Averyveryveryveryveryverylongfirstwordhere tail",
         "Averyveryveryveryveryverylongfirstwordhere"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(appTitleFrom(QString::fromLatin1(c.product)), QString::fromLatin1(c.title))
            << c.product;
}

TEST(SetFormBackColor, ColoursPlainControlsButNotPictureBoxesOrTextBoxes) {
    QWidget window;
    auto* frame = new QGroupBox(&window);
    auto* label = new QLabel(frame);
    auto* check = new QCheckBox(&window);
    auto* edit = new QLineEdit(&window);
    auto* picture = new QLabel(&window);
    markAsPictureBox(*picture);
    for (QWidget* w : {static_cast<QWidget*>(&window), static_cast<QWidget*>(picture),
                       static_cast<QWidget*>(edit)})
        setBackColor(*w, Qt::white);
    SetFormBackColor(window);
    const QColor face = buttonFaceColor();
    EXPECT_EQ(window.palette().color(QPalette::Window), face);
    EXPECT_EQ(frame->palette().color(QPalette::Window), face);
    EXPECT_EQ(label->palette().color(QPalette::Window), face);
    EXPECT_EQ(check->palette().color(QPalette::Window), face);
    EXPECT_EQ(picture->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(edit->palette().color(QPalette::Window), QColor(Qt::white));
}

class Files : public ::testing::Test {
protected:
    QString put(const char* name, const QByteArray& bytes) {
        return putFile(dir.filePath(QString::fromLatin1(name)), bytes);
    }
    QTemporaryDir dir;
};

TEST_F(Files, TheShippedHandCursorLoadsWithItsHotspot) {
    const QCursor cursor = loadCursorFile(QStringLiteral(HAND_CURSOR_PATH));
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 1));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

TEST_F(Files, FilesThatAreNotCursorsFail) {
    QFile shipped(QStringLiteral(HAND_CURSOR_PATH));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray good = shipped.readAll();
    QByteArray iconType = good;
    iconType[2] = 1; // an icon, not a cursor
    QByteArray badOffset = good;
    badOffset[18] = char(0xff);
    badOffset[19] = char(0x7f);
    const QString paths[] = {
        put("text.cur", "this is not a cursor"),
        put("empty.cur", QByteArray()),
        put("header.cur", good.left(10)),
        put("truncated.cur", good.left(200)),
        put("icon.cur", iconType),
        put("offset.cur", badOffset),
        dir.filePath(QStringLiteral("missing.cur")),
        dir.path(),
    };
    for (const QString& path : paths)
        EXPECT_THROW(loadCursorFile(path), Failure) << path.toStdString();
}

TEST_F(Files, SkinsMustBeReadableNonEmptyStyleSheets) {
    SkinFramework skin;
    EXPECT_THROW(skin.ApplyWindow(nullptr), Failure);
    EXPECT_THROW(skin.LoadSkin(put("empty.cjs", ""), QString()), Failure);
    EXPECT_THROW(skin.LoadSkin(put("blank.cjs", "  \n\t "), QString()), Failure);
    EXPECT_THROW(skin.LoadSkin(put("broken.cjs", "this is { not css "), QString()), Failure);
    EXPECT_THROW(skin.LoadSkin(put("binary.cjs", QByteArray("MZ\x90\x00\x03", 5)), QString()),
                 Failure);
    EXPECT_THROW(skin.LoadSkin(dir.path(), QString()), Failure);
    const QByteArray sheet = "QWidget { background: #dde; } QLineEdit { color: navy; }";
    skin.LoadSkin(put("good.cjs", sheet), QString());
    QWidget window;
    skin.ApplyWindow(&window);
    EXPECT_EQ(window.styleSheet(), QString::fromLatin1(sheet));
}

} // namespace
