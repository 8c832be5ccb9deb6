#include "options.h"

#include "report.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace lxtarget {

const char* const kUsage =
    "usage: lxtarget [OPTIONS]\n"
    "  --text TEXT | --gb HEX      a new text: English bytes, or GB bytes in hex\n"
    "  --bytes HEX                 a new text: any bytes in hex, drawn as English text is\n"
    "  --route ROUTE --x X --y Y   how and where (client coordinates) the last text is drawn\n"
    "                              routes: textouta textoutw exttextouta exttextouta-dx\n"
    "                              exttextoutw exttextoutw-dx drawtexta static button bitblt\n"
    "  --align left|right|center   the reference point of the last text (TextOut routes)\n"
    "  --paper RRGGBB              the background colour of the last text (else white)\n"
    "  --transparent               the last text drawn in transparent background mode\n"
    "  --prompt                    the last text drawn between LXbSetDrawPrompt(1) and (0)\n"
    "  --script FILE               texts, one a line: text ROUTE X Y TEXT | gb ROUTE X Y HEX\n"
    "  --font NAME --font-size PIXELS --spacing PIXELS (extra advance of the -dx routes)\n"
    "  --cell-height PIXELS        the fonts' whole height (ascent + descent) instead of a size\n"
    "  --window X Y WIDTH HEIGHT --title TITLE --timeout MS --report FILE\n"
    "  --menu TEXT                 the text of the menu bar's one item (default &File)\n"
    "  --ignore-close              WM_CLOSE does nothing (the program seems hung)\n"
    "  --edit X Y                  an edit control there (client coordinates) with the focus\n"
    "  --send HWND MSG WPARAM LPARAM | --post HWND MSG WPARAM LPARAM | --copydata HWND KIND HEX\n"
    "                              messages sent once the window is ready (KIND: 4 letters)\n";

