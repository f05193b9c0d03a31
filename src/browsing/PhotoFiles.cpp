#include "browsing/PhotoFiles.h"

#include <utility>

#include "texts/SystemReasons.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

constexpr int MaxNameNumber = 9999;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

}  // namespace

std::optional<std::string> ExtensionForContentType(std::string_view contentType) {
    const std::string type = Lower(Trimmed(contentType.substr(0, contentType.find(';'))));
    static const std::pair<const char*, const char*> known[] = {
        {"image/jpeg", "jpg"},
        {"image/pjpeg", "jpg"},
        {"image/jpg", "jpg"},
        {"image/png", "png"},
        {"image/gif", "gif"},
        {"image/webp", "webp"},
        {"image/bmp", "bmp"},
        {"image/avif", "avif"},
        {"image/tiff", "tif"},
        {"image/x-icon", "ico"},
        {"image/vnd.microsoft.icon", "ico"},
        {"image/svg+xml", "svg"},
    };
    for (const auto& [name, extension] : known)
        if (type == name) return std::string(extension);
    // Other image types keep their sub-type, if it makes a plain file name.
    constexpr std::string_view imagePrefix = "image/";
    if (type.size() <= imagePrefix.size() || type.compare(0, imagePrefix.size(), imagePrefix) != 0)
        return std::nullopt;
    std::string subtype = type.substr(imagePrefix.size());
    if (subtype.rfind("x-", 0) == 0) subtype.erase(0, 2);
    if (subtype.empty() || subtype.size() > 8) return std::nullopt;
    for (char c : subtype)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return std::nullopt;
    return subtype;
}

std::string SaveFolderInForce(std::string_view setting, std::string_view picturesFolder) {
    const std::string_view chosen = Trimmed(setting);
    if (!chosen.empty()) return std::string(chosen);
    std::string folder(picturesFolder);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder != "/") folder += '/';
    return folder + SaveFolderName;
}

std::optional<std::string> PhotoFileName(int32_t index, std::string_view extension,
                                         const std::function<bool(const std::string&)>& taken) {
    const std::string stem = std::to_string(index);
    // Appended, not "." + extension: g++ 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict) that cannot happen.
    std::string suffix;
    if (!extension.empty()) {
        suffix = ".";
        suffix += extension;
    }
    std::string name = stem + suffix;
    for (int number = 2; taken(name); ++number) {
        if (number > MaxNameNumber) return std::nullopt;
        name = stem + " (" + std::to_string(number) + ")" + suffix;
    }
    return name;
}

std::optional<std::string> PictureExtensionOfBytes(std::string_view bytes) {
    const auto startsWith = [&](size_t at, std::string_view magic) {
        return bytes.size() >= at + magic.size() && bytes.substr(at, magic.size()) == magic;
    };
    using namespace std::string_view_literals;
    if (startsWith(0, "\xFF\xD8\xFF"sv)) return "jpg";
    if (startsWith(0, "\x89PNG\r\n\x1A\n"sv)) return "png";
    if (startsWith(0, "GIF87a"sv) || startsWith(0, "GIF89a"sv)) return "gif";
    if (startsWith(0, "RIFF"sv) && startsWith(8, "WEBP"sv)) return "webp";
    if (startsWith(0, "BM"sv) && bytes.size() >= 26) return "bmp";
    if (startsWith(4, "ftypavif"sv) || startsWith(4, "ftypavis"sv)) return "avif";
    if (startsWith(0, "II*\0"sv) || startsWith(0, "MM\0*"sv)) return "tif";
    if (startsWith(0, "\0\0\1\0"sv) && bytes.size() >= 22) return "ico";
    return std::nullopt;
}

std::string PhotoFailureMessage(PhotoFailure failure, int language, std::string_view where,
                                std::string_view detail) {
    const texts::PhotoTexts& t = texts::Photo;
    texts::Text text = t.WriteFailed;
    switch (failure) {
        case PhotoFailure::FolderNotWritable:
            text = t.FolderNotWritable;
            break;
        case PhotoFailure::DiskFull:
            text = t.DiskFull;
            break;
        case PhotoFailure::WriteFailed:
            text = t.WriteFailed;
            break;
        case PhotoFailure::SiteError:
            text = t.SiteError;
            break;
        case PhotoFailure::NotAnImage:
            text = t.NotAnImage;
            break;
        case PhotoFailure::FetchFailed:
            text = t.FetchFailed;
            break;
        case PhotoFailure::NoFreeName:
            text = t.NoFreeName;
            break;
        case PhotoFailure::TooLarge:
            text = t.TooLarge;
            break;
        case PhotoFailure::ClipboardFailed:
            text = t.ClipboardFailed;
            break;
    }
    // A file's failure ends in the system's reason, which Qt hands over in
    // the system's words; the other details are the site's or the program's.
    const bool fileFailure = failure == PhotoFailure::FolderNotWritable ||
                             failure == PhotoFailure::DiskFull ||
                             failure == PhotoFailure::WriteFailed;
    const std::string shownDetail =
        fileFailure ? texts::SystemReasonOfText(detail, language) : std::string(detail);
    return texts::FillIn(text.In(texts::LanguageIndex(language)), {where, shownDetail});
}

}  // namespace kpw
