// The photo actions' rules: file names, the save folder, the photo on view,
// the photo keys and the slideshow's timing.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "NavigatorFixture.h"
#include "browsing/KeyCodes.h"
#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

TEST(PhotoFiles, ExtensionComesFromTheContentTypeAndOnlyImagesHaveOne) {
    const std::pair<const char*, const char*> images[] = {
        {"image/jpeg", "jpg"},
        {"IMAGE/JPEG; charset=binary", "jpg"},
        {"  image/png ", "png"},
        {"image/gif", "gif"},
        {"image/webp", "webp"},
        {"image/pjpeg", "jpg"},
        {"image/svg+xml", "svg"},
        {"image/x-portable-bitmap", ""},  // sub-type too long for a plain extension
        {"image/x-xbitmap", "xbitmap"},
        {"image/heic", "heic"},
    };
    for (const auto& [type, extension] : images) {
        const std::optional<std::string> found = ExtensionForContentType(type);
        if (*extension)
            EXPECT_EQ(found, std::optional<std::string>(extension)) << type;
        else
            EXPECT_EQ(found, std::nullopt) << type;
    }
    for (const char* other : {"text/html", "text/html; charset=utf-8", "application/octet-stream",
                              "", "image/", "image", "image/../x", "imagex/jpeg"})
        EXPECT_EQ(ExtensionForContentType(other), std::nullopt) << other;
}

TEST(PhotoFiles, AnExistingFileIsNeverTakenTheNextNumberIs) {
    std::vector<std::string> existing;
    const auto taken = [&](const std::string& name) {
        return std::find(existing.begin(), existing.end(), name) != existing.end();
    };
    EXPECT_EQ(PhotoFileName(1234, "jpg", taken), "1234.jpg");
    existing = {"1234.jpg"};
    EXPECT_EQ(PhotoFileName(1234, "jpg", taken), "1234 (2).jpg");
    existing = {"1234.jpg", "1234 (2).jpg", "1234 (3).jpg"};
    EXPECT_EQ(PhotoFileName(1234, "jpg", taken), "1234 (4).jpg");
    // Another extension or index is another name.
    EXPECT_EQ(PhotoFileName(1234, "png", taken), "1234.png");
    EXPECT_EQ(PhotoFileName(12345, "jpg", taken), "12345.jpg");
    // A folder in which every name is taken gives none, not an endless search.
    EXPECT_EQ(PhotoFileName(7, "gif", [](const std::string&) { return true; }), std::nullopt);
}

TEST(PhotoFiles, ABlankSaveFolderMeansTheProgramsFolderInPictures) {
    EXPECT_EQ(SaveFolderInForce("", "/home/ann/Pictures"),
              "/home/ann/Pictures/Kelvaro Photo Wizard");
    EXPECT_EQ(SaveFolderInForce("  \t", "/home/ann/Bilder/"),
              "/home/ann/Bilder/Kelvaro Photo Wizard");
    EXPECT_EQ(SaveFolderInForce("", "/"), "/Kelvaro Photo Wizard");
    EXPECT_EQ(SaveFolderInForce(" /data/photos ", "/home/ann/Pictures"), "/data/photos");
}

TEST(PhotoFiles, FailureMessagesNameWhereAndWhyInBothLanguages) {
    EXPECT_EQ(PhotoFailureMessage(PhotoFailure::FolderNotWritable, texts::English, "/ro",
                                  "Permission denied"),
              "The photo was not saved: the folder /ro cannot be written to (Permission denied).");
    const std::string german =
        PhotoFailureMessage(PhotoFailure::DiskFull, texts::German, "/data", "No space left");
    EXPECT_EQ(german, "Das Photo wurde nicht gespeichert: der Datenträger ist voll (/data).");
    // The system's reason for a file's failure comes in the program's
    // language; the details of other failures stay as they came.
    EXPECT_EQ(PhotoFailureMessage(PhotoFailure::WriteFailed, texts::German, "/p/1.jpg",
                                  "No such file or directory"),
              "Das Photo wurde nicht gespeichert: /p/1.jpg konnte nicht geschrieben werden "
              "(Datei oder Ordner nicht vorhanden).");
    EXPECT_EQ(PhotoFailureMessage(PhotoFailure::FolderNotWritable, texts::German, "/ro",
                                  "Permission denied"),
              "Das Photo wurde nicht gespeichert: in den Ordner /ro kann nicht geschrieben "
              "werden (Zugriff verweigert).");
    EXPECT_NE(PhotoFailureMessage(PhotoFailure::NotAnImage, texts::German, "http://a/1",
                                  "Permission denied")
                  .find("Permission denied"),
              std::string::npos);
    // Each failure has its own text.
    std::vector<std::string> messages;
    for (PhotoFailure failure :
         {PhotoFailure::FolderNotWritable, PhotoFailure::DiskFull, PhotoFailure::WriteFailed,
          PhotoFailure::SiteError, PhotoFailure::NotAnImage, PhotoFailure::FetchFailed,
          PhotoFailure::NoFreeName, PhotoFailure::ClipboardFailed}) {
        const std::string message = PhotoFailureMessage(failure, texts::English, "W", "D");
        EXPECT_EQ(std::count(messages.begin(), messages.end(), message), 0) << message;
        messages.push_back(message);
    }
}

