#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kpw {

// The sub-folder of the desktop's Pictures folder that photos go to by default.
inline constexpr const char* SaveFolderName = "Kelvaro Photo Wizard";

// The file extension (without the dot) for an image's content type, such as
// "image/jpeg; charset=binary"; nothing for types that are not images.
std::optional<std::string> ExtensionForContentType(std::string_view contentType);

// The extension of a picture type a viewer opens safely (JPEG, PNG, GIF,
// WebP, BMP, AVIF, TIFF, ICO), told by the file's first bytes, not by what
// the site says; nothing for anything else (markup, scripts, SVG, ...).
std::optional<std::string> PictureExtensionOfBytes(std::string_view bytes);

// A photo larger than this is not saved.
inline constexpr size_t MaxPhotoBytes = size_t{200} * 1024 * 1024;

// The folder photos are saved to: the setting, or when it is blank the
// program's folder inside the Pictures folder.
std::string SaveFolderInForce(std::string_view setting, std::string_view picturesFolder);

// The name of a photo's file in a folder: the index and the extension, or
// "index (2).ext", "index (3).ext", ... when taken is true for the names
// before. Nothing when every number up to a sane limit is taken.
std::optional<std::string> PhotoFileName(int32_t index, std::string_view extension,
                                         const std::function<bool(const std::string&)>& taken);

// What can go wrong when a photo is fetched and written.
enum class PhotoFailure {
    FolderNotWritable,  // the folder cannot be created or written to
    DiskFull,
    WriteFailed,  // any other failure to write the file
    SiteError,    // the site answered with an error status
    NotAnImage,   // the answer was something else
    FetchFailed,  // no answer: connection refused, timeout, ...
    NoFreeName,
    TooLarge,  // the photo passes MaxPhotoBytes
    ClipboardFailed,  // the photo could not be read as a picture
};

// The message for a failure, in the language given (a column of the text
// tables). %1 is the folder or file concerned, %2 the detail.
std::string PhotoFailureMessage(PhotoFailure failure, int language, std::string_view where,
                                std::string_view detail);

}  // namespace kpw
