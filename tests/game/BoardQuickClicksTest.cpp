// Two quick clicks on neighbouring pieces, close to the edge they share, sent
// the whole way through the application's input queue: a swap that scores,
// whatever the window's scale, however the system reports the second press
// and whether or not gadgets came or went between the clicks.
#include "game/support/TextBoard.h"

#include "app/Graphics.h"
#include "app/Random.h"
#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace {

// No line yet. Swapping (3, 3) with its right neighbour lines up three 5s in
// row 3; with the one below it, three 6s in column 3.
const std::vector<std::string> kOneSwapEachWay = {
    "01230123", "12361230", "23062301", "35525012", "01260123", "12301230", "23012301", "30123012",
};

// The system's double click needs the second press within 3 px of the first.
constexpr int kApart = 10;
constexpr int kDoubleClickApart = 2;
// The pause between the clicks, in ticks of 10 ms, as a quick hand makes it.
constexpr int kTicksBetween = 4;

struct Case
{
    const char* what;
    bool downwards;   // across the edge below (3, 3), else the one right of it
    int apart;        // game pixels from the edge, either side
    bool doubleClick; // the second press comes as a double-click message
    bool treeChanged; // a gadget came and went between the clicks
    float scale;      // window pixels per game pixel (the software renderer's window is smaller)
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.what;
}

class BoardQuickClicksTest : public testing::TestWithParam<Case>
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mScaleX = theGraphics.mScaleY = GetParam().scale;
        board = TextBoard::Make(kOneSwapEachWay);
        theRandom->Seed(5);
        app.rootGadgets.Add(board.get());
    }

    void TearDown() override
    {
        app.rootGadgets.Remove(board.get());
        theGraphics.ResetState();
    }

    // A point of the game's space in window pixels, as the system gives it.
    int Window(float game) const { return static_cast<int>(std::floor(game * GetParam().scale)); }

    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            board->Update();
    }

    void GadgetComesAndGoes()
    {
        auto* passing = new RecordingGadget(0, 0, 10, 10);
        app.rootGadgets.Add(passing);
        app.rootGadgets.Remove(passing);
        delete passing;
    }

    ManualClockApp app;
    QueuedInput input{app};
    std::unique_ptr<Board> board;
};

TEST_P(BoardQuickClicksTest, SwapAndScore)
{
    const Case& c = GetParam();
    // The edge between cell 3 and cell 4 of the row or column, through the
    // middle of the other axis's cell 3.
    const float edge = (c.downwards ? board->gridRect.y : board->gridRect.x) + 4.0f * board->cellSize;
    const float across = (c.downwards ? board->gridRect.x : board->gridRect.y) + 3.5f * board->cellSize;
    const auto at = [&](float along) {
        return c.downwards ? std::pair(Window(across), Window(along))
                           : std::pair(Window(along), Window(across));
    };
    const auto [x0, y0] = at(edge - static_cast<float>(c.apart));
    const auto [x1, y1] = at(edge + static_cast<float>(c.apart));

    input.Move(x0, y0);
    input.Press(x0, y0);
    input.Release(x0, y0);
    Ticks(kTicksBetween);
    if (c.treeChanged)
        GadgetComesAndGoes();
    input.Move(x1, y1);
    if (c.doubleClick)
        input.DoubleClick(x1, y1);
    else
        input.Press(x1, y1);
    input.Release(x1, y1);

    EXPECT_NE(board->swapFirst, nullptr) << c.what << ": the second press swaps";
    EXPECT_EQ(board->selected, nullptr) << c.what;
    ASSERT_GT(TextBoard::RunUntilRest(*board), 0) << c.what;
    EXPECT_GT(board->levelScore, 0) << c.what << ": the line scores";
}

INSTANTIATE_TEST_SUITE_P(
    AcrossTheSharedEdge, BoardQuickClicksTest,
    testing::Values(Case{"right, 20 px apart", false, kApart, false, false, 1.0f},
                    Case{"down, 20 px apart", true, kApart, false, false, 1.0f},
                    Case{"right, small window", false, kApart, false, false, 0.8f},
                    Case{"down, small window", true, kApart, false, false, 0.8f},
                    Case{"right, as a double click", false, kDoubleClickApart, true, false, 1.0f},
                    Case{"down, as a double click", true, kDoubleClickApart, true, false, 1.0f},
                    Case{"right, double click, small window", false, kDoubleClickApart, true, false, 0.8f},
                    Case{"down, double click, small window", true, kDoubleClickApart, true, false, 0.8f},
                    Case{"right, gadgets changed between", false, kApart, false, true, 0.8f},
                    Case{"down, gadgets changed, double click", true, kDoubleClickApart, true, true, 1.0f}),
    [](const testing::TestParamInfo<Case>& info) { return "Case" + std::to_string(info.index); });

} // namespace
