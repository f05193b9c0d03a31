#include "SiteOptions.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <functional>
#include <iterator>

namespace kpw {

namespace {

int ParseNumber(const std::string& text, long long low, long long high, const std::string& what) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        throw SiteOptionError(what + " must be a whole number from " + std::to_string(low) +
                              " to " + std::to_string(high) + ", not \"" + text + "\"");
    }
    return static_cast<int>(value);
}

int ParsePhotoIndex(const std::string& text, const std::string& option) {
    return ParseNumber(text, 1, INT_MAX, "a photo index in " + option);
}

// The options of large, never-ending and bomb pictures; false for any other name.
bool ParsePhotoStreamOption(const std::string& name, const std::function<std::string()>& takeValue,
                            const std::function<void()>& noValue, SiteOptions& options) {
    if (name == "--large") {
        options.Large = ParseMissingList(takeValue(), "--large");
    } else if (name == "--large-mb") {
        options.LargeMegabytes = ParseNumber(takeValue(), 1, 16384, "--large-mb");
    } else if (name == "--large-kb") {
        options.LargeKilobytes = ParseNumber(takeValue(), 1, 16 * 1024 * 1024, "--large-kb");
    } else if (name == "--large-unsized") {
        noValue();
        options.LargeUnsized = true;
    } else if (name == "--stall") {
        options.Stalled = ParseMissingList(takeValue(), "--stall");
    } else if (name == "--stall-after") {
        options.StallAfterBytes = ParseNumber(takeValue(), 0, INT_MAX, "--stall-after");
    } else if (name == "--bomb") {
        options.Bombs = ParseMissingList(takeValue(), "--bomb");
    } else {
        return false;
    }
    return true;
}

const char* PhotoStreamUsage() {
    return "  --large LIST        photos whose original-size picture is large, e.g. 7,20-25\n"
           "  --large-mb N        their size in MB of 1048576 bytes (default 250)\n"
           "  --large-kb N        their size in KB of 1024 bytes instead\n"
           "  --large-unsized     send them without Content-Length (chunked)\n"
           "  --stall LIST        photos whose pictures stop after some bytes and never end\n"
           "  --stall-after N     how many bytes they send first (default 4096)\n"
           "  --bomb LIST         photos whose pictures are small PNGs declaring 30000 x 30000\n"
           "                      pixels\n";
}

}  // namespace

std::vector<PhotoRange> ParseMissingList(const std::string& text, const std::string& option) {
    std::vector<PhotoRange> ranges;
    if (text.empty()) {
        return ranges;
    }
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const size_t dash = item.find('-');
        PhotoRange range;
        if (dash == std::string::npos) {
            range.First = range.Last = ParsePhotoIndex(item, option);
        } else {
            range.First = ParsePhotoIndex(item.substr(0, dash), option);
            range.Last = ParsePhotoIndex(item.substr(dash + 1), option);
            if (range.Last < range.First) {
                throw SiteOptionError("the range \"" + item + "\" in " + option +
                                      " runs backwards");
            }
        }
        ranges.push_back(range);
        start = comma + 1;
    }
    return ranges;
}

bool IsInRanges(const std::vector<PhotoRange>& ranges, int photo) {
    return std::any_of(ranges.begin(), ranges.end(), [photo](const PhotoRange& r) {
        return photo >= r.First && photo <= r.Last;
    });
}

bool IsRefusedByBrowsers(int port) {
    // The browser engine's list of restricted ports.
    static constexpr int refused[] = {
        1,    7,    9,    11,   13,   15,   17,   19,   20,   21,   22,   23,   25,   37,
        42,   43,   53,   69,   77,   79,   87,   95,   101,  102,  103,  104,  109,  110,
        111,  113,  115,  117,  119,  123,  135,  137,  139,  143,  161,  179,  389,  427,
        465,  512,  513,  514,  515,  526,  530,  531,  532,  540,  548,  554,  556,  563,
        587,  601,  636,  989,  990,  993,  995,  1719, 1720, 1723, 2049, 3659, 4045, 4190,
        5060, 5061, 6000, 6566, 6665, 6666, 6667, 6668, 6669, 6679, 6697, 10080};
    return std::find(std::begin(refused), std::end(refused), port) != std::end(refused);
}

MissingStyle ParseMissingStyle(const std::string& text) {
    static const std::pair<const char*, MissingStyle> styles[] = {
        {"words", MissingStyle::Words}, {"nginx", MissingStyle::Nginx},
        {"gone", MissingStyle::Gone},   {"placeholder", MissingStyle::Placeholder},
        {"late", MissingStyle::Late},   {"forbidden", MissingStyle::Forbidden},
        {"mixed", MissingStyle::Mixed},
    };
    for (const auto& [name, style] : styles) {
        if (text == name) return style;
    }
    throw SiteOptionError(
        "--missing-style takes words, nginx, gone, placeholder, late, forbidden or mixed, not \"" +
        text + "\"");
}

