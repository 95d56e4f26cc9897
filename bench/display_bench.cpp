// The display's two steps: the display pass that copies the text screen for the
// window (every 32 ms), and the frame that turns a copy into 640 x 400 pixels.
#include <benchmark/benchmark.h>

#include "display_copy.h"
#include "figure_table.h"
#include "text_screen.h"
#if __has_include("frame_pixels.h")
#include "frame_pixels.h"
#define MORVANE_BENCH_FRAME_PIXELS 1
#endif

namespace {

constexpr double display_pass_period = 32e-3;  // two 16 ms passes of the main loop
constexpr double refresh_period = 1.0 / 60;    // the window looks for a new frame this often

// A screen full of text, so that every glyph row has pixels to set.
void fill_screen_with_text() {
    text_screen& screen = the_screen();
    reset_screen(screen);
    for (int i = 0; i < screen_cell_count; ++i) screen.cells[i * 2] = static_cast<uint8_t>(33 + i % 94);
    screen.cursor_visible = true;
}

void display_pass(benchmark::State& state) {
    fill_screen_with_text();
    for (auto _ : state) publish_display_frame(the_screen());
}
BENCHMARK(display_pass)->Name("display/pass");

#ifdef MORVANE_BENCH_FRAME_PIXELS
void frame_to_pixels(benchmark::State& state) {
    fill_screen_with_text();
    publish_display_frame(the_screen());
    display_frame frame{};
    take_display_frame(frame, 0);
    frame.cursor_drawn = true;
    frame_picture picture;
    for (auto _ : state) {
        draw_frame(frame, picture);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(frame_to_pixels)->Name("display/frame_pixels");
#endif

const int registered = register_figures([](const benchmark_times& times) {
    std::vector<figure> figures;
    if (times.count("display/pass")) {
        figures.push_back({"display pass (screen copy) vs its 32 ms period", times.at("display/pass") * 1e-9,
                           display_pass_period, "s", figure::rule::at_most, 0.01});
    }
    if (times.count("display/frame_pixels")) {
        figures.push_back({"frame, glyphs to 640x400 pixels, vs one 60 Hz refresh",
                           times.at("display/frame_pixels") * 1e-9, refresh_period, "s", figure::rule::at_most, 0.10});
    }
    return figures;
});

}  // namespace
