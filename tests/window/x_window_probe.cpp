#include "x_window_probe.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "cp437_font.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// Any X error a probe request causes (a window gone meanwhile, an unreadable
// window) is recorded here and the request's result ignored.
int last_x_error = 0;

int record_x_error(Display*, XErrorEvent* error) {
    last_x_error = error->error_code;
    return 0;
}

std::optional<long> window_pid(Display* display, Window window) {
    const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", True);
    if (pid_atom == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return pid;
}

Window search_tree(Display* display, Window parent, const std::string& title, pid_t pid, int depth) {
    Window root = 0, parent_of = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parent_of, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            const bool titled = title == name;
            XFree(name);
            if (titled) {
                if (pid == 0 || window_pid(display, children[i]) == long(pid))
                    found = children[i];
            }
        }
        // A window manager puts its frame between the root and the program's window.
        if (!found && depth < 3)
            found = search_tree(display, children[i], title, pid, depth + 1);
    }
    if (children)
        XFree(children);
    return found;
}

// The shift that brings a colour mask's lowest bit to bit 0, and its width.
void mask_layout(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
}

uint32_t channel_as_byte(unsigned long pixel, int shift, int bits) {
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel >> shift) & ((1ul << bits) - 1);
    return uint32_t(bits >= 8 ? value >> (bits - 8) : value * 255 / ((1ul << bits) - 1));
}

}  // namespace

x_probe::x_probe() {
    XSetErrorHandler(record_x_error);
    // An X server started without -noreset resets when its last client leaves,
    // and refuses connections for a moment meanwhile.
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!(connection = XOpenDisplay(nullptr)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
}

x_probe::~x_probe() {
    if (connection)
        XCloseDisplay(connection);
}

Window x_probe::find_window(const std::string& title, pid_t pid) const {
    return search_tree(connection, DefaultRootWindow(connection), title, pid, 0);
}

Window x_probe::wait_for_window(const std::string& title, pid_t pid, std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (Window window = find_window(title, pid))
            return window;
        if (std::chrono::steady_clock::now() > end)
            return 0;
        std::this_thread::sleep_for(50ms);
    }
}

std::string x_probe::window_title(Window window) const {
    char* name = nullptr;
    std::string title;
    if (XFetchName(connection, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

std::optional<x_probe::geometry> x_probe::window_geometry(Window window) const {
    last_x_error = 0;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(connection, window, &attributes) || last_x_error)
        return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &x, &y, &child);
    return geometry{x, y, attributes.width, attributes.height};
}

x_probe::geometry x_probe::screen_size() const {
    const int screen = DefaultScreen(connection);
    return geometry{0, 0, DisplayWidth(connection, screen), DisplayHeight(connection, screen)};
}

void x_probe::move_to_origin(Window window) const {
    const std::optional<geometry> place = window_geometry(window);
    if (place && (place->x != 0 || place->y != 0)) {
        XMoveWindow(connection, window, 0, 0);
        XSync(connection, False);
    }
}

uint32_t x_probe::lock_states() const {
    XkbStateRec state{};
    if (XkbGetState(connection, XkbUseCoreKbd, &state) != Success)
        return 0;
    const unsigned num_lock = XkbKeysymToModifiers(connection, XK_Num_Lock);
    return ((state.locked_mods & LockMask) ? 1u : 0u) | ((num_lock && (state.locked_mods & num_lock)) ? 2u : 0u);
}

void x_probe::send_close_request(Window window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection, window, False, NoEventMask, &event);
    XSync(connection, False);
}

