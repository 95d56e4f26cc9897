#include <gtest/gtest.h>

#include <thread>

#include "headless_run.h"
#include "key_down.h"
#include "run_shell.h"

namespace {

const std::string end_line = "Press any key to continue";

bool shows_end_line(const screen_rows_text& rows) { return rows[24] == padded(end_line); }

// One whole run: the dialogue, the program, what is typed into it; the screen at
// the end prompt is captured and a key ends the run.
run_result run_program(const std::string& program, const std::string& typed) {
    return run_headless(run_shell, [&](run_driver& d) {
        d.wait_for_text("enter your Name: ");
        d.type("Bo\r\r" + program + "\r");
        d.type(typed);
        d.wait_for(shows_end_line);
        d.settle();
        d.capture();
        d.type("x");
    });
}

struct program_case {
    std::string program;
    std::string typed;
    std::vector<std::string> rows;  // rows 1.. of the screen at the end, trailing blanks cut
};

void check_cases(const std::vector<program_case>& cases) {
    for (const auto& c : cases) {
        run_result r = run_program(c.program, c.typed);
        ASSERT_EQ(r.exit_code, 0) << c.program << " " << c.typed;
        EXPECT_EQ(r.error_output, "");
        ASSERT_EQ(r.captures.size(), 1u) << c.program << " " << c.typed;
        const auto& screen = r.captures[0];
        for (size_t i = 0; i < 24; ++i) {
            std::string expected = i < c.rows.size() ? c.rows[i] : "";
            while (!expected.empty() && expected.back() == ' ') expected.pop_back();
            EXPECT_EQ(row_text(screen, static_cast<int>(i + 1)), expected)
                << c.program << " [" << c.typed << "] row " << i + 1;
        }
        EXPECT_EQ(screen[24], padded(end_line));
    }
}

TEST(programs, fixed_scripts_and_the_writer) {
    check_cases({
        {"ZavadOzididuva", "", {"scan is finished...", "your device have no Viruses"}},
        {"Explorer", "",
         {"Welcome to the Explorer", "Documents: Welcome to Morvane.lo", "Music: Welcome Music.jo", "Pictures:"}},
        {"Writer", "dear diary\r", {"Write: dear diary"}},
        {"Writer", "\r", {"Write:"}},
        {"Writer", "a,b\r", {"Write: ab"}},
        {"Writer", "\"a,b\"\r", {"Write: \"a,b\""}},
        {"zavadozididuva", "", {}},
        {"Explore", "", {}},
        {"Writer!", "", {}},
    });
}

TEST(programs, explorer_writes_the_blank_of_pictures_into_column_10) {
    run_result r = run_program("Explorer", "");
    ASSERT_EQ(r.captures.size(), 1u);
    EXPECT_EQ(r.captures[0][3], padded("Pictures: "));
}

TEST(programs, calculator_sums) {
    struct { std::string first, second, line; } sums[] = {
        {"2", "3", " 5"}, {"", "", " 0"}, {"-5", "2", "-3"}, {"-32768", "32767", "-1"},
        {"32767", "1", " 32768"}, {"32767", "32767", " 65534"}, {"-32768", "-32768", "-65536"},
        {"&HFFFF", "1", " 0"},
    };
    std::vector<program_case> cases;
    for (const auto& s : sums) {
        cases.push_back({"Calculator", s.first + "\r" + s.second + "\rY\r",
                         {"give me a number: " + s.first, "give me another number: " + s.second, s.line,
                          "do you want to exit Y/N: Y"}});
    }
    check_cases(cases);
}

TEST(programs, calculator_ends_only_on_exactly_y) {
    std::string typed;
    std::vector<std::string> rows;
    for (std::string answer : {"y", "N", "yes", " Y", "Y ", ""}) {
        typed += "1\r1\r" + answer + "\r";
        for (auto row : {"give me a number: 1", "give me another number: 1", " 2", "do you want to exit Y/N: "}) rows.push_back(row);
        rows.back() += answer;
    }
    // After six turns the print area has scrolled; the seventh turn ends with a quoted "Y".
    typed += "4\r5\r\"Y\"\r";
    for (auto row : {"give me a number: 4", "give me another number: 5", " 9", "do you want to exit Y/N: \"Y\""}) rows.push_back(row);
    std::vector<std::string> last_24(rows.end() - 23, rows.end());
    check_cases({{"Calculator", typed, last_24}});
}

TEST(programs, zodezozo_pages) {
    const std::string warning_first_80 =
        "Das ist die geheime Website von Morvane mit dieser Website m\xF6" "chte ich vor der We";
    const std::string warning_last_70 = "bsite youareanidiot.org warnen die website hat sich ins system gehackt";
    check_cases({
        {"ZodeZozo", "cern.ch\r", {"cern.ch", "Welcome to Cern the first Website"}},
        {"ZodeZozo", "home.morvane.org\rY\r",
         {"home.morvane.org", "Welcome in the official Website from Morvane", "do you want to exitY"}},
        {"ZodeZozo", "home.morvane.org\r\r",
         {"home.morvane.org", "Welcome in the official Website from Morvane", "do you want to exit"}},
        {"ZodeZozo", "morvane.net\r", {"morvane.net", warning_first_80, warning_last_70}},
        {"ZodeZozo", "cern.c\r", {}},
        {"ZodeZozo", "Cern.ch\r", {}},
        {"ZodeZozo", "morvane.net \r", {}},
        {"ZodeZozo", "\r", {}},
        {"ZodeZoz", "", {}},
    });
}

TEST(programs, zodezozo_asks_under_its_address_line) {
    run_result r = run_headless(run_shell, [](run_driver& d) {
        d.wait_for_text("enter your Name: ");
        d.type("Bo\r\rZodeZozo\r");
        d.wait_for_text("wich Website you want to open: ");
        d.type("abc");
        d.wait_for_text("open: abc");
        d.capture();
        request_close();
    });
    EXPECT_EQ(r.exit_code, 0);
    ASSERT_EQ(r.captures.size(), 1u);
    EXPECT_EQ(row_text(r.captures[0], 1), "about:blank");
    EXPECT_EQ(row_text(r.captures[0], 2), "wich Website you want to open: abc");
}

TEST(programs, prank_page_prints_its_loop_line_until_the_window_closes) {
    const std::string loop_line = "youareanidiot hahahahahahah!";
    run_result r = run_headless(run_shell, [&](run_driver& d) {
        d.wait_for_text("enter your Name: ");
        d.type("Bo\r\rZodeZozo\ryouareanidiot.org\r");
        d.wait_for([&](const screen_rows_text& rows) { return row_text(rows, 1) == loop_line; });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        d.capture();
        request_close();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        d.capture();
    });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.error_output, "");
    ASSERT_GE(r.captures.size(), 1u);
    for (const auto& screen : r.captures) {
        for (int row = 1; row <= 23; ++row) EXPECT_EQ(row_text(screen, row), loop_line) << row;
        EXPECT_TRUE(row_text(screen, 24) == loop_line || row_text(screen, 24).empty());
        EXPECT_EQ(row_text(screen, 25), "");
    }
}

}  // namespace
