#include "app/MainSession.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <utility>

#include "app/KeepFiles.h"
#include "app/PhotoActions.h"
#include "app/QtClock.h"
#include "browsing/MainWindowPort.h"
#include "browsing/Navigator.h"
#include "browsing/OverviewSheet.h"
#include "browsing/RangeKeeper.h"
#include "browsing/SeenPhotos.h"
#include "favorites/FavoritesController.h"
#include "texts/Texts.h"

namespace kpw {

MainSession::MainSession(FormMainPaths paths) : paths_(std::move(paths)) {}

MainSession::~MainSession() {
    Release();
}

void MainSession::LoadSettings(const WorkArea& workArea) {
    location_ = LocateSettingsFile(paths_.ExeName, paths_.AppData);
    kpw::LoadSettings(location_.IniFileName, settings_, favoritePhotos_.Entries(),
                      favoriteUsers_.Entries(), workArea);
    // The archive of seen photos lies beside the settings file.
    const std::string archivePath =
        std::filesystem::path(location_.IniFileName).replace_extension(".archive").string();
    OpenResult opened = SqliteArchive::Open(archivePath);
    archive_ = std::move(opened.Archive);
    archiveMessage_ =
        ArchiveProblemMessage(opened, archivePath, texts::LanguageIndex(settings_.Language));
}

void MainSession::Compose(MainWindowPort& window, BrowserView& visibleView, BrowserView& hiddenView,
                          PhotoFetcher& fetcher, ThumbnailPort& thumbnails, QWidget* dialogParent) {
    // A timer's handler runs from the event loop, where nothing may escape.
    const auto guarded = [this, &window](auto handler) {
        return [this, &window, handler] {
            try {
                handler(*navigator_);
            } catch (const std::exception& error) {
                window.ShowErrorMessage(error.what());
            }
        };
    };
    clock_ =
        std::make_unique<QtClock>(guarded([](Navigator& logic) { logic.WaitTimerOnTimer(); }),
                                  guarded([](Navigator& logic) { logic.Slides().OnTimer(); }),
                                  guarded([](Navigator& logic) { logic.LateCheck().OnTimer(); }),
                                  guarded([](Navigator& logic) { logic.VerdictTimerOnTimer(); }));
    // The logic needs the program's folder, known once the file is located.
    navigator_ = std::make_unique<Navigator>(settings_, window, visibleView, hiddenView, *clock_,
                                             location_.ExeDir);
    sheet_ = std::make_unique<OverviewSheet>(
        navigator_->Scheduler(), navigator_->Verdicts(), thumbnails,
        [this](int32_t index) { return favoritePhotos_.Find(std::to_string(index)).has_value(); });
    navigator_->AttachSheet(sheet_.get());
    navigator_->AttachArchive(archive_.get());
    photoActions_ =
        std::make_unique<PhotoActions>(settings_, *navigator_, window, fetcher, dialogParent);
    favorites_ = std::make_unique<FavoritesController>(settings_, window, *navigator_,
                                                       favoritePhotos_, favoriteUsers_);
}

void MainSession::ComposeRanges(KeepFetchPort& fetcher) {
    keepFiles_ = std::make_unique<KeepFiles>();
    ranges_ = std::make_unique<RangeKeeper>(navigator_->Scheduler(), navigator_->Verdicts(),
                                            *clock_, fetcher, *keepFiles_);
    ranges_->SetArchive(archive_.get());
}

RangeOrder MainSession::NewRangeOrder() const {
    RangeOrder order;
    order.From = navigator_->SheetShown() ? sheet_->SelectedIndex() : settings_.PhotoIndex;
    order.To = static_cast<int32_t>(std::min<int64_t>(int64_t{order.From} + 99, MaxIndex));
    order.Size = settings_.PhotoSize;
    order.Folder = photoActions_->SaveFolder().toStdString();
    CompleteRangeOrder(order);
    return order;
}

void MainSession::CompleteRangeOrder(RangeOrder& order) const {
    const URLTemplateTable& table = navigator_->Table();
    order.PhotoTemplate = table[URLTemplateTable::SizeTemplateSlot(order.Size)];
    order.PhotoKey = settings_.TemplateURL20;
}

void MainSession::Release() {
    if (clock_) {
        clock_->StopWaitTimer();
        clock_->StopSlideshowTimer();
        clock_->StopLateTextTimer();
        clock_->StopVerdictTimer();
    }
    // Its fetches end before the scheduler it sends them by.
    ranges_.reset();
    keepFiles_.reset();
    photoActions_.reset();
    favorites_.reset();
    if (navigator_) navigator_->AttachSheet(nullptr);
    sheet_.reset();
    navigator_.reset();
    clock_.reset();
}

std::optional<std::string> MainSession::StoreSettings(const WindowBounds& outerBounds) const {
    return kpw::StoreSettings(location_.IniFileName, settings_, outerBounds,
                              favoritePhotos_.Entries(), favoriteUsers_.Entries());
}

}  // namespace kpw