std::optional<window_picture> capture_window(const x_probe& probe, Window window) {
    const std::optional<x_probe::geometry> place = probe.window_geometry(window);
    if (!place || place->width <= 0 || place->height <= 0)
        return std::nullopt;
    last_x_error = 0;
    XImage* image = XGetImage(probe.display(), window, 0, 0, unsigned(place->width), unsigned(place->height),
                              AllPlanes, ZPixmap);
    XSync(probe.display(), False);
    if (!image || last_x_error) {
        if (image)
            XDestroyImage(image);
        return std::nullopt;
    }
    int red_shift, red_bits, green_shift, green_bits, blue_shift, blue_bits;
    mask_layout(image->red_mask, red_shift, red_bits);
    mask_layout(image->green_mask, green_shift, green_bits);
    mask_layout(image->blue_mask, blue_shift, blue_bits);
    window_picture picture;
    picture.width = place->width;
    picture.height = place->height;
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] =
                channel_as_byte(pixel, red_shift, red_bits) << 16 |
                channel_as_byte(pixel, green_shift, green_bits) << 8 | channel_as_byte(pixel, blue_shift, blue_bits);
        }
    XDestroyImage(image);
    return picture;
}

namespace {

void put_big_endian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xFF);
}

// One PNG chunk: length, type, data, and the CRC over type and data.
void put_png_chunk(std::string& out, const char* type, const std::string& data) {
    put_big_endian(out, uint32_t(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    put_big_endian(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

}  // namespace

bool save_png(const window_picture& picture, const std::string& path) {
    // Each row: filter type 0 (none), then R, G, B per pixel.
    std::string rows;
    rows.reserve(size_t(picture.height) * (1 + 3 * size_t(picture.width)));
    for (int y = 0; y < picture.height; ++y) {
        rows += '\0';
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t colour = picture.at(x, y);
            rows += char(colour >> 16 & 0xFF);
            rows += char(colour >> 8 & 0xFF);
            rows += char(colour & 0xFF);
        }
    }
    uLongf packed_size = compressBound(uLong(rows.size()));
    std::string packed(packed_size, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &packed_size, reinterpret_cast<const Bytef*>(rows.data()),
                 uLong(rows.size())) != Z_OK)
        return false;
    packed.resize(packed_size);

    std::string header;
    put_big_endian(header, uint32_t(picture.width));
    put_big_endian(header, uint32_t(picture.height));
    header += std::string{8, 2, 0, 0, 0};  // 8 bits per channel, RGB, deflate, no filter set, no interlace
    std::string file = "\x89PNG\r\n\x1a\n";
    put_png_chunk(file, "IHDR", header);
    put_png_chunk(file, "IDAT", packed);
    put_png_chunk(file, "IEND", "");
    std::ofstream out(path, std::ios::binary);
    out.write(file.data(), std::streamsize(file.size()));
    return bool(out);
}

window_picture sample_picture(const window_picture& picture, int x, int y, int part_width, int part_height,
                              int width, int height) {
    window_picture sampled;
    sampled.width = width;
    sampled.height = height;
    sampled.pixels.resize(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const int from_x = x + int((2 * int64_t(column) + 1) * part_width / (2 * int64_t(width)));
            const int from_y = y + int((2 * int64_t(row) + 1) * part_height / (2 * int64_t(height)));
            sampled.pixels[size_t(row) * size_t(width) + size_t(column)] = picture.at(from_x, from_y);
        }
    return sampled;
}

decoded_screen decode_screen(const window_picture& picture, uint32_t foreground, uint32_t background) {
    decoded_screen screen;
    for (uint32_t colour : picture.pixels)
        if (colour != foreground && colour != background && screen.stray_pixels++ == 0)
            screen.first_stray_colour = colour;
    if (picture.width < 640 || picture.height < 400)
        return screen;  // no cell matches anything
    for (int row = 0; row < 25; ++row)
        for (int column = 0; column < 80; ++column) {
            glyph_rows shown{};
            bool clean = true;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 8; ++x) {
                    const uint32_t colour = picture.at(column * 8 + x, row * 16 + y);
                    clean = clean && (colour == foreground || colour == background);
                    if (colour == foreground)
                        shown[size_t(y)] = uint8_t(shown[size_t(y)] | (0x80 >> x));
                }
            if (!clean)
                continue;
            decoded_cell& cell = screen.cells[size_t(row) * 80 + size_t(column)];
            for (int byte = 0; byte < 256; ++byte) {
                glyph_rows glyph = cp437_glyphs[size_t(byte)];
                if (glyph == shown)
                    cell.bytes.set(size_t(byte));
                glyph[14] = 0xFF;
                if (glyph == shown)
                    cell.bytes_under_cursor.set(size_t(byte));
            }
        }
    return screen;
}

