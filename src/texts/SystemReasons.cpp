#include "texts/SystemReasons.h"

#include <cerrno>
#include <cstring>

#include "texts/Text.h"

namespace kpw::texts {

namespace {

struct Reason {
    int Error;
    Text Said;
};

// clang-format off
// English as the system (glibc) words it, which Qt repeats for a few.
constexpr Reason Reasons[] = {
    {ENOENT, {.En = "No such file or directory", .De = "Datei oder Ordner nicht vorhanden"}},
    {EACCES, {.En = "Permission denied", .De = "Zugriff verweigert"}},
    {EPERM, {.En = "Operation not permitted", .De = "Vorgang nicht zulässig"}},
    {ENOSPC, {.En = "No space left on device", .De = "Kein Platz mehr auf dem Datenträger"}},
    {EROFS, {.En = "Read-only file system", .De = "Datenträger ist schreibgeschützt"}},
    {EEXIST, {.En = "File exists", .De = "Datei ist schon vorhanden"}},
    {EISDIR, {.En = "Is a directory", .De = "Ist ein Ordner"}},
    {ENOTDIR, {.En = "Not a directory", .De = "Ist kein Ordner"}},
    {ENAMETOOLONG, {.En = "File name too long", .De = "Dateiname zu lang"}},
    {EDQUOT, {.En = "Disk quota exceeded", .De = "Speicherkontingent überschritten"}},
    {EIO, {.En = "Input/output error", .De = "Ein-/Ausgabefehler"}},
    {EMFILE, {.En = "Too many open files", .De = "Zu viele offene Dateien"}},
    {ENFILE, {.En = "Too many open files in system", .De = "Zu viele offene Dateien im System"}},
    {EFBIG, {.En = "File too large", .De = "Datei zu groß"}},
    {EBUSY, {.En = "Device or resource busy", .De = "Gerät oder Ressource belegt"}},
    {ETXTBSY, {.En = "Text file busy", .De = "Datei wird gerade benutzt"}},
    {ELOOP, {.En = "Too many levels of symbolic links", .De = "Zu viele Ebenen symbolischer Verknüpfungen"}},
    {EXDEV, {.En = "Invalid cross-device link", .De = "Verknüpfung über Datenträgergrenzen hinweg nicht möglich"}},
};
// clang-format on

const Reason* ReasonOf(int error) {
    for (const Reason& reason : Reasons) {
        if (reason.Error == error) return &reason;
    }
    return nullptr;
}

}  // namespace

std::string SystemReason(int error, int language) {
    if (const Reason* reason = ReasonOf(error)) return reason->Said.In(LanguageIndex(language));
    return std::strerror(error);
}

std::string SystemReasonOfText(std::string_view systemText, int language) {
    for (const Reason& reason : Reasons) {
        if (systemText == reason.Said.En || systemText == std::strerror(reason.Error))
            return reason.Said.In(LanguageIndex(language));
    }
    return std::string(systemText);
}

}  // namespace kpw::texts
