// The line editor's work per key, through the same step that input_variables
// takes for every key (handle_line_key), with answer lines of 10, 1,000 and
// 10,000 bytes. The key wait's 10 ms poll is left out: it is a sleep, not work.
#include <benchmark/benchmark.h>

#include <string>

#include "figure_table.h"
#include "line_editor.h"
#include "text_screen.h"

namespace {

constexpr int line_lengths[] = {10, 1000, 10000};

// The time at ten times the length against ten times the time: 1 is linear. The
// target leaves room for the noise of one run; n log n would give 1.33 and n^2 10.
constexpr double linear_within_noise = 1.2;

// An editor after the prompt "Write: " on row 24 with an answer line of n bytes
// typed in. On the print area's last row every row of a longer answer scrolls,
// the most a byte can cost, and the same for every length. The prompt's 7 bytes
// keep the byte after each of these lines off column 80.
struct typed_line {
    line_editor editor;
    text_value* variable = new_string(0, false);

    explicit typed_line(int n) {
        reset_screen(the_screen());
        for (int row = 1; row < the_screen().bottom_row; ++row) print_text(empty_text(), true);
        static const uint8_t prompt[] = "Write: ";
        print_text(text_value{const_cast<uint8_t*>(prompt), 7, 0, false, true, false}, false);
        start_line_editor(editor, input_entry{text_type_code, variable});
        for (int i = 0; i < n; ++i) handle_line_key(editor, static_cast<uint8_t>('a' + i % 26));
    }
    ~typed_line() { free_string(variable); }

    // Puts the n-byte line back after one more byte was accepted, without the
    // editor: the line, the byte's cell and the cursor.
    void forget_last_byte() {
        editor.answer_line.pop_back();
        text_screen& screen = the_screen();
        int16_t column = static_cast<int16_t>(screen.cursor_column - 1);
        screen.cells[((screen.cursor_row - 1) * screen_columns + column - 1) * 2] = blank_byte;
        move_cursor(screen, column, screen.cursor_row, false);
    }
    // Puts the n-byte line back after a take-back removed its last byte.
    void restore_last_byte(uint8_t b) {
        editor.answer_line.push_back(b);
        text_screen& screen = the_screen();
        screen.cells[((screen.cursor_row - 1) * screen_columns + screen.cursor_column - 1) * 2] = b;
        move_cursor(screen, static_cast<int16_t>(screen.cursor_column + 1), screen.cursor_row, false);
    }
};

void accepted_key(benchmark::State& state) {
    typed_line typed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        bool ended = handle_line_key(typed.editor, 'x');
        benchmark::DoNotOptimize(ended);
        typed.forget_last_byte();
    }
}
BENCHMARK(accepted_key)->Name("line_editor/accepted_key")->Arg(10)->Arg(1000)->Arg(10000);

void take_back(benchmark::State& state) {
    typed_line typed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        uint8_t last = typed.editor.answer_line.back();
        bool ended = handle_line_key(typed.editor, 8);
        benchmark::DoNotOptimize(ended);
        typed.restore_last_byte(last);
    }
}
BENCHMARK(take_back)->Name("line_editor/take_back")->Arg(10)->Arg(1000)->Arg(10000);

// Per size, the time itself; per step up in size, the time against the linear
// extrapolation of the smaller size's time.
std::vector<figure> editor_figures(const benchmark_times& times, const std::string& kind, const std::string& label) {
    std::vector<figure> figures;
    auto time_at = [&](int n) {
        auto found = times.find("line_editor/" + kind + "/" + std::to_string(n));
        return found == times.end() ? 0.0 : found->second;
    };
    for (size_t i = 1; i < std::size(line_lengths); ++i) {
        int smaller = line_lengths[i - 1];
        int larger = line_lengths[i];
        double t_small = time_at(smaller);
        double t_large = time_at(larger);
        if (t_small == 0 || t_large == 0) continue;
        figures.push_back({label + " at " + std::to_string(larger) + " B vs linear from " + std::to_string(smaller) +
                               " B (" + scaled(t_small * 1e-9, "s") + ")",
                           t_large * 1e-9, t_small * 1e-9 * larger / smaller, "s", figure::rule::at_most,
                           linear_within_noise});
    }
    return figures;
}

const int registered = register_figures([](const benchmark_times& times) {
    std::vector<figure> figures = editor_figures(times, "accepted_key", "line editor: accepted key");
    for (figure& f : editor_figures(times, "take_back", "line editor: take-back")) figures.push_back(f);
    return figures;
});

}  // namespace
