// The prank page's loop (statements 68 to 70) on the real screen, against a floor
// of the same screen work written as plain code: 28 cell writes and one scroll.
#include <benchmark/benchmark.h>

#include <cstring>

#include "figure_table.h"
#include "screen_lock.h"
#include "statements.h"
#include "text_screen.h"

namespace {

// The loop line as the prank page prints it: the site name up to its dot, then
// the laugh; 28 bytes.
constexpr literal loop_line = text("youareanidiot hahahahahahah!");
static_assert(loop_line.length == 28);

void prank_loop_real(benchmark::State& state) {
    reset_screen(the_screen());
    set_routine_mark(temp_string_count());
    float prank_loop_done = 0.0f;
    benchmark::DoNotOptimize(prank_loop_done);
    for (auto _ : state) {
        loop_top(68);
        output_statement(69, item(loop_line));
        bool left = loop_end_test(70, prank_loop_done != 0.0f);
        benchmark::DoNotOptimize(left);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(prank_loop_real)->Name("prank_loop/real");

// What one loop line must cost at least once the print area is full: the line's
// cells on row 24, rows 2..24 moved up as one block, row 24 filled with blanks.
// It works on the cells of a screen allocated as the runtime's is, so that both
// moves meet the same alignment.
void prank_loop_floor(benchmark::State& state) {
    constexpr int row_bytes = screen_columns * 2;
    static text_screen* plain = new text_screen;
    uint8_t* cells = plain->cells.data();
    uint8_t* bottom = cells + 23 * row_bytes;
    for (auto _ : state) {
        for (uint32_t i = 0; i < loop_line.length; ++i) {
            bottom[i * 2] = static_cast<uint8_t>(loop_line.bytes[i]);
            bottom[i * 2 + 1] = 0x07;
        }
        std::memmove(cells, cells + row_bytes, 23 * row_bytes);
        for (int column = 0; column < screen_columns; ++column) {
            bottom[column * 2] = blank_byte;
            bottom[column * 2 + 1] = 0x07;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(prank_loop_floor)->Name("prank_loop/floor");

// The pieces of one real turn, each alone, to show where the real loop's time
// goes beyond the floor.

// The screen work through the real print path, without the lock: the item, then
// the line end that scrolls.
void prank_loop_print_path(benchmark::State& state) {
    static text_screen* screen = new text_screen;
    reset_screen(*screen);
    move_cursor(*screen, 1, screen->bottom_row, false);
    const text_value line{reinterpret_cast<uint8_t*>(const_cast<char*>(loop_line.bytes)), loop_line.length, 0,
                          false, true, false};
    for (auto _ : state) {
        fit_on_line(*screen, line);
        print_text(*screen, line, false);
        print_text(*screen, empty_text(), true);
    }
}
BENCHMARK(prank_loop_print_path)->Name("prank_loop/print_path");

// The screen lock around the turn's two screen writes (the item and the line end).
void prank_loop_screen_locks(benchmark::State& state) {
    for (auto _ : state) {
        { screen_guard item; }
        { screen_guard line_end; }
    }
}
BENCHMARK(prank_loop_screen_locks)->Name("prank_loop/screen_locks");

// The output statement's text values: the work text, the literal's temporary,
// the copy into the work text, the free and the release back to the mark.
void prank_loop_text_values(benchmark::State& state) {
    uint32_t mark = temp_string_count();
    for (auto _ : state) {
        text_value* work_text = new_string(0, false);
        assign_string(work_text, temp_string_literal(loop_line.bytes, loop_line.length));
        benchmark::DoNotOptimize(work_text->bytes);
        free_string(work_text);
        release_temp_strings(mark, 0);
    }
}
BENCHMARK(prank_loop_text_values)->Name("prank_loop/text_values");

const int registered = register_figures([](const benchmark_times& times) -> std::vector<figure> {
    if (!times.count("prank_loop/real") || !times.count("prank_loop/floor")) return {};
    double real = times.at("prank_loop/real");
    std::vector<figure> figures = {{"prank loop, statements 68-70, turns/s vs plain-code floor", 1e9 / real,
                                    1e9 / times.at("prank_loop/floor"), "turns/s", figure::rule::at_least, 0.60}};
    const std::pair<const char*, const char*> parts[] = {
        {"prank_loop/print_path", "  of a real turn: print path (item, line end, scroll)"},
        {"prank_loop/screen_locks", "  of a real turn: screen lock, twice"},
        {"prank_loop/text_values", "  of a real turn: work text and literal's temporary"},
    };
    for (const auto& [name, label] : parts) {
        if (times.count(name)) figures.push_back({label, times.at(name) * 1e-9, real * 1e-9, "s", figure::rule::part_of});
    }
    return figures;
});

}  // namespace
