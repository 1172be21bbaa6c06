#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <functional>
#include <string>

#include "class1.h"
#include "form1.h"
#include "twips.h"
#include "window_reference.h"

namespace pellorin {
namespace {

enum class State { A, B, C, D };

const char* name(State s) {
    switch (s) {
        case State::A:
            return "A";
        case State::B:
            return "B";
        case State::C:
            return "C";
        case State::D:
            return "D";
    }
    return "?";
}

// One server's worth of window: a reference and a Class1 on it, as the bus endpoint uses them.
class Class1Test : public testing::Test {
  protected:
    ~Class1Test() override {
        // Unloaded windows go on the next pass of the event loop; let them go between tests.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    State state() const {
        Form1* form = window.peek();
        if (!form) return State::A;
        if (!form->isLoaded()) return State::B;
        return form->isVisible() ? State::D : State::C;
    }

    void bringTo(State s) {
        switch (s) {
            case State::A:
                break;
            case State::B:
                class1.CFhz();
                break;
            case State::C: {
                QString i = "src", j = "dst";
                class1.Cwjm(i, j);
                break;
            }
            case State::D:
                class1.CFmshow();
                break;
        }
        ASSERT_EQ(state(), s);
    }

    Form1& form() { return *window.peek(); }

    WindowReference window;
    Class1 class1{window};
};

struct Transition {
    State from;
    const char* event;
    State to;
    std::int32_t flagAfter;  // what the next CFhz answers
};

void PrintTo(const Transition& t, std::ostream* os) {
    *os << name(t.from) << " " << t.event << " -> " << name(t.to);
}

class Class1TransitionTest : public Class1Test, public testing::WithParamInterface<Transition> {
  protected:
    void fire(const std::string& event) {
        if (event == "CFmshow") class1.CFmshow();
        if (event == "CFhz") class1.CFhz();
        if (event == "Cwjm") {
            QString i = "a", j = "b";
            class1.Cwjm(i, j);
        }
        if (event == "CpgbarV") {
            std::int32_t i = 40;
            class1.CpgbarV(i);
        }
        if (event == "CFmunload") class1.CFmunload();
        if (event == "cancel") form().Command1->click();
        if (event == "closebox") form().close();
    }
};

TEST_P(Class1TransitionTest, MovesToTheRightState) {
    const Transition& t = GetParam();
    bringTo(t.from);
    fire(t.event);
    EXPECT_EQ(state(), t.to) << name(t.from) << " --" << t.event << "--> " << name(state());
    if (t.to != State::A) {
        EXPECT_EQ(class1.CFhz(), t.flagAfter);
    } else {
        EXPECT_EQ(class1.CFhz(), 0);
        EXPECT_EQ(state(), State::B) << "reading the flag must neither load nor show";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Class1TransitionTest,
    testing::Values(
        Transition{State::A, "CFmshow", State::D, 1}, Transition{State::B, "CFmshow", State::D, 1},
        Transition{State::C, "CFmshow", State::D, 1}, Transition{State::D, "CFmshow", State::D, 1},
        Transition{State::A, "CFhz", State::B, 0}, Transition{State::B, "CFhz", State::B, 0},
        Transition{State::C, "CFhz", State::C, 1}, Transition{State::D, "CFhz", State::D, 1},
        Transition{State::A, "Cwjm", State::C, 1}, Transition{State::B, "Cwjm", State::C, 1},
        Transition{State::C, "Cwjm", State::C, 1}, Transition{State::D, "Cwjm", State::D, 1},
        Transition{State::A, "CpgbarV", State::C, 1}, Transition{State::B, "CpgbarV", State::C, 1},
        Transition{State::C, "CpgbarV", State::C, 1}, Transition{State::D, "CpgbarV", State::D, 1},
        Transition{State::D, "cancel", State::A, 0}, Transition{State::D, "closebox", State::A, 0},
        Transition{State::C, "CFmunload", State::A, 0},
        Transition{State::D, "CFmunload", State::A, 0},
        Transition{State::A, "CFmunload", State::B, 0},
        Transition{State::B, "CFmunload", State::B, 0}),
    [](const testing::TestParamInfo<Transition>& info) {
        return std::string(name(info.param.from)) + "_" + info.param.event;
    });

// Counts the window's moves in the stacking order.
class ZOrderCount : public QObject {
  public:
    int changes = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange) ++changes;
        return false;
    }
};

TEST_F(Class1Test, ShowingAgainResetsNothingAndBringsTheWindowToTheFront) {
    class1.CFmshow();
    ZOrderCount raised;
    form().installEventFilter(&raised);
    QString i = "C:/from/a.txt", j = "C:/to/a.txt";
    class1.Cwjm(i, j);
    std::int32_t p = 50;
    class1.CpgbarV(p);
    form().Clfa = 7;  // any value the window holds survives a second show
    Form1* before = &form();
    class1.CFmshow();
    EXPECT_EQ(&form(), before);
    EXPECT_GE(raised.changes, 1) << "a second CFmshow must bring the window to the front";
    form().removeEventFilter(&raised);
    EXPECT_EQ(form().Label1->text(), "C:/from/a.txt");
    EXPECT_EQ(form().Label2->text(), "C:/to/a.txt");
    EXPECT_EQ(form().JinDuTiao1->state().count, 19);
    EXPECT_EQ(class1.CFhz(), 7);
}

TEST_F(Class1Test, ShowAfterCancelStartsFromAFreshWindow) {
    class1.CFmshow();
    QString i = "one", j = "two";
    class1.Cwjm(i, j);
    std::int32_t p = 90;
    class1.CpgbarV(p);
    form().Command1->click();
    EXPECT_EQ(class1.CFhz(), 0);
    EXPECT_EQ(class1.CFhz(), 0);
    class1.CFmshow();
    EXPECT_EQ(class1.CFhz(), 1);
    EXPECT_TRUE(form().Label1->text().isEmpty());
    EXPECT_TRUE(form().Label2->text().isEmpty());
    EXPECT_EQ(form().JinDuTiao1->state().count, 0);
    EXPECT_EQ(form().Command1->text(), QStringLiteral("取消"));
}

TEST_F(Class1Test, ShowingAHiddenWindowKeepsItsBar) {
    std::int32_t p = 40;
    class1.CpgbarV(p);
    const int redraws = form().JinDuTiao1->redrawCount();
    class1.CFmshow();
    // Showing delivers the bar's first resize event; it must not bring back the 60 % fill.
    EXPECT_EQ(form().JinDuTiao1->state().count, 15);
    EXPECT_EQ(form().JinDuTiao1->redrawCount(), redraws);
}

TEST_F(Class1Test, PathsArriveWholeAndComeBackUnchanged) {
    const QString longPath = QString("/very/long/") + QString(400, QChar(u'长')) + "/file.bin";
    QString i = longPath, j = "";
    class1.Cwjm(i, j);
    EXPECT_EQ(i, longPath);
    EXPECT_EQ(j, "");
    EXPECT_EQ(form().Label1->text(), longPath);
    EXPECT_EQ(state(), State::C);
}

TEST_F(Class1Test, PercentageIsClampedWrittenBackAndDrawn) {
    class1.CFmshow();
    struct Case {
        std::int32_t in, back, blocks;
    };
    for (Case c : {Case{-5, 0, 0}, Case{250, 100, 38}, Case{40, 40, 15}, Case{-5, 0, 0}}) {
        std::int32_t i = c.in;
        class1.CpgbarV(i);
        EXPECT_EQ(i, c.back) << c.in;
        EXPECT_EQ(form().JinDuTiao1->state().count, c.blocks) << c.in;
    }
}

TEST_F(Class1Test, LoadClearsThePlacementFillAndSetsUpThePattern) {
    class1.CFmshow();
    const JinDuTiao& bar = *form().JinDuTiao1;
    EXPECT_EQ(bar.state().count, 0);
    EXPECT_EQ(bar.redrawCount(), 2) << "placement at 60 %, then the load's reset to 0";
    // The cleared surface holds no blue.
    QImage surface = bar.surface().toImage();
    for (int x = 0; x < surface.width(); ++x) {
        ASSERT_NE(surface.pixel(x, surface.height() / 2), JinDuTiao::kBlockColour) << x;
    }
    const QString text = form().Label3->text();
    EXPECT_TRUE(text.startsWith("\r\n110100101001010101010101001001011"));
    EXPECT_EQ(text.count("\r\n"), 23);
    EXPECT_EQ(text.size(), 23 * 35);
    EXPECT_EQ(form().windowTitle(), "Tiberane");
    EXPECT_EQ(form().Label3->parentWidget(), form().Picture1);
    EXPECT_TRUE(form().Timer1->isActive());
    EXPECT_EQ(form().Timer1->interval(), 150);
}

TEST_F(Class1Test, UnloadedWindowRunsNoTimer) {
    class1.CFhz();
    EXPECT_FALSE(form().Timer1->isActive());
}

TEST_F(Class1Test, PatternScrollsUpAndWrapsEveryThirtyThreeTicks) {
    class1.CFmshow();
    EXPECT_EQ(form().label3Top(), -25);
    for (int n = 1; n <= 32; ++n) {
        form().Timer1_Timer();
        ASSERT_EQ(form().label3Top(), -25 - 100 * n) << "tick " << n;
        ASSERT_EQ(form().Label3->y(), twips::toPixels(-25 - 100 * n)) << "tick " << n;
    }
    form().Timer1_Timer();
    EXPECT_EQ(form().label3Top(), -25);
    form().Timer1_Timer();
    EXPECT_EQ(form().label3Top(), -125) << "the second cycle runs like the first";
}

TEST_F(Class1Test, BarRedrawsOnlyWhenTheCountChanges) {
    class1.CFmshow();
    const JinDuTiao& bar = *form().JinDuTiao1;
    const int before = bar.redrawCount();
    for (std::int32_t p = 0; p <= 100; ++p) {
        for (int again = 0; again < 3; ++again) {
            std::int32_t i = p;
            class1.CpgbarV(i);
        }
    }
    EXPECT_EQ(bar.redrawCount() - before, 38);
}

TEST_F(Class1Test, ControlsSitWhereTheLayoutSays) {
    class1.CFmshow();
    struct Case {
        QWidget* widget;
        int left, top, width, height;
    };
    for (Case c : {Case{form().Label1, 0, 0, 5895, 375}, Case{form().Label2, 0, 360, 5895, 375},
                   Case{form().Picture1, 1440, 840, 2895, 615},
                   Case{form().JinDuTiao1, 120, 1560, 4575, 375},
                   // Inside Picture1: its width plus 50, overhanging the frame on every side.
                   Case{form().Label3, -5, -25, 2895 + 50, 4000},
                   Case{form().Command1, 4800, 1560, 975, 375}}) {
        EXPECT_EQ(c.widget->geometry(), twips::rect(c.left, c.top, c.width, c.height))
            << c.widget->objectName().toStdString();
    }
    EXPECT_EQ(form().size(), QSize(twips::toPixels(5910), twips::toPixels(2055)));
}

}  // namespace
}  // namespace pellorin