bool cell_shows(const window_picture& picture, cell_place place, uint8_t byte, bool with_cursor_line,
                uint32_t foreground, uint32_t background) {
    if (picture.width < 640 || picture.height < 400)
        return false;
    const glyph_rows& glyph = cp437_glyphs[byte];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool lit = (with_cursor_line && y == 14) || (glyph[size_t(y)] & (0x80 >> x));
            if (picture.at((place.column - 1) * 8 + x, (place.row - 1) * 16 + y) != (lit ? foreground : background))
                return false;
        }
    return true;
}

std::array<std::string, 25> screen_with_rows(const std::vector<std::string>& rows) {
    std::array<std::string, 25> screen;
    for (size_t row = 0; row < 25; ++row) {
        const std::string shown = row < rows.size() ? rows[row].substr(0, 80) : "";
        screen[row] = shown + std::string(80 - shown.size(), ' ');
    }
    return screen;
}

std::string decoded_screen::as_text() const {
    std::string text;
    for (int row = 1; row <= 25; ++row) {
        for (int column = 1; column <= 80; ++column) {
            const decoded_cell& shown = cell(row, column);
            char c = '?';
            if (shown.bytes.test(' '))
                c = ' ';
            else if (shown.bytes.any()) {
                c = '~';
                for (int byte = 33; byte < 127; ++byte)
                    if (shown.bytes.test(size_t(byte)))
                        c = char(byte);
            }
            text += c;
        }
        text += '\n';
    }
    return text;
}

namespace {

// screen_mismatches, with the cells that may show the cursor over their byte.
std::string mismatches(const decoded_screen& screen, const std::array<std::string, 25>& expected,
                       const std::function<bool(int row, int column)>& may_show_cursor, int limit) {
    std::string report;
    int count = 0;
    for (int row = 1; row <= 25; ++row)
        for (int column = 1; column <= 80; ++column) {
            const uint8_t wanted = uint8_t(expected[size_t(row - 1)][size_t(column - 1)]);
            const decoded_cell& shown = screen.cell(row, column);
            if (shown.bytes.test(wanted))
                continue;
            if (shown.bytes_under_cursor.test(wanted) && may_show_cursor(row, column))
                continue;
            if (++count > limit)
                continue;
            char line[160];
            std::snprintf(line, sizeof line, "row %d column %d: expected byte 0x%02X, shows ", row, column, wanted);
            report += line;
            if (shown.bytes.none())
                report += "no glyph";
            for (int byte = 0, listed = 0; byte < 256 && listed < 4; ++byte)
                if (shown.bytes.test(size_t(byte))) {
                    std::snprintf(line, sizeof line, "%s0x%02X", listed++ ? " or " : "the glyph of ", byte);
                    report += line;
                }
            report += '\n';
        }
    if (count > limit)
        report += "... " + std::to_string(count - limit) + " more cells differ\n";
    return report;
}

}  // namespace

std::string screen_mismatches(const decoded_screen& screen, const std::array<std::string, 25>& expected,
                              std::optional<cell_place> cursor, int limit) {
    return mismatches(
        screen, expected,
        [&](int row, int column) { return cursor && cursor->row == row && cursor->column == column; }, limit);
}

std::string screen_mismatches_cursor_anywhere(const decoded_screen& screen, const std::array<std::string, 25>& expected,
                                              int limit) {
    return mismatches(screen, expected, [](int, int) { return true; }, limit);
}

namespace {

// The words as the NULL-ended array that exec takes; the words must outlive it.
std::vector<char*> exec_array(std::vector<std::string>& words) {
    std::vector<char*> array;
    for (std::string& word : words)
        array.push_back(word.data());
    array.push_back(nullptr);
    return array;
}

}  // namespace

