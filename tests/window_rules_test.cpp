#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bar_position.h"
#include "default_dlc.h"
#include "form_layout.h"
#include "progress_dots.h"

namespace {

struct DlcCase {
    std::string programFolder;
    int posicion;
    std::string dlc;
};

TEST(DefaultDlcFolder, KeepsThePathUpToTheCharacterAfterTheFirstKorv)
{
    const std::vector<DlcCase> cases = {
        {"D:\\korv\\programas", 4, "D:\\korv\\dlc\\bin"},
        {"D:\\apps\\korv\\bin", 9, "D:\\apps\\korv\\dlc\\bin"},
        {"D:\\apps\\korv", 9, "D:\\apps\\korvdlc\\bin"},
        {"D:\\korvane\\bin", 4, "D:\\korvadlc\\bin"},
        {"D:\\KORV\\programas", 0, "D:\\Kdlc\\bin"},
        {"D:\\Programas\\Util", 0, "D:\\Pdlc\\bin"},
        // Only the first occurrence counts.
        {"C:\\korv\\korv\\programas", 4, "C:\\korv\\dlc\\bin"},
        // Shorter than the kept length: all of it.
        {"C:", 0, "C:dlc\\bin"},
        {"", 0, "dlc\\bin"},
        // Positions and lengths are in characters, not in UTF-8 bytes.
        {"E:\\Aplicación\\korv\\programas", 15, "E:\\Aplicación\\korv\\dlc\\bin"},
        {"É:\\ñú\\x", 0, "É:\\ñdlc\\bin"},
    };
    for (const DlcCase& c : cases) {
        const DefaultDlc result = DefaultDlcFolder(c.programFolder);
        EXPECT_EQ(result.Posicion, c.posicion) << c.programFolder;
        EXPECT_EQ(result.RutaDLC, c.dlc) << c.programFolder;
    }
}

// Runs ticks from a fresh caption and returns the line after each one.
std::vector<std::string> Ticks(const std::string& caption, int count)
{
    std::int16_t contador = 0;
    std::string line = caption;
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        line = TickDots(line, contador);
        lines.push_back(line);
        EXPECT_LE(contador, 10);
    }
    return lines;
}

// The databases worked on side by side make a longer caption: the cut
// leaves it whole.
TEST(ProgressDots, ALongerCaptionIsNeverCut)
{
    const std::string caption = "Procesando Descarga Korvane, Korvane1, Korvane2 ";
    std::int16_t contador = 0;
    std::string line = caption;
    for (int i = 0; i < 11; ++i)
        line = TickDots(line, contador, caption);
    EXPECT_EQ(line, caption);
}

TEST(ProgressDots, TenDotsThenACutToTwentyNineCharacters)
{
    struct Case {
        std::string caption;
        std::size_t dotsAfterCut;
    };
    const std::vector<Case> cases = {
        {"Procesando Descarga Korvane ", 1},   // 28 characters
        {"Procesando Descarga Korvane1 ", 0},  // 29
        {"Procesando Carga Korvane ", 4},      // 25
        {"Procesando Carga Korvane1 ", 3},     // 26
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines = Ticks(c.caption, 22);
        EXPECT_EQ(lines[9], c.caption + std::string(10, '.')) << c.caption;
        EXPECT_EQ(lines[10], c.caption + std::string(c.dotsAfterCut, '.')) << c.caption;
        // The next cycle adds ten more dots and cuts back to the same line.
        EXPECT_EQ(lines[20], c.caption + std::string(c.dotsAfterCut + 10, '.')) << c.caption;
        EXPECT_EQ(lines[21], lines[10]) << c.caption;
    }
}

TEST(ProgressDots, AnEmptyLineGrowsUntilTheFirstCutThenRunsFrom29To39Dots)
{
    const std::vector<std::string> lines = Ticks("", 56);
    EXPECT_EQ(lines[9], std::string(10, '.'));
    EXPECT_EQ(lines[10], std::string(10, '.'));  // a cut shortens only longer lines
    EXPECT_EQ(lines[21], std::string(20, '.'));
    EXPECT_EQ(lines[31], std::string(30, '.'));
    EXPECT_EQ(lines[32], std::string(29, '.'));
    EXPECT_EQ(lines[42], std::string(39, '.'));
    EXPECT_EQ(lines[43], std::string(29, '.'));
}

// The work is counted in bytes, past 32 bits, and a table can grow after it
// was weighed.
TEST(BarPosition, ScalesAnyWholeToTheBarAndStaysWithinIt)
{
    const struct {
        long long done;
        long long total;
        int position;
    } cases[] = {
        {3'000'000'000'000LL, 4'000'000'000'000LL, 7500},
        {9'000'000'000'000'000'000LL, 9'100'000'000'000'000'000LL, 9890},
        // Only the whole work fills the bar.
        {999'999, 1'000'000, 9999},
        {7, 5, 10000},
        {3, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BarPosition({c.done, c.total, false, false, {}, false}), c.position) << c.done << "/" << c.total;
}

TEST(FormLayout, FocusGoesThroughTheControlsInTheWindowsOrder)
{
    const std::vector<ControlId> expected = {
        kIdAceptar, kIdCancelar, kIdDrive1, kIdDir1,    kIdText3,     kIdBuscar,    kIdCheck2,
        kIdText1,   kIdBuscar2,  kIdCheck3, kIdText2,   kIdText5,     kIdBuscar1,   kIdText6,
        kIdBuscar3, kIdBuscar4,  kIdText4,  kIdCancelar1, kIdSeleccion, kIdCheck1,    kIdCheck4,
        kIdCheck5,
    };
    EXPECT_EQ(FocusOrder(), expected);
}

TEST(FormLayout, ContainersComeFirstAndControlsFitInsideThem)
{
    std::vector<ControlId> seen;
    for (const ControlLayout& control : FormLayout()) {
        if (control.container != kIdWindow) {
            EXPECT_NE(std::find(seen.begin(), seen.end(), control.container), seen.end()) << control.id;
            const ControlLayout& container = LayoutOf(control.container);
            EXPECT_LE(control.left + control.width, container.width) << control.id;
            EXPECT_LE(control.top + control.height, container.height) << control.id;
        } else {
            EXPECT_LE(control.left + control.width, kClientWidthTwips) << control.id;
            EXPECT_LE(control.top + control.height, kClientHeightTwips) << control.id;
        }
        seen.push_back(control.id);
    }
}

TEST(FormLayout, TwipsBecomePixelsAtTheWindowsDpi)
{
    EXPECT_EQ(TwipsToPixels(9060, 96), 604);
    EXPECT_EQ(TwipsToPixels(6930, 96), 462);
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(8895, 144), 890);  // 889.5 rounds up
    EXPECT_EQ(TwipsToPixels(255, 120), 21);    // 21.25
    EXPECT_EQ(TwipsToPixels(9060, 192), 1208);
}

} // namespace
