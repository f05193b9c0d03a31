#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPainter>
#include <QTest>

#include "ui/FlagPictures.h"
#include "ui/SettingsControls.h"
#include "ui/UndoArrowPicture.h"

namespace kpw {
namespace {

const QColor Background(0x12, 0x34, 0x56);
const QColor TextColour(0xFE, 0xDC, 0xBA);
const QRgb Silver = qRgb(0xC0, 0xC0, 0xC0);

class LanguageListDrawing : public ::testing::Test {
protected:
    LanguageListDrawing() {
        list_.addItem("English", FlagPicture(0));
        list_.addItem("Deutsch", FlagPicture(1));
        list_.addItem("Bare");  // no picture
    }

    QImage Draw(int index, int height = 16, int width = 113) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        list_.ComboBoxLanguageOnDrawItem(painter, index, QRect(0, 0, width, height),
                                         QBrush(Background), TextColour);
        return image;
    }

    static bool ColumnsAreBackground(const QImage& image, int from, int to) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = from; x < to; ++x) {
                if (image.pixel(x, y) != Background.rgb()) return false;
            }
        }
        return true;
    }

    static bool HasTextAt(const QImage& image, int from) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = from; x < image.width(); ++x) {
                if (image.pixel(x, y) != Background.rgb()) return true;
            }
        }
        return false;
    }

    LanguageComboBox list_{nullptr};
};

TEST_F(LanguageListDrawing, GermanFlagShowsItsStripesAndItsSilverRowTakesTheBackground) {
    const QImage image = Draw(1);
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(17, 4), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 5), qRgb(0xFF, 0, 0));
    EXPECT_EQ(image.pixel(10, 14), qRgb(0xFF, 0xFF, 0));
    EXPECT_EQ(image.pixel(2, 15), Background.rgb());
    EXPECT_TRUE(ColumnsAreBackground(image, 0, 2));
}

TEST_F(LanguageListDrawing, EnglishFlagLosesBothSilverRows) {
    const QImage image = Draw(0);
    EXPECT_EQ(image.pixel(2, 0), Background.rgb());
    EXPECT_EQ(image.pixel(17, 15), Background.rgb());
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 0xFF));
    EXPECT_EQ(image.pixel(2 + 9, 1), qRgb(0xFF, 0, 0));
    EXPECT_EQ(image.pixel(2 + 1, 2), qRgb(0xFF, 0xFF, 0xFF));
}

TEST_F(LanguageListDrawing, NoSilverShowsAnywhere) {
    for (int index : {0, 1}) {
        const QImage image = Draw(index);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_NE(image.pixel(x, y), Silver) << index << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(LanguageListDrawing, PictureIsCentredVerticallyInATallerRect) {
    // (0 + 22 - 16) / 2 = 3
    const QImage image = Draw(1, 22);
    EXPECT_EQ(image.pixel(2, 2), Background.rgb());
    EXPECT_EQ(image.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 18), Background.rgb());
    // (0 + 17 - 16) / 2 truncates to 0.
    EXPECT_EQ(Draw(1, 17).pixel(2, 0), qRgb(0, 0, 0));
}

TEST_F(LanguageListDrawing, TextStartsAtPictureWidthPlusEightOr24WithoutPicture) {
    for (int index : {0, 1, 2}) {
        const QImage image = Draw(index);
        EXPECT_TRUE(ColumnsAreBackground(image, 18, 24)) << index;
        EXPECT_TRUE(HasTextAt(image, 24)) << index;
    }
    EXPECT_TRUE(ColumnsAreBackground(Draw(2), 0, 24));
}

TEST_F(LanguageListDrawing, DropsDownBelowTheBoxWithItemsSixteenPixelsHigh) {
    list_.resize(113, 22);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    list_.showPopup();
    QAbstractItemView* view = list_.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    // Below the box, at most sharing its bottom pixel row.
    EXPECT_GE(view->window()->geometry().top(),
              list_.mapToGlobal(QPoint(0, list_.height() - 1)).y());
    for (int row = 0; row < list_.count(); ++row) {
        EXPECT_EQ(view->visualRect(view->model()->index(row, 0)).height(), 16) << row;
    }
    list_.hidePopup();
}

TEST_F(LanguageListDrawing, ClosedListShowsTheFlagOfItsItem) {
    list_.resize(113, 22);
    list_.setCurrentIndex(1);
    const QImage image = list_.grab().toImage();
    bool yellow = false;
    for (int y = 0; y < image.height() && !yellow; ++y) {
        for (int x = 0; x < 30 && !yellow; ++x) yellow = image.pixel(x, y) == qRgb(0xFF, 0xFF, 0);
    }
    EXPECT_TRUE(yellow);
}

TEST(UndoArrowPicture, IsANavyArrowOnATransparentGround) {
    const QImage image = UndoArrowPixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(16, 16));
    int navy = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            EXPECT_EQ(pixel, qRgb(0, 0, 0x80)) << x << "," << y;
            ++navy;
        }
    }
    EXPECT_EQ(qAlpha(image.pixel(0, 15)), 0);
    EXPECT_GT(navy, 20);
    EXPECT_LT(navy, 128);
}

}  // namespace
}  // namespace kpw