TEST(PhotoKeys, OnlyTheirOwnKeysAreCommands) {
    EXPECT_EQ(PhotoCommandOfKey(KeyS, false, true, false), PhotoCommand::SavePhoto);
    EXPECT_EQ(PhotoCommandOfKey(KeyS, true, true, false), PhotoCommand::SavePhotoAs);
    EXPECT_EQ(PhotoCommandOfKey(KeyC, true, true, false), PhotoCommand::CopyAddress);
    EXPECT_EQ(PhotoCommandOfKey(KeyF9, false, false, false), PhotoCommand::Slideshow);
    // The keys the program had, plain letters, Ctrl+C in a field and the
    // same keys with Alt stay what they were.
    for (auto [key, shift, ctrl, alt] : {std::tuple{KeyF1, false, false, false},
                                         {KeyF5, false, false, false},
                                         {KeyS, false, false, false},
                                         {KeyS, true, false, false},
                                         {KeyC, false, true, false},
                                         {KeyS, false, true, true},
                                         {KeyF9, false, true, false},
                                         {KeyF9, true, false, false},
                                         {'D', false, true, false}})
        EXPECT_EQ(PhotoCommandOfKey(key, shift, ctrl, alt), std::nullopt) << key;
}

class ShownPhoto : public NavigatorTest {};

TEST_F(ShownPhoto, IsTheModeOneAddressInTheSizeInForceAndNoneOnAUserPage) {
    settings.PhotoIndex = 1234;
    settings.PhotoSize = 2;
    StartIdle();
    auto photo = navigator.ShownPhoto();
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->URL, Host() + "/photos/small/1234.jpg");
    EXPECT_EQ(photo->Index, 1234);

    // Mode 2: the photo of the information page on view, also one reached by a link.
    navigator.SpeedButtonURLOnClick(2);
    Complete("A photo");
    photo = navigator.ShownPhoto();
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->URL, Host() + "/photos/small/1234.jpg");
    visible.FollowLink(InfoPage(77));
    photo = navigator.ShownPhoto();
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->URL, Host() + "/photos/small/77.jpg");
    visible.FollowLink(UserPage(5));
    EXPECT_FALSE(navigator.ShownPhoto());

    navigator.SpeedButtonURLOnClick(3);
    Complete("A user");
    EXPECT_FALSE(navigator.ShownPhoto());
    EXPECT_EQ(navigator.ShownAddress(), visible.LocationURL());
}

class Slideshow : public NavigatorTest {
protected:
    int64_t IntervalMs() const { return int64_t{settings.SlideshowInterval} * 1000; }
};

TEST_F(Slideshow, StepsOnAnIntervalAfterEachPageHasCompleted) {
    settings.PhotoIndex = 100;
    settings.SlideshowInterval = 5;
    StartIdle();
    navigator.Slides().Start();
    EXPECT_EQ(window.StatusText(), "Slideshow: every 5 s");
    EXPECT_EQ(clock.SlideshowTimerDueInMs(), IntervalMs());

    clock.Advance(IntervalMs() - 1);
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(100));
    clock.Advance(1);
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(101));
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(102));
    EXPECT_EQ(window.PageIndexText(), "101");
    EXPECT_TRUE(Loading());

    // A slow page: nothing goes on until it has completed, however long it takes.
    clock.Advance(10 * IntervalMs());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(101));
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    // The view's status texts do not replace the slideshow's line.
    navigator.VisibleWebBrowserOnStatusTextChange("Loading 50 %");
    EXPECT_EQ(window.StatusText(), "Slideshow: every 5 s");
    Complete("A photo");
    EXPECT_EQ(clock.SlideshowTimerDueInMs(), IntervalMs());
    clock.Advance(IntervalMs());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(102));
    EXPECT_EQ(settings.PhotoIndex, 102);
}

