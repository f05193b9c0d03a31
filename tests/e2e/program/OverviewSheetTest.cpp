// The overview sheet in the whole window against the demo site: present,
// missing, busy, never-ending and oversized photos, each cell marked as it
// should be; the keys move it and Enter shows the photo chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "favorites/FavoriteList.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

const SheetCell* CellOf(const OverviewSheet& sheet, int32_t index) {
    for (const SheetCell& cell : sheet.Cells())
        if (cell.Index == index) return &cell;
    return nullptr;
}

bool Settled(const OverviewSheet& sheet) {
    return !sheet.Cells().empty() &&
           std::none_of(sheet.Cells().begin(), sheet.Cells().end(), [](const SheetCell& cell) {
               return cell.State == CellState::Loading || cell.State == CellState::Waiting;
           });
}

class SheetProgram : public ::testing::Test {
protected:
    void Open(const DemoSite& site, int photoIndex) {
        program.Start({.BaseURL = site.BaseURL(),
                       .StaticBaseURL = site.StaticBaseURL(),
                       .PhotoIndex = photoIndex,
                       .PreloadPages = 2});
        ASSERT_TRUE(program.WaitForSettledLoad(0));
        // A never-ending picture is given up sooner than a user would wait.
        ThumbnailLimits limits = Probe(program.Form()).Thumbnails().Limits();
        limits.MaxTime = std::chrono::milliseconds(3000);
        Probe(program.Form()).Thumbnails().SetLimits(limits);
        program.PressKey(Qt::Key_G, Qt::ControlModifier);
        ASSERT_TRUE(Sheet().IsOpen());
    }
    OverviewSheet& Sheet() const { return Probe(program.Form()).Sheet(); }
    OverviewSheetView& View() const { return *Probe(program.Form()).SheetView(); }
    int FieldValue() const { return Probe(program.Form()).PageIndexField()->value(); }

    ProgramDriver program;
};

TEST_F(SheetProgram, EveryCellSaysWhatTheSiteAnsweredAndEnterShowsTheChosenPhoto) {
    DemoSite site({.missing = "1002", .busy = "1004", .stall = "1005", .bomb = "1006"});
    Open(site, 1000);
    EXPECT_TRUE(View().isVisible());
    EXPECT_TRUE(View().hasFocus());
    EXPECT_GE(Sheet().Cells().size(), 8u);
    ASSERT_TRUE(program.WaitFor([&] { return Settled(Sheet()); }));

    for (int32_t index : {1000, 1001, 1003, 1004, 1007}) {
        ASSERT_NE(CellOf(Sheet(), index), nullptr) << index;
        EXPECT_EQ(CellOf(Sheet(), index)->State, CellState::Picture) << index;
        EXPECT_TRUE(View().HasPicture(index)) << index;
    }
    EXPECT_EQ(CellOf(Sheet(), 1002)->State, CellState::Missing);
    EXPECT_EQ(CellOf(Sheet(), 1005)->Failure, ThumbnailFailure::TimedOut);
    EXPECT_EQ(CellOf(Sheet(), 1006)->Failure, ThumbnailFailure::TooLarge);
    EXPECT_FALSE(View().CellHint(View().CellRect(6).center()).isEmpty());
    // The busy photo was asked again, never taken for missing.
    EXPECT_TRUE(SiteHasRequest(site, MainHostRequest("/photos/thumbnail/1004.jpg", 503)));
    EXPECT_TRUE(SiteHasRequest(site, MainHostRequest("/photos/thumbnail/1004.jpg", 200)));

    // The arrow keys move the selection and the index field follows.
    program.PressKey(Qt::Key_Right);
    program.PressKey(Qt::Key_Right);
    program.PressKey(Qt::Key_Right);
    EXPECT_EQ(Sheet().SelectedIndex(), 1003);
    EXPECT_EQ(FieldValue(), 1003);

    const std::size_t before = program.VisibleDocuments().size();
    program.PressKey(Qt::Key_Return);
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_FALSE(View().isVisible());
    EXPECT_FALSE(Sheet().IsOpen());
    EXPECT_EQ(program.VisibleDocuments().back().Location,
              site.BaseURL() + "/photos/medium/1003.jpg");
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1003);
    EXPECT_EQ(FieldValue(), 1003);
    EXPECT_EQ(QApplication::focusWidget(), Probe(program.Form()).PageIndexField());

    // The missing photo is skipped stepping down, without asking the site.
    const auto asked = [&] {
        const std::vector<std::string> lines = site.LogLines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("/photos/medium/1002.jpg") != std::string::npos;
        });
    };
    const auto askedBefore = asked();
    const std::size_t step = program.VisibleDocuments().size();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Down));
    ASSERT_TRUE(program.WaitForSettledLoad(step));
    EXPECT_EQ(FieldValue(), 1001);
    EXPECT_EQ(asked(), askedBefore);
}

TEST_F(SheetProgram, TheWheelAndPageKeysMoveWholeSheetsAndTheFieldMovesTheSheet) {
    DemoSite site;
    Open(site, 2000);
    const auto count = static_cast<int32_t>(Sheet().Cells().size());
    // The cells shown, then the next sheet's behind them.
    ASSERT_TRUE(program.WaitFor([&] {
        return Settled(Sheet()) && std::none_of(Sheet().Ahead().begin(), Sheet().Ahead().end(),
                                                [](const SheetCell& cell) {
                                                    return cell.State != CellState::Picture;
                                                });
    }));
    program.PressKey(Qt::Key_PageDown);
    EXPECT_EQ(Sheet().First(), 2000 + count);
    // The next sheet was fetched behind the first: its pictures are there.
    EXPECT_TRUE(View().HasPicture(2000 + count));
    EXPECT_EQ(Sheet().Cells().front().State, CellState::Picture);

    QWidget& view = View();
    const QPointF centre(view.width() / 2.0, view.height() / 2.0);
    QWheelEvent wheel(centre, view.mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(Sheet().First(), 2000);

    Probe(program.Form()).PageIndexField()->setFocus();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("5000")));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    EXPECT_EQ(Sheet().First(), 5000);
    // Enter again in the field shows the photo selected.
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_FALSE(Sheet().IsOpen());
    EXPECT_EQ(program.VisibleDocuments().back().Location,
              site.BaseURL() + "/photos/medium/5000.jpg");
}

}  // namespace
}  // namespace kpw
