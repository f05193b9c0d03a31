// The glyphs of the tool row and of the settings dialog stand out from their
// buttons by at least 4.5:1 on a light and on a dark palette, and follow a
// change of the palette.
#include <QPalette>
#include <QStyle>
#include <map>

#include "MainWindowHarness.h"
#include "browsing/InkContrast.h"
#include "ui/UnitSettings.h"

namespace kpw {
namespace {

QPalette DarkPalette() {
    QPalette dark;
    const QColor ground(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        dark.setColor(group, QPalette::Window, ground);
        dark.setColor(group, QPalette::WindowText, Qt::white);
        dark.setColor(group, QPalette::Base, base);
        dark.setColor(group, QPalette::AlternateBase, ground);
        dark.setColor(group, QPalette::Text, Qt::white);
        dark.setColor(group, QPalette::Button, ground);
        dark.setColor(group, QPalette::ButtonText, Qt::white);
        dark.setColor(group, QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
        dark.setColor(group, QPalette::HighlightedText, Qt::black);
        dark.setColor(group, QPalette::Light, ground.lighter(150));
        dark.setColor(group, QPalette::Midlight, ground.lighter(125));
        dark.setColor(group, QPalette::Mid, ground.darker(150));
        dark.setColor(group, QPalette::Dark, ground.darker(200));
        dark.setColor(group, QPalette::Shadow, Qt::black);
    }
    return dark;
}

Rgb RgbOf(QRgb pixel) {
    return {static_cast<uint8_t>(qRed(pixel)), static_cast<uint8_t>(qGreen(pixel)),
            static_cast<uint8_t>(qBlue(pixel))};
}

// How many pixels of a picture of a button stand out from its background
// by at least 4.5:1: inside its frame, the colour most of it has.
int LegiblePixels(const QImage& picture) {
    constexpr int Frame = 3;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32)
                             .copy(picture.rect().adjusted(Frame, Frame, -Frame, -Frame));
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    }
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            background = colour;
            most = count;
        }
    }
    int legible = 0;
    for (const auto& [colour, count] : counts) {
        if (ContrastRatio(RgbOf(colour), RgbOf(background)) >= LegibleContrast) legible += count;
    }
    return legible;
}

// A glyph of 16 x 16 pixels has its marks in a few dozen of them; a speck of
// two or three is no legible glyph.
constexpr int EnoughPixels = 12;

class GlyphContrast : public MainWindowHarness {
protected:
    GlyphContrast() : light_(QApplication::palette()) {}
    ~GlyphContrast() override { QApplication::setPalette(light_); }

    // Every tool button that can be used now (a disabled one is drawn pale,
    // as disabled controls are), pictured with the window's ground under it.
    static void ExpectLegibleButtons(TFormMain& form, const char* palette) {
        for (int b = 0; b < ToolButtonCount; ++b) {
            QToolButton* button = Tool(form, static_cast<Control>(b));
            if (!button->isEnabled() || !button->isVisible()) continue;
            const QImage picture = button->parentWidget()->grab(button->geometry()).toImage();
            EXPECT_GE(LegiblePixels(picture), EnoughPixels)
                << palette << " palette, button " << b << (button->isChecked() ? " (on)" : "");
        }
    }

    QPalette light_;
};

TEST_F(GlyphContrast, ToolButtonsStandOutOnALightAndADarkPaletteAndFollowAChange) {
    auto form = Start();
    FinishLoad();
    // Auto skip is on from the start, and one display mode always is.
    ASSERT_TRUE(Tool(*form, Control::AutoSkip)->isChecked());
    Tool(*form, Control::ShowStatistics)->setChecked(true);
    ExpectLegibleButtons(*form, "light");

    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
    ExpectLegibleButtons(*form, "dark");

    QApplication::setPalette(light_);
    QCoreApplication::processEvents();
    ExpectLegibleButtons(*form, "light again");
}

TEST_F(GlyphContrast, TheChosenInksReachTheContrastOnEveryBackgroundOfTheButton) {
    auto form = Start();
    for (const QPalette& palette : {light_, DarkPalette()}) {
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        const GlyphPalette glyphs = GlyphPaletteFor(*form, true);
        ASSERT_GE(glyphs.Backgrounds.size(), 2u);
        const auto rgb = [](const QColor& c) {
            return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                       static_cast<uint8_t>(c.blue())};
        };
        EXPECT_GE(WorstContrast(rgb(glyphs.Navy), glyphs.Backgrounds), LegibleContrast);
        EXPECT_GE(WorstContrast(rgb(glyphs.Ink), glyphs.Backgrounds), LegibleContrast);
        // The window's ground is among the backgrounds.
        const QColor ground = form->palette().color(QPalette::Button);
        EXPECT_EQ(glyphs.Backgrounds.front(), rgb(ground));
    }
}

TEST_F(GlyphContrast, TheRestoreArrowsStandOutOnBothPalettes) {
    for (const QPalette& palette : {light_, DarkPalette()}) {
        QApplication::setPalette(palette);
        TFormSettings dialog(nullptr);
        QCoreApplication::processEvents();
        for (QToolButton* restore : dialog.findChildren<QToolButton*>()) {
            const QImage picture = restore->grab().toImage();
            EXPECT_GE(LegiblePixels(picture), EnoughPixels)
                << restore->objectName().toStdString() << (palette == light_ ? " light" : " dark");
        }
    }
    // A palette that changes under an open dialog redraws its arrows.
    QApplication::setPalette(light_);
    TFormSettings dialog(nullptr);
    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
    for (QToolButton* restore : dialog.findChildren<QToolButton*>())
        EXPECT_GE(LegiblePixels(restore->grab().toImage()), EnoughPixels);
}

}  // namespace
}  // namespace kpw