TEST_F(Slideshow, GoesInTheDirectionOfTravelAndWaitsForTheSkipChainToSettle) {
    settings.PhotoIndex = 50;
    settings.SlideshowInterval = 2;
    StartIdle();
    ASSERT_TRUE(navigator.FormMainOnMouseWheel(120));  // one step down, to 49
    Complete("A photo");
    navigator.Slides().Start();
    clock.Advance(IntervalMs());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(48));

    // 48 is missing: the skip to 47 is no completed page of the slideshow.
    Complete("HTTP 404 Not Found");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(47));
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    Complete("A photo");
    clock.Advance(IntervalMs());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(46));
}

TEST_F(Slideshow, EndsWhenStoppedAndTurnsAtTheEndOfTheRangeAsTheTravelDoes) {
    settings.PhotoIndex = 10;
    StartIdle();
    navigator.Slides().Start();
    EXPECT_TRUE(navigator.Slides().Stop());
    EXPECT_FALSE(navigator.Slides().Running());
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    EXPECT_EQ(window.StatusText(), "Slideshow ended");
    EXPECT_FALSE(navigator.Slides().Stop());
    clock.Advance(100 * IntervalMs());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(10));
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), "Done");

    // Travelling down, index 1 turns the travel upwards.
    window.SetPageIndexValue(2);
    Complete("A photo");
    ASSERT_TRUE(navigator.FormMainOnMouseWheel(120));
    Complete("A photo");
    ASSERT_EQ(state().CurrentIndex, 1);
    navigator.Slides().Start();
    clock.Advance(IntervalMs());
    EXPECT_TRUE(navigator.Slides().Running());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(2));
}

TEST_F(Slideshow, StartedWhileAPageLoadsCountsFromItsCompletion) {
    settings.PhotoIndex = 300;
    settings.Language = texts::German;
    Start();
    navigator.Slides().Start();
    EXPECT_EQ(window.StatusText(), "Diashow: alle 5 s");
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    clock.Advance(3000);
    Complete("A photo");
    clock.Advance(IntervalMs() - 1);
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(300));
    clock.Advance(1);
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(301));
}

// What a site calls a photo is saved only when its own bytes are a picture
// a viewer opens safely; markup, scripts and SVG (which can carry scripts)
// are refused whatever their name or type.
TEST(PictureBytes, TheFirstBytesTellThePictureTypeAndNothingElsePasses) {
    using namespace std::string_literals;
    const std::pair<std::string, const char*> pictures[] = {
        {"\xFF\xD8\xFF\xE0rest"s, "jpg"},
        {"\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s, "png"},
        {"GIF89a\x01\0"s, "gif"},
        {"RIFF\x24\0\0\0WEBPVP8 "s, "webp"},
        {"BM"s + std::string(40, '\0'), "bmp"},
        {"\0\0\0\x1C" "ftypavif\0\0\0\0"s, "avif"},
        {"II*\0\x08\0\0\0"s, "tif"},
        {"\0\0\1\0\1\0"s + std::string(20, '\0'), "ico"},
    };
    for (const auto& [bytes, extension] : pictures)
        EXPECT_EQ(PictureExtensionOfBytes(bytes), std::optional<std::string>(extension)) << extension;
    for (const std::string& other :
         {"<svg xmlns=\"http://www.w3.org/2000/svg\"><script>x()</script></svg>"s,
          "<!DOCTYPE html><html>"s, "#!/bin/sh\nrm -rf ~\n"s, "[Desktop Entry]\nExec=x\n"s,
          "PK\x03\x04jar"s, ""s, "\xFF\xD8"s, "BM"s})
        EXPECT_FALSE(PictureExtensionOfBytes(other)) << other;
}

}  // namespace
}  // namespace kpw