namespace {

struct RouteEntry {
    const char* name;
    Route route;
};

constexpr RouteEntry kRoutes[] = {
    {"textouta", Route::TextOutA},       {"textoutw", Route::TextOutW},
    {"exttextouta", Route::ExtTextOutA}, {"exttextouta-dx", Route::ExtTextOutADx},
    {"exttextoutw", Route::ExtTextOutW}, {"exttextoutw-dx", Route::ExtTextOutWDx},
    {"drawtexta", Route::DrawTextA},     {"static", Route::Static},
    {"button", Route::Button},           {"bitblt", Route::BitBlt},
};

std::optional<Route> routeNamed(std::string_view name) {
    for (const RouteEntry& entry : kRoutes)
        if (name == entry.name) return entry.route;
    return std::nullopt;
}

// A decimal number, or hexadecimal after "0x"; nothing when malformed or out of range.
template <typename Number> std::optional<Number> parseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::string_view text, int low, int high) {
    std::optional<int> value = parseNumber<int>(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

std::optional<HWND> parseWindow(std::string_view text) {
    std::optional<std::uint64_t> value = parseNumber<std::uint64_t>(text);
    if (!value) return std::nullopt;
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
}

class Arguments {
  public:
    explicit Arguments(const std::vector<std::string>& words) : words_(words) {}
    bool more() const { return next_ < words_.size(); }
    std::string_view take() { return words_[next_++]; }
    // The value of an option, or nothing when the command line ends before it.
    std::optional<std::string_view> value() {
        if (!more()) return std::nullopt;
        return take();
    }

  private:
    const std::vector<std::string>& words_;
    std::size_t next_ = 0;
};

std::string addText(Options& options, std::string text, bool gb) {
    if (options.texts.size() >= kMaxTexts) return "too many texts";
    if (text.empty() || text.size() > kMaxTextBytes) return "a text must have 1 to 512 bytes";
    TextItem item;
    item.text = std::move(text);
    item.gb = gb;
    item.x = 20;
    item.y = 16 + 40 * static_cast<int>(options.texts.size());
    options.texts.push_back(std::move(item));
    return {};
}

// GB bytes in hex, or any bytes in hex drawn as English text is.
std::string addHexText(Options& options, std::string_view hex, bool gb = true) {
    std::optional<std::string> bytes = fromHex(hex, kMaxTextBytes);
    if (!bytes) return "malformed hex text";
    return addText(options, std::move(*bytes), gb);
}

// One script line: "text ROUTE X Y TEXT" or "gb ROUTE X Y HEX"; blank lines and # comments pass.
std::string applyScriptLine(Options& options, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') return {};
    std::string_view fields[4];
    for (std::string_view& field : fields) {
        std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return "script line needs: KIND ROUTE X Y TEXT";
        field = line.substr(0, space);
        line.remove_prefix(space + 1);
    }
    std::optional<Route> route = routeNamed(fields[1]);
    std::optional<int> x = parseInt(fields[2], -kMaxCoordinate, kMaxCoordinate);
    std::optional<int> y = parseInt(fields[3], -kMaxCoordinate, kMaxCoordinate);
    if (!route || !x || !y) return "script line has a bad route or position";
    std::string error;
    if (fields[0] == "text")
        error = addText(options, std::string(line), false);
    else if (fields[0] == "gb")
        error = addHexText(options, line);
    else
        return "script line kind must be text or gb";
    if (!error.empty()) return error;
    options.texts.back().route = *route;
    options.texts.back().x = *x;
    options.texts.back().y = *y;
    return {};
}

std::string applyScript(Options& options, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot read the script " + path;
    std::string content;
    std::istreambuf_iterator<char> it(file), end;
    for (; it != end && content.size() <= kMaxScriptBytes; ++it)
        content += *it;
    if (content.size() > kMaxScriptBytes) return "script larger than 64 KiB";
    std::string_view rest = content;
    while (!rest.empty()) {
        std::size_t newline = rest.find('\n');
        std::string error = applyScriptLine(options, rest.substr(0, newline));
        if (!error.empty()) return error;
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    }
    return {};
}

// Takes count values of an option; nothing when the command line ends first.
template <std::size_t count>
std::optional<std::array<std::string_view, count>> takeValues(Arguments& arguments) {
    std::array<std::string_view, count> values;
    for (std::string_view& value : values) {
        std::optional<std::string_view> next = arguments.value();
        if (!next) return std::nullopt;
        value = *next;
    }
    return values;
}

std::string addMessage(Options& options, Delivery delivery, Arguments& arguments) {
    if (options.messages.size() >= kMaxMessages) return "too many messages";
    auto values = takeValues<4>(arguments);
    if (!values) return "--send and --post need HWND MSG WPARAM LPARAM";
    std::optional<HWND> window = parseWindow((*values)[0]);
    std::optional<UINT> message = parseNumber<UINT>((*values)[1]);
    std::optional<WPARAM> wParam = parseNumber<WPARAM>((*values)[2]);
    std::optional<LPARAM> lParam = parseNumber<LPARAM>((*values)[3]);
    if (!window || !message || !wParam || !lParam) return "bad message window, number or parameter";
    options.messages.push_back({delivery, *window, *message, *wParam, *lParam, 0, {}});
    return {};
}

std::string addCopyData(Options& options, Arguments& arguments) {
    if (options.messages.size() >= kMaxMessages) return "too many messages";
    auto values = takeValues<3>(arguments);
    if (!values) return "--copydata needs HWND KIND HEX";
    std::optional<HWND> window = parseWindow((*values)[0]);
    std::string_view kind = (*values)[1];
    std::optional<std::string> data = fromHex((*values)[2], kMaxCopyDataBytes);
    if (!window || kind.size() != 4 || !data) return "bad copy-data window, kind or payload";
    ULONG_PTR kindWord = 0;
    for (std::size_t i = 0; i < 4; ++i)
        kindWord |= static_cast<ULONG_PTR>(static_cast<unsigned char>(kind[i])) << (8 * i);
    options.messages.push_back({Delivery::CopyData, *window, WM_COPYDATA, 0, 0, kindWord, *data});
    return {};
}

// The background colour as six hex digits RRGGBB.
std::string applyPaper(TextItem& item, std::string_view value) {
    std::optional<std::string> rgb = value.size() == 6 ? fromHex(value, 3) : std::nullopt;
    if (!rgb) return "--paper takes a colour RRGGBB";
    auto channel = [&](std::size_t i) { return static_cast<BYTE>((*rgb)[i]); };
    item.paper = RGB(channel(0), channel(1), channel(2));
    return {};
}

// Options that change the text given last.
std::string applyToLastText(Options& options, std::string_view option, std::string_view value) {
    if (options.texts.empty()) return std::string(option) + " comes after --text, --gb or --bytes";
    TextItem& item = options.texts.back();
    if (option == "--align") {
        if (value != "left" && value != "right" && value != "center")
            return "--align takes left, right or center";
        item.align = value == "left"    ? Align::Left
                     : value == "right" ? Align::Right
                                        : Align::Centre;
        return {};
    }
    if (option == "--paper") return applyPaper(item, value);
    if (option == "--route") {
        std::optional<Route> route = routeNamed(value);
        if (!route) return "unknown route " + std::string(value);
        item.route = *route;
        return {};
    }
    std::optional<int> coordinate = parseInt(value, -kMaxCoordinate, kMaxCoordinate);
    if (!coordinate) return "bad coordinate " + std::string(value);
    (option == "--x" ? item.x : item.y) = *coordinate;
    return {};
}

std::string applyEdit(Options& options, Arguments& arguments) {
    auto values = takeValues<2>(arguments);
    if (!values) return "--edit needs X Y";
    std::optional<int> x = parseInt((*values)[0], 0, kMaxCoordinate);
    std::optional<int> y = parseInt((*values)[1], 0, kMaxCoordinate);
    if (!x || !y) return "bad edit control position";
    options.edit = POINT{*x, *y};
    return {};
}

std::string applyFrame(Options& options, Arguments& arguments) {
    auto values = takeValues<4>(arguments);
    if (!values) return "--window needs X Y WIDTH HEIGHT";
    std::optional<int> x = parseInt((*values)[0], -kMaxCoordinate, kMaxCoordinate);
    std::optional<int> y = parseInt((*values)[1], -kMaxCoordinate, kMaxCoordinate);
    std::optional<int> width = parseInt((*values)[2], 100, kMaxCoordinate);
    std::optional<int> height = parseInt((*values)[3], 100, kMaxCoordinate);
    if (!x || !y || !width || !height) return "bad window position or size";
    options.frame = {*x, *y, *x + *width, *y + *height};
    return {};
}

// Options with one value that set a setting.
std::string applySetting(Options& options, std::string_view option, std::string_view value) {
    if (option == "--font") {
        if (value.empty() || value.size() >= LF_FACESIZE) return "bad font name";
        options.font = value;
    } else if (option == "--font-size" || option == "--cell-height") {
        std::optional<int> size = parseInt(value, 6, 200);
        if (!size) return "font size must be 6 to 200 pixels";
        options.fontSize = *size;
        options.sizeIsCellHeight = option == "--cell-height";
    } else if (option == "--spacing") {
        std::optional<int> spacing = parseInt(value, 0, 50);
        if (!spacing) return "spacing must be 0 to 50 pixels";
        options.spacing = *spacing;
    } else if (option == "--timeout") {
        std::optional<int> timeout = parseInt(value, 1, 600000);
        if (!timeout) return "timeout must be 1 to 600000 ms";
        options.timeoutMs = static_cast<DWORD>(*timeout);
    } else if (option == "--title") {
        if (value.size() > 200) return "title longer than 200 bytes";
        options.title = value;
    } else if (option == "--menu") {
        if (value.empty() || value.size() > 100) return "a menu text must have 1 to 100 bytes";
        options.menu = value;
    } else if (option == "--report") {
        if (value.empty() || value.size() >= MAX_PATH) return "bad report path";
        options.reportPath = value;
    } else {
        return "unknown option " + std::string(option);
    }
    return {};
}

std::string applyOption(Options& options, std::string_view option, Arguments& arguments) {
    if (option == "--help" || option == "--ignore-close") {
        (option == "--help" ? options.help : options.ignoreClose) = true;
        return {};
    }
    if (option == "--prompt" || option == "--transparent") {
        if (options.texts.empty())
            return std::string(option) + " comes after --text, --gb or --bytes";
        (option == "--prompt" ? options.texts.back().prompt : options.texts.back().transparent) =
            true;
        return {};
    }
    if (option == "--send") return addMessage(options, Delivery::Send, arguments);
    if (option == "--post") return addMessage(options, Delivery::Post, arguments);
    if (option == "--copydata") return addCopyData(options, arguments);
    if (option == "--window") return applyFrame(options, arguments);
    if (option == "--edit") return applyEdit(options, arguments);
    std::optional<std::string_view> value = arguments.value();
    if (!value) return std::string(option) + " needs a value";
    if (option == "--text") return addText(options, std::string(*value), false);
    if (option == "--gb") return addHexText(options, *value);
    if (option == "--bytes") return addHexText(options, *value, false);
    if (option == "--script") return applyScript(options, std::string(*value));
    if (option == "--route" || option == "--align" || option == "--x" || option == "--y" ||
        option == "--paper")
        return applyToLastText(options, option, *value);
    return applySetting(options, option, *value);
}

} // namespace

const char* routeName(Route route) {
    for (const RouteEntry& entry : kRoutes)
        if (entry.route == route) return entry.name;
    return "unknown";
}

std::string parseOptions(const std::vector<std::string>& arguments, Options& options) {
    Arguments reader(arguments);
    while (reader.more()) {
        std::string_view option = reader.take();
        std::string error = applyOption(options, option, reader);
        if (!error.empty()) return error;
    }
    return {};
}

} // namespace lxtarget