BusyStyle ParseBusyStyle(const std::string& text) {
    static const std::pair<const char*, BusyStyle> styles[] = {
        {"site", BusyStyle::Site},
        {"apache", BusyStyle::Apache},
        {"nginx", BusyStyle::Nginx},
        {"cdn", BusyStyle::Cdn},
    };
    for (const auto& [name, style] : styles) {
        if (text == name) return style;
    }
    throw SiteOptionError("--busy-style takes site, apache, nginx or cdn, not \"" + text + "\"");
}

SiteOptions ParseSiteOptions(const std::vector<std::string>& args) {
    SiteOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        const auto takeValue = [&]() -> std::string {
            if (hasValue) {
                return value;
            }
            if (i + 1 >= args.size()) {
                throw SiteOptionError("option " + name + " needs a value");
            }
            return args[++i];
        };
        const auto noValue = [&] {
            if (hasValue) {
                throw SiteOptionError("option " + name + " takes no value");
            }
        };
        if (name == "--port") {
            options.Port = ParseNumber(takeValue(), 0, 65535, "--port");
            if (IsRefusedByBrowsers(options.Port)) {
                throw SiteOptionError("browsers refuse port " + std::to_string(options.Port) +
                                      "; choose another or 0");
            }
        } else if (name == "--host") {
            options.Host = takeValue();
        } else if (name == "--static-host") {
            options.StaticHost = takeValue();
        } else if (name == "--missing") {
            options.Missing = ParseMissingList(takeValue());
        } else if (name == "--missing-style") {
            options.MissingAnswer = ParseMissingStyle(takeValue());
        } else if (name == "--rate-limit") {
            options.RateLimit = ParseNumber(takeValue(), 0, 100000, "--rate-limit");
        } else if (name == "--busy") {
            options.Busy = ParseMissingList(takeValue(), "--busy");
        } else if (name == "--busy-style") {
            options.BusyAnswer = ParseBusyStyle(takeValue());
        } else if (name == "--busy-status") {
            options.BusyStatus = ParseNumber(takeValue(), 400, 599, "--busy-status");
        } else if (name == "--latency-ms") {
            options.LatencyMs = ParseNumber(takeValue(), 0, 600000, "--latency-ms");
        } else if (name == "--latency-path") {
            options.LatencyPath = takeValue();
        } else if (name == "--log") {
            options.LogFile = takeValue();
            if (options.LogFile.empty()) {
                throw SiteOptionError("--log needs a file name");
            }
        } else if (name == "--max-age") {
            options.MaxAge = ParseNumber(takeValue(), 0, INT_MAX, "--max-age");
        } else if (name == "--watch-stdin") {
            noValue();
            options.WatchStdin = true;
        } else if (ParsePhotoStreamOption(name, takeValue, noValue, options)) {
            // Taken there.
        } else if (name == "--help" || name == "-h") {
            noValue();
            options.Help = true;
        } else {
            throw SiteOptionError("unknown option \"" + args[i] + "\"");
        }
    }
    if (options.Host.empty() || options.StaticHost.empty()) {
        throw SiteOptionError("--host and --static-host must not be empty");
    }
    if (options.Host == options.StaticHost) {
        throw SiteOptionError("--host and --static-host must be different addresses");
    }
    return options;
}

std::string SiteUsage() {
    return "usage: kelvaro-demo-site [options]\n"
           "  --port N            port on both hosts (0, the default: a free one)\n"
           "  --host ADDR         main host (default 127.0.0.1)\n"
           "  --static-host ADDR  host of the original-size pictures (default 127.0.0.2)\n"
           "  --missing LIST      photos that do not exist, e.g. 5,1001-1003\n"
           "  --rate-limit N      answer 429 above N requests a second (default 0: no limit)\n"
           "  --missing-style S   how missing photos answer: words (default), nginx, gone,\n"
           "                      placeholder, late, forbidden (403 text) or mixed (by\n"
           "                      index: placeholder, forbidden, words)\n"
           "  --busy LIST         photos answered 503 the first time each is asked for\n"
           "  --busy-status CODE  the status of those answers instead of 503\n"
           "  --busy-style S      who answers them: site (default), or a failed gateway:\n"
           "                      apache (502 Proxy Error), nginx (502) or cdn (522)\n"
           "  --latency-ms N      delay responses by N milliseconds\n"
           "  --latency-path P    delay only paths beginning with P (default: all)\n"
           "  --log FILE          append one line per request: method host path status\n"
           "  --max-age S         Cache-Control max-age of successful responses (default 300)\n"
           "  --watch-stdin       also stop when standard input reaches its end\n" +
           std::string(PhotoStreamUsage()) +
           "Prints \"listening on PORT\" once both hosts are bound; stops on SIGTERM or "
           "SIGINT.\n";
}

}  // namespace kpw