bool child_process::start(const std::string& path, const std::vector<std::string>& arguments,
                          const std::optional<std::vector<std::string>>& environment, const std::string& error_file) {
    std::vector<std::string> words{path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = exec_array(words);
    std::vector<std::string> variables = environment.value_or(std::vector<std::string>{});
    std::vector<char*> envp = exec_array(variables);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!error_file.empty())
        posix_spawn_file_actions_addopen(&actions, 2, error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t started = 0;
    const int failed = posix_spawnp(&started, path.c_str(), &actions, nullptr, argv.data(),
                                    environment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return false;
    pid = started;
    status.reset();
    return true;
}

std::optional<int> child_process::wait_for_exit(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (pid != 0) {
        int raw = 0;
        const pid_t done = waitpid(pid, &raw, WNOHANG);
        if (done == pid) {
            pid = 0;
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
            break;
        }
        if (done < 0 || std::chrono::steady_clock::now() > end)
            break;
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

bool child_process::running() {
    return pid != 0 && !wait_for_exit(0ms).has_value();
}

child_process::~child_process() {
    if (pid != 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

int run_xdotool(const std::vector<std::string>& arguments) {
    child_process xdotool;
    if (!xdotool.start("xdotool", arguments))
        return 127;
    // windowfocus --sync waits for the focus to arrive; bound it all the same.
    const std::optional<int> code = xdotool.wait_for_exit(30s);
    return code ? *code : 124;
}

bool send_keys(Window window, const std::vector<std::string>& keys, int delay_milliseconds) {
    std::vector<std::string> arguments{"windowfocus", "--sync", std::to_string(window),
                                       "key",         "--delay", std::to_string(delay_milliseconds)};
    arguments.insert(arguments.end(), keys.begin(), keys.end());
    return run_xdotool(arguments) == 0;
}

std::vector<std::string> keys_for_text(const std::string& text) {
    // The X keysym names of the printable ASCII bytes other than letters and digits.
    struct named_key {
        char byte;
        const char* name;
    };
    static constexpr named_key named_keys[] = {
        {' ', "space"},        {'!', "exclam"},      {'"', "quotedbl"},     {'#', "numbersign"},
        {'$', "dollar"},       {'%', "percent"},     {'&', "ampersand"},    {'\'', "apostrophe"},
        {'(', "parenleft"},    {')', "parenright"},  {'*', "asterisk"},     {'+', "plus"},
        {',', "comma"},        {'-', "minus"},       {'.', "period"},       {'/', "slash"},
        {':', "colon"},        {';', "semicolon"},   {'<', "less"},         {'=', "equal"},
        {'>', "greater"},      {'?', "question"},    {'@', "at"},           {'[', "bracketleft"},
        {'\\', "backslash"},   {']', "bracketright"}, {'^', "asciicircum"}, {'_', "underscore"},
        {'`', "grave"},        {'{', "braceleft"},   {'|', "bar"},          {'}', "braceright"},
        {'~', "asciitilde"},
    };
    static_assert(std::size(named_keys) == 95 - 26 - 26 - 10, "every printable byte but letters and digits");
    std::vector<std::string> keys;
    for (char byte : text) {
        std::string key(1, byte);
        for (const named_key& named : named_keys)
            if (named.byte == byte)
                key = named.name;
        keys.push_back(key);
    }
    return keys;
}

std::optional<window_picture> wait_for_picture(const x_probe& probe, Window window,
                                               const std::function<bool(const window_picture&)>& holds,
                                               std::chrono::milliseconds limit, std::chrono::milliseconds interval) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::optional<window_picture> last;
    do {
        if (auto picture = capture_window(probe, window)) {
            last = std::move(picture);
            if (holds(*last)) return last;
        }
        std::this_thread::sleep_for(interval);
    } while (std::chrono::steady_clock::now() < end);
    return last;
}
