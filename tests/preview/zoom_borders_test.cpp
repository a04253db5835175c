// What the preview paints of the bill of sale below real size: every table keeps all four
// borders. The document comes from the real script and engine, the pictures from the real
// renderer, and the zoom from clicks on "Zoom Out".
#include "EngineApplicationFactory.h"
#include "FindControl.h"
#include "Form2.h"
#include "MotorVehicleBill.h"
#include "PictureBox.h"
#include "RenderPages.h"
#include "SaleRecordSource.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "WindowEvents.h"

#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

bool inked(QRgb pixel) {
    return qGray(pixel) < 250;
}

// Runs of image rows [first, last] in which column x is inked.
std::vector<std::pair<int, int>> inkedRuns(const QImage& image, int x) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < image.height(); ++y) {
        if (!inked(image.pixel(x, y)))
            continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.emplace_back(y, y);
    }
    return runs;
}

// The rows of the two tables: their left border lies in the first column of pixels, where
// each table is one long run of inked rows (at least four rows of 0.3 inch). Glyphs at the
// left edge of the text ink short runs, of a paragraph's lines at most.
std::vector<std::pair<int, int>> tableRows(const QImage& shown, float zoom) {
    auto tables = inkedRuns(shown, 0);
    const double tallest = 1200 * zoom / 15; // twips to pixels at this zoom
    std::erase_if(tables, [&](const auto& run) { return run.second - run.first < tallest; });
    return tables;
}

class ZoomedBorders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        wordengine::EngineApplicationFactory engine(registry.path());
        const MotorVehicleBill::Generation generation =
            MotorVehicleBill::GenerateMotorVehicle(engine, FixedRecord::sample());
        form.Form_Load();
        RenderPages(
            engine, generation.path, [&]() -> Form2& { return form; }, [](int) {});
        ASSERT_FALSE(form.pagePictures().empty());
        control<PictureBox>(form, "Picture1")->setPicture(form.pagePictures()[0]);
        form.show();
        activate(form);
        ASSERT_TRUE(dialogs.messages.empty());
    }

    ScopedTemp temp;
    QTemporaryDir registry;
    ScriptedDialogs dialogs;
    Form2 form{Form2::Services{[] {}, [] {}}};
};

// At every zoom, and at the screen scales ctest runs this at, both tables keep their right
// border the whole way down and the last its bottom border; and each horizontal rule of both
// tables is the same rows of the same grey wherever it lies on the page: black, not grey.
TEST_F(ZoomedBorders, BordersAreWholeAndRulesEquallyDarkAtEveryZoom) {
    for (const float zoom : {1.0f, 0.75f, 0.5f, 0.25f}) {
        if (zoom < 1)
            QTest::mouseClick(control<QPushButton>(form, "PushButton2"), Qt::LeftButton);
        ASSERT_FLOAT_EQ(form.zoom(), zoom);
        SCOPED_TRACE(zoom);
        const QImage shown = control<PictureBox>(form, "Picture1")->grab().toImage();
        const auto tables = tableRows(shown, zoom);
        ASSERT_EQ(tables.size(), 2u);
        // Their right border: the right-most inked column over the vehicle table's rows. The
        // tables span the text width: it lies within a few pixels of the picture's right edge,
        // and it runs the whole height of both tables.
        int right = -1;
        for (int x = shown.width() - 1; x >= 0 && right < 0; --x) {
            for (int y = tables[0].first; y <= tables[0].second && right < 0; ++y)
                if (inked(shown.pixel(x, y)))
                    right = x;
        }
        ASSERT_GE(right, shown.width() - 6 * shown.devicePixelRatio());
        for (const auto& [top, bottom] : tables) {
            int gaps = 0;
            for (int y = top; y <= bottom; ++y)
                gaps += !inked(shown.pixel(right, y));
            EXPECT_EQ(gaps, 0) << "rows " << top << " to " << bottom << " of " << shown.height();
        }
        int gaps = 0; // the bottom border of the last table, which ends the page
        for (int x = 0; x <= right; ++x)
            gaps += !inked(shown.pixel(x, tables[1].second));
        EXPECT_EQ(gaps, 0);

        // A column just inside the right border: every run of ink there over the tables' rows
        // is a rule, and every rule of both tables (4 rows and 5 rows) crosses it.
        const int x = right - 3;
        std::vector<std::vector<int>> greys;
        for (const auto& [top, bottom] : inkedRuns(shown, x)) {
            if (top < tables[0].first || (bottom > tables[0].second && top < tables[1].first))
                continue;
            greys.emplace_back();
            for (int y = top; y <= bottom; ++y)
                greys.back().push_back(qGray(shown.pixel(x, y)));
        }
        ASSERT_EQ(greys.size(), 11u);
        for (const std::vector<int>& rule : greys)
            EXPECT_EQ(rule, greys[0]);
        EXPECT_EQ(*std::min_element(greys[0].begin(), greys[0].end()), 0);
    }
}

} // namespace
